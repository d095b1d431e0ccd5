#include "tools/gamekit/SaveGameWriter.h"

#include <algorithm>

namespace {

constexpr size_t kScenes = 200, kEntries = 100;
constexpr size_t kThumbPixels = 120 * 90;

void Add32(std::vector<std::uint8_t>& bytes, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) bytes.push_back(std::uint8_t(u >> (8 * i)));
}

// A text field of 16 bytes: the text, its zero, zeros after it.
void AddText16(std::vector<std::uint8_t>& bytes, const std::string& strText) {
    const size_t nAt = bytes.size();
    bytes.resize(nAt + 16, 0);
    std::copy_n(strText.begin(), std::min<size_t>(strText.size(), 15), bytes.begin() + std::ptrdiff_t(nAt));
}

// The scene state tables of a game just begun: event states 0, every character record
// 0xFF, object bytes 0, shop stock 0, run counters -1.
void AddFreshStateTables(std::vector<std::uint8_t>& bytes) {
    bytes.insert(bytes.end(), kScenes * kEntries, 0);
    bytes.insert(bytes.end(), kScenes * kEntries * 20, 0xFF);
    bytes.insert(bytes.end(), kScenes * kEntries, 0);
    bytes.insert(bytes.end(), 16 * 100 * 4, 0);
    for (size_t i = 0; i < kScenes * kEntries; ++i) Add32(bytes, -1);
}

void AddToolBarBlock(std::vector<std::uint8_t>& bytes, const SaveGameModel& m) {
    Add32(bytes, m.nHeroNumber);
    Add32(bytes, 0);  // party behaviour
    for (std::int32_t n : m.quickSlots) Add32(bytes, n);
    Add32(bytes, 0);   // stack count
    Add32(bytes, -1);  // stack item
    for (int i = 0; i < 4; ++i) Add32(bytes, -1);
    Add32(bytes, m.nWeather);
}

std::int32_t FlagOf(const std::map<int, std::int32_t>& flags, size_t nScene, size_t nIndex) {
    const auto it = flags.find(int(nScene * kEntries + nIndex));
    return it == flags.end() ? 0 : it->second;
}

}  // namespace

std::vector<std::uint8_t> BuildSaveGame(const SaveGameModel& m) {
    std::vector<std::uint8_t> bytes;
    AddText16(bytes, m.strDate);
    AddText16(bytes, m.strClock);
    Add32(bytes, m.nPartyCount);
    for (std::int32_t n : m.partyIds) Add32(bytes, n);
    Add32(bytes, m.hero.nSculpt);
    for (size_t i = 0; i < kThumbPixels; ++i) {
        bytes.push_back(std::uint8_t(m.nThumbPixel & 0xFF));
        bytes.push_back(std::uint8_t(m.nThumbPixel >> 8));
    }
    Add32(bytes, m.nScene);
    bytes.push_back(m.bStoryFlag);
    AddFreshStateTables(bytes);
    AddToolBarBlock(bytes, m);
    const std::vector<std::uint8_t> hero = BuildHeroRecord(m.hero);
    bytes.insert(bytes.end(), hero.begin(), hero.end());
    for (int nSlot = 0; nSlot < 4; ++nSlot) {
        const auto it = m.members.find(nSlot);
        if (m.partyIds[size_t(nSlot)] < 0 || nSlot == m.nHeroNumber - 1 || it == m.members.end()) continue;
        const std::vector<std::uint8_t> record = BuildHeroRecord(it->second);
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    Add32(bytes, m.nCompanion);
    for (size_t s = 0; s < kScenes; ++s) {
        for (size_t k = 0; k < kEntries; ++k) Add32(bytes, FlagOf(m.flagsB, s, k));
        for (size_t k = 0; k < kEntries; ++k) Add32(bytes, FlagOf(m.flagsA, s, k));
    }
    Add32(bytes, 0);  // no ground items
    if (m.bBank) {
        for (char c : {'B', 'A', 'N', 'K'}) bytes.push_back(std::uint8_t(c));
        Add32(bytes, m.nBankMoney);
    }
    return bytes;
}

bool WriteSaveGameFile(const std::string& path, const SaveGameModel& model, std::string* pError) {
    return WriteSaveFolderFile(path, BuildSaveGame(model), pError);
}
