// Database records held in memory, for testing the import rules without a database.
#pragma once
#include "gamedata/RecordSource.h"

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

using RecordValue = std::variant<std::int32_t, std::string>;
using Record = std::map<std::string, RecordValue>;

class CMemoryRecordSource : public CRecordSource {
public:
    // Adds (or replaces) a table; the records are returned in this order.
    void SetTable(const std::string& name, std::vector<Record> records) { m_tables[name] = std::move(records); }
    std::vector<Record>& Table(const std::string& name) { return m_tables[name]; }
    void RemoveTable(const std::string& name) { m_tables.erase(name); }

    std::unique_ptr<CRecordTable> OpenTable(std::string_view name, std::string* pError) override {
        auto it = m_tables.find(std::string(name));
        if (it == m_tables.end()) {
            *pError = "no table " + std::string(name);
            return nullptr;
        }
        return std::make_unique<CTable>(it->second);
    }

private:
    class CTable : public CRecordTable {
    public:
        explicit CTable(const std::vector<Record>& records) : m_records(records) {}
        bool Next() override { return ++m_nRow < m_records.size(); }
        bool ReadInt(std::string_view column, std::int32_t* pValue, std::string* pError) override {
            const RecordValue* p = Find(column, pError);
            if (p == nullptr || !std::holds_alternative<std::int32_t>(*p)) return Fail(p, column, pError);
            *pValue = std::get<std::int32_t>(*p);
            return true;
        }
        bool ReadBool(std::string_view column, std::int32_t* pValue, std::string* pError) override {
            return ReadInt(column, pValue, pError);
        }
        bool ReadText(std::string_view column, std::string* pValue, std::string* pError) override {
            const RecordValue* p = Find(column, pError);
            if (p == nullptr || !std::holds_alternative<std::string>(*p)) return Fail(p, column, pError);
            *pValue = std::get<std::string>(*p);
            return true;
        }

    private:
        const RecordValue* Find(std::string_view column, std::string* pError) const {
            const Record& r = m_records[m_nRow];
            auto it = r.find(std::string(column));
            if (it == r.end()) {
                *pError = "no column " + std::string(column);
                return nullptr;
            }
            return &it->second;
        }
        static bool Fail(const RecordValue* p, std::string_view column, std::string* pError) {
            if (p != nullptr) *pError = "column " + std::string(column) + " has the wrong kind";
            return false;
        }

        const std::vector<Record>& m_records;
        size_t m_nRow = size_t(-1);
    };

    std::map<std::string, std::vector<Record>> m_tables;
};
