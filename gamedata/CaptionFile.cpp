#include "gamedata/CaptionFile.h"

#include "platform/Stream.h"

#include <cstring>

namespace {

constexpr size_t kPatternNameBytes = 32;
constexpr size_t kPatternMinBytes = kPatternNameBytes + 12 + sizeof(AreaPatternTail);
constexpr size_t kPatternCellBytes = 8 + sizeof(AreaStep);

}  // namespace

bool ReadCaptions(const std::uint8_t* pData, size_t nSize, CCaptionTable* pTable, std::string* pError) {
    CByteReader in(pData, nSize, "vesk.dat");
    CCaptionTable table;
    std::int32_t n = 0;
    in.SetContext("caption count");
    if (in.ReadI32(&n) && in.CheckCount(n, 4, "line")) {
        table.lines.resize(size_t(n));
        in.SetContext("caption");
        for (size_t i = 0; i < table.lines.size(); ++i) {
            in.SetRecord(std::int64_t(i));
            std::string stored;
            if (!in.ReadString(&stored)) break;
            // Every stored byte is the text byte plus 10; the line ends at the first zero.
            std::string& line = table.lines[i];
            for (char c : stored) {
                char b = char(static_cast<unsigned char>(c) - 10);
                if (b == '\0') break;
                line.push_back(b);
            }
        }
    }
    if (in.Failed()) {
        if (pError != nullptr) *pError = in.Error();
        *pTable = CCaptionTable();
        return false;
    }
    *pTable = std::move(table);
    return true;
}

bool ReadAreaPatterns(const std::uint8_t* pData, size_t nSize, CAreaPatternSet* pSet, std::string* pError) {
    CByteReader in(pData, nSize, "Vesk.Ayl");
    CAreaPatternSet set;
    std::vector<size_t> firstCell;
    std::int32_t n = 0;
    in.SetContext("pattern count");
    if (in.ReadI32(&n) && in.CheckCount(n, kPatternMinBytes, "pattern")) {
        AreaPatternRow blank;
        blank.nCellCount = -1;
        blank.ptOrigin = POINT{-1, -1};
        AreaPatternTail blankTail;
        std::memset(&blankTail, 0xFF, sizeof(blankTail));
        set.rows.assign(size_t(n), blank);
        set.tails.assign(size_t(n), blankTail);
        firstCell.assign(size_t(n), 0);
        in.SetContext("pattern");
        for (size_t p = 0; p < set.rows.size() && !in.Failed(); ++p) {
            in.SetRecord(std::int64_t(p));
            AreaPatternRow& row = set.rows[p];
            in.Skip(kPatternNameBytes);
            if (!in.ReadI32(&row.nCellCount) ||
                !in.CheckCount(row.nCellCount, kPatternCellBytes, "cell")) {
                break;
            }
            in.ReadI32(&row.ptOrigin.x);
            in.ReadI32(&row.ptOrigin.y);
            firstCell[p] = set.cells.size();
            for (std::int32_t c = 0; c < row.nCellCount && !in.Failed(); ++c) {
                POINT pt;
                AreaStep step;
                in.ReadI32(&pt.x);
                in.ReadI32(&pt.y);
                for (std::int32_t& w : step.n) in.ReadI32(&w);
                set.cells.push_back(pt);
                set.steps.push_back(step);
            }
            for (std::int32_t& w : set.tails[p].n) in.ReadI32(&w);
        }
    }
    if (in.Failed()) {
        if (pError != nullptr) *pError = in.Error();
        *pSet = CAreaPatternSet();
        return false;
    }
    // The cell tables are complete: point each pattern at its part of them.
    for (size_t p = 0; p < set.rows.size(); ++p) {
        AreaPatternRow& row = set.rows[p];
        if (row.nCellCount > 0) {
            row.pCells = set.cells.data() + firstCell[p];
            row.pSteps = set.steps.data() + firstCell[p];
        }
    }
    *pSet = std::move(set);
    return true;
}
