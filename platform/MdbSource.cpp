#include "platform/MdbSource.h"
#include "platform/Strings.h"

#include "platform/Charset.h"
#include "platform/Files.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#if __has_include(<mdbtools.h>) && __has_include(<glib.h>)
#define GAME_HAVE_MDB 1
#include <mdbtools.h>
#else
#define GAME_HAVE_MDB 0
#endif

namespace {

void SetError(std::string* pError, std::string text) {
    if (pError != nullptr) *pError = std::move(text);
}

}  // namespace

#if GAME_HAVE_MDB

namespace {

bool IsIntegerType(int type) {
    return type == MDB_BOOL || type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT;
}

bool IsDecimalType(int type) {
    return type == MDB_MONEY || type == MDB_FLOAT || type == MDB_DOUBLE || type == MDB_NUMERIC;
}

class CMdbTableImpl : public CMdbTable {
public:
    CMdbTableImpl(MdbTableDef* pTable, std::string name) : m_pTable(pTable), m_strName(std::move(name)) {
        mdb_read_columns(m_pTable);
        size_t nBind = m_pTable->entry->mdb->bind_size;
        m_columns.resize(m_pTable->num_cols);
        for (unsigned i = 0; i < m_pTable->num_cols; ++i) {
            MdbColumn* pCol = static_cast<MdbColumn*>(g_ptr_array_index(m_pTable->columns, i));
            Column& col = m_columns[i];
            col.strName = pCol->name;
            col.nType = pCol->col_type;
            col.buffer.assign(nBind + 1, '\0');
            mdb_bind_column(m_pTable, int(i + 1), col.buffer.data(), &col.nLen);
        }
        mdb_rewind_table(m_pTable);
    }
    ~CMdbTableImpl() override { mdb_free_tabledef(m_pTable); }

    bool Next() override {
        // The library starts over after the last row; the walk ends there instead.
        m_bRow = !m_bEnded && mdb_fetch_row(m_pTable) != 0;
        m_bEnded = !m_bRow;
        return m_bRow;
    }

    std::vector<std::string> ColumnNames() const override {
        std::vector<std::string> names;
        for (const Column& col : m_columns) names.push_back(col.strName);
        return names;
    }

    bool HasColumn(std::string_view column) const override { return Find(column) != nullptr; }

    bool ReadInt(std::string_view column, std::int32_t* pValue, std::string* pError) override {
        *pValue = 0;
        const Column* pCol = Current(column, pError);
        if (pCol == nullptr) return false;
        std::string_view text = Value(*pCol);
        if (text.empty()) return true;
        if (IsIntegerType(pCol->nType)) {
            std::string s(text);
            errno = 0;
            long long n = std::strtoll(s.c_str(), nullptr, 10);
            if (errno == 0 && n >= INT32_MIN && n <= INT32_MAX) {
                *pValue = std::int32_t(n);
                return true;
            }
        } else if (IsDecimalType(pCol->nType)) {
            std::string s(text);
            double d = std::strtod(s.c_str(), nullptr);
            if (std::isfinite(d) && d >= double(INT32_MIN) && d <= double(INT32_MAX)) {
                *pValue = std::int32_t(d);
                return true;
            }
        } else {
            SetError(pError, m_strName + "." + pCol->strName + ": not a number column");
            return false;
        }
        SetError(pError, m_strName + "." + pCol->strName + ": value " + std::string(text) + " is out of range");
        return false;
    }

    bool ReadBool(std::string_view column, std::int32_t* pValue, std::string* pError) override {
        *pValue = 0;
        const Column* pCol = Current(column, pError);
        if (pCol == nullptr) return false;
        if (!IsIntegerType(pCol->nType)) {
            SetError(pError, m_strName + "." + pCol->strName + ": not a yes/no column");
            return false;
        }
        std::string s(Value(*pCol));
        *pValue = std::strtol(s.c_str(), nullptr, 10) != 0 ? 1 : 0;
        return true;
    }

    bool ReadText(std::string_view column, std::string* pValue, std::string* pError) override {
        pValue->clear();
        const Column* pCol = Current(column, pError);
        if (pCol == nullptr) return false;
        if (pCol->nType == MDB_OLE) {
            SetError(pError, m_strName + "." + pCol->strName + ": not a text column");
            return false;
        }
        *pValue = Utf8ToText(Value(*pCol));
        return true;
    }

private:
    struct Column {
        std::string strName;
        int nType = 0;
        std::vector<char> buffer;
        int nLen = 0;
    };

    const Column* Find(std::string_view column) const {
        for (const Column& col : m_columns) {
            if (EqualNoCase(col.strName, column)) return &col;
        }
        return nullptr;
    }

    const Column* Current(std::string_view column, std::string* pError) const {
        const Column* pCol = Find(column);
        if (pCol == nullptr) {
            SetError(pError, m_strName + ": no column " + std::string(column));
            return nullptr;
        }
        if (!m_bRow) {
            SetError(pError, m_strName + ": no current row");
            return nullptr;
        }
        return pCol;
    }

