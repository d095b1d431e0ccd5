// Reading tables of an Access (Jet/ACE) database file: open the file, open a table
// by name, walk its rows in stored order and read columns by name. Text comes back
// as GBK bytes; failures (missing file, table or column, a column of the wrong
// kind) are return values with a message.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CMdbTable {
public:
    virtual ~CMdbTable() = default;
    // Moves to the next row (the first on the first call); false after the last.
    virtual bool Next() = 0;
    // Column names in table order (UTF-8).
    virtual std::vector<std::string> ColumnNames() const = 0;
    virtual bool HasColumn(std::string_view column) const = 0;
    // Integer value of a number or yes/no column (a null value reads 0).
    virtual bool ReadInt(std::string_view column, std::int32_t* pValue, std::string* pError) = 0;
    // Yes/no column: 1 for yes, 0 for no.
    virtual bool ReadBool(std::string_view column, std::int32_t* pValue, std::string* pError) = 0;
    // Text of a column as GBK bytes (a null value reads empty).
    virtual bool ReadText(std::string_view column, std::string* pValue, std::string* pError) = 0;
};

class CMdbDatabase {
public:
    CMdbDatabase();
    ~CMdbDatabase();
    CMdbDatabase(const CMdbDatabase&) = delete;
    CMdbDatabase& operator=(const CMdbDatabase&) = delete;

    // Opens a database file through the path resolver.
    bool Open(const char* pName, std::string* pError);
    void Close();
    bool IsOpen() const;
    // True for the older (Jet 3) file format, whose text is read as code page 936.
    bool IsOldFormat() const;
    // Names of the user tables (UTF-8).
    std::vector<std::string> TableNames() const;
    // Opens a table by name (without regard to case); null with a message when missing.
    // The table must not outlive the database.
    std::unique_ptr<CMdbTable> OpenTable(std::string_view name, std::string* pError);

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};
