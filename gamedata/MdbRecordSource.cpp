#include "gamedata/RecordSource.h"

#include "platform/MdbSource.h"

namespace {

class CMdbRecordTable : public CRecordTable {
public:
    explicit CMdbRecordTable(std::unique_ptr<CMdbTable> pTable) : m_pTable(std::move(pTable)) {}
    bool Next() override { return m_pTable->Next(); }
    bool ReadInt(std::string_view column, std::int32_t* pValue, std::string* pError) override {
        return m_pTable->ReadInt(column, pValue, pError);
    }
    bool ReadBool(std::string_view column, std::int32_t* pValue, std::string* pError) override {
        return m_pTable->ReadBool(column, pValue, pError);
    }
    bool ReadText(std::string_view column, std::string* pValue, std::string* pError) override {
        return m_pTable->ReadText(column, pValue, pError);
    }

private:
    std::unique_ptr<CMdbTable> m_pTable;
};

class CMdbRecordSource : public CRecordSource {
public:
    bool Open(const char* pName, std::string* pError) { return m_database.Open(pName, pError); }
    std::unique_ptr<CRecordTable> OpenTable(std::string_view name, std::string* pError) override {
        std::unique_ptr<CMdbTable> pTable = m_database.OpenTable(name, pError);
        if (!pTable) return nullptr;
        return std::make_unique<CMdbRecordTable>(std::move(pTable));
    }

private:
    CMdbDatabase m_database;
};

}  // namespace

std::unique_ptr<CRecordSource> OpenDatabaseSource(const char* pName, std::string* pError) {
    auto pSource = std::make_unique<CMdbRecordSource>();
    if (!pSource->Open(pName, pError)) return nullptr;
    return pSource;
}