    static std::string_view Value(const Column& col) {
        size_t n = col.nLen > 0 ? size_t(col.nLen) : 0;
        if (n >= col.buffer.size()) n = col.buffer.size() - 1;
        return std::string_view(col.buffer.data(), n);
    }

    MdbTableDef* m_pTable;
    std::string m_strName;
    std::vector<Column> m_columns;
    bool m_bRow = false;
    bool m_bEnded = false;
};

}  // namespace

struct CMdbDatabase::Impl {
    MdbHandle* pHandle = nullptr;
};

CMdbDatabase::CMdbDatabase() : m_pImpl(std::make_unique<Impl>()) {}

CMdbDatabase::~CMdbDatabase() { Close(); }

bool CMdbDatabase::Open(const char* pName, std::string* pError) {
    Close();
    std::string path = ResolvePath(pName != nullptr ? pName : "");
    if (!FileExists(path.c_str())) {
        SetError(pError, std::string(pName != nullptr ? pName : "") + ": database file not found");
        return false;
    }
    MdbHandle* pHandle = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (pHandle == nullptr) {
        SetError(pError, std::string(pName) + ": not a readable database file");
        return false;
    }
    // The older format stores no code page; the game's databases hold code page 936
    // text, so the library is told to read it as such (and to hand back UTF-8).
    if (IS_JET3(pHandle)) {
        iconv_t in = iconv_open("UTF-8", "CP936");
        iconv_t out = iconv_open("CP936", "UTF-8");
        if (in != iconv_t(-1) && out != iconv_t(-1)) {
            mdb_iconv_close(pHandle);
            pHandle->iconv_in = in;
            pHandle->iconv_out = out;
        } else {
            if (in != iconv_t(-1)) iconv_close(in);
            if (out != iconv_t(-1)) iconv_close(out);
        }
    }
    mdb_set_boolean_fmt_numbers(pHandle);
    if (mdb_read_catalog(pHandle, MDB_ANY) == nullptr) {
        mdb_close(pHandle);
        SetError(pError, std::string(pName) + ": cannot read the table catalog");
        return false;
    }
    m_pImpl->pHandle = pHandle;
    return true;
}

void CMdbDatabase::Close() {
    if (m_pImpl->pHandle != nullptr) {
        mdb_close(m_pImpl->pHandle);
        m_pImpl->pHandle = nullptr;
    }
}

bool CMdbDatabase::IsOpen() const { return m_pImpl->pHandle != nullptr; }

bool CMdbDatabase::IsOldFormat() const { return m_pImpl->pHandle != nullptr && IS_JET3(m_pImpl->pHandle); }

std::vector<std::string> CMdbDatabase::TableNames() const {
    std::vector<std::string> names;
    MdbHandle* pHandle = m_pImpl->pHandle;
    if (pHandle == nullptr) return names;
    for (unsigned i = 0; i < pHandle->num_catalog; ++i) {
        MdbCatalogEntry* pEntry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(pHandle->catalog, i));
        if (pEntry->object_type == MDB_TABLE && !mdb_is_system_table(pEntry)) names.emplace_back(pEntry->object_name);
    }
    return names;
}

std::unique_ptr<CMdbTable> CMdbDatabase::OpenTable(std::string_view name, std::string* pError) {
    MdbHandle* pHandle = m_pImpl->pHandle;
    if (pHandle == nullptr) {
        SetError(pError, "no database is open");
        return nullptr;
    }
    for (unsigned i = 0; i < pHandle->num_catalog; ++i) {
        MdbCatalogEntry* pEntry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(pHandle->catalog, i));
        if (pEntry->object_type != MDB_TABLE || !EqualNoCase(pEntry->object_name, name)) continue;
        MdbTableDef* pTable = mdb_read_table(pEntry);
        if (pTable == nullptr) break;
        return std::make_unique<CMdbTableImpl>(pTable, pEntry->object_name);
    }
    SetError(pError, "no table " + std::string(name));
    return nullptr;
}

#else  // no database library on this build

struct CMdbDatabase::Impl {};

CMdbDatabase::CMdbDatabase() : m_pImpl(std::make_unique<Impl>()) {}
CMdbDatabase::~CMdbDatabase() = default;

bool CMdbDatabase::Open(const char* pName, std::string* pError) {
    SetError(pError, std::string(pName != nullptr ? pName : "") + ": this build cannot read database files");
    return false;
}
void CMdbDatabase::Close() {}
bool CMdbDatabase::IsOpen() const { return false; }
bool CMdbDatabase::IsOldFormat() const { return false; }
std::vector<std::string> CMdbDatabase::TableNames() const { return {}; }
std::unique_ptr<CMdbTable> CMdbDatabase::OpenTable(std::string_view name, std::string* pError) {
    SetError(pError, "no table " + std::string(name));
    return nullptr;
}

#endif
