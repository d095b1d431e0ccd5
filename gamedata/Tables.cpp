#include "gamedata/Tables.h"

ItemRow::ItemRow() { ClearBagTables(); }

void ItemRow::ClearBagTables() {
    for (int m = 0; m < kMemberCount; ++m) {
        for (int c = 0; c < kBagCellCount; ++c) {
            nBagCell[m][c] = -1;
            nBagMark[m][c] = 0;
        }
    }
}

const char* CTextStore::Add(std::string_view text) {
    size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    if (text.empty()) return "";
    m_texts.emplace_back(text);
    return m_texts.back().c_str();
}
