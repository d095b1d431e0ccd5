// What the database import reads: tables opened by name, walked row by row in the
// order the database returns them, with columns read by name. The game reads its
// database through the libmdb adapter; tests hand in records held in memory.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CRecordTable {
public:
    virtual ~CRecordTable() = default;
    // Moves to the next record (the first on the first call); false after the last.
    virtual bool Next() = 0;
    // Number column of the current record.
    virtual bool ReadInt(std::string_view column, std::int32_t* pValue, std::string* pError) = 0;
    // Yes/no column of the current record, as the value the database holds.
    virtual bool ReadBool(std::string_view column, std::int32_t* pValue, std::string* pError) = 0;
    // Text column of the current record as GBK bytes.
    virtual bool ReadText(std::string_view column, std::string* pValue, std::string* pError) = 0;
};

class CRecordSource {
public:
    virtual ~CRecordSource() = default;
    // Opens a table by name; null with a message when there is none.
    virtual std::unique_ptr<CRecordTable> OpenTable(std::string_view name, std::string* pError) = 0;
};

// The game database file read through libmdb; null with a message when it cannot be opened.
std::unique_ptr<CRecordSource> OpenDatabaseSource(const char* pName, std::string* pError);
