#include "tools/gamekit/HeroRecordWriter.h"

#include "platform/Stream.h"

#include <filesystem>
#include <utility>

namespace {

void Put32(std::vector<std::uint8_t>& bytes, size_t nAt, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) bytes[nAt + i] = std::uint8_t(u >> (8 * i));
}

template <size_t N>
void PutArray(std::vector<std::uint8_t>& bytes, size_t nAt, const std::array<std::int32_t, N>& a) {
    for (size_t i = 0; i < N; ++i) Put32(bytes, nAt + 4 * i, a[i]);
}

}  // namespace

std::vector<std::uint8_t> BuildHeroRecord(const HeroRecordModel& m) {
    std::vector<std::uint8_t> fixed(2988, 0);
    const std::pair<size_t, std::int32_t> words[] = {
        {0, m.nSculpt},       {4, m.nSkillPoints},   {8, m.nLevel},         {812, m.nPartyMask},
        {816, m.nAge},        {820, m.nLife},        {824, m.nLifeMax},     {828, m.nMoney},
        {832, m.nMana},       {836, m.nManaMax},     {840, m.nStamina},     {844, m.nStaminaMax},
        {848, m.nLevelLife},  {852, m.nLevelMana},   {856, m.nExperience},  {860, m.equip[3]},
        {864, m.equip[2]},    {868, m.nWalkStep},    {2872, m.nDirection},  {2876, m.equip[1]},
        {2880, m.equip[5]},   {2884, m.nEquipSixth}, {2888, m.equip[0]},    {2892, m.equip[4]},
        {2896, m.nCounterA},  {2900, m.nCounterB},   {2904, m.nX},          {2908, m.nY},
        {2924, m.nMember},    {2928, m.nKind},       {2964, m.nThrownItem}, {2968, m.nThrownCount},
        {2972, m.nAttack},    {2976, m.nDefence},    {2980, m.nSelectedSkill}, {2984, m.nStance},
    };
    for (const auto& [nAt, v] : words) Put32(fixed, nAt, v);
    PutArray(fixed, 12, m.skillKnown);
    PutArray(fixed, 212, m.skillLevel);
    PutArray(fixed, 412, m.itemCount);
    PutArray(fixed, 872, m.taskState);
    for (size_t i = 0; i < m.inlay.size(); ++i) PutArray(fixed, 1272 + 16 * i, m.inlay[i]);
    PutArray(fixed, 2912, m.battleBonus);
    PutArray(fixed, 2932, m.quickSlot);

    std::vector<std::uint8_t> bytes = std::move(fixed);
    for (int item = 0; item < 100; ++item) {
        if (m.itemCount[size_t(item)] <= 0) continue;
        std::array<std::int32_t, 54> cells;
        cells.fill(-1);
        if (auto it = m.bagCells.find(item); it != m.bagCells.end()) cells = it->second;
        const size_t nAt = bytes.size();
        bytes.resize(nAt + 216);
        PutArray(bytes, nAt, cells);
    }
    const size_t nTail = bytes.size();
    bytes.resize(nTail + 209);
    PutArray(bytes, nTail, m.skillUses);
    Put32(bytes, nTail + 200, m.nSavedWord);
    bytes[nTail + 204] = m.bSavedFlag;
    for (size_t i = 0; i < 4; ++i) bytes[nTail + 205 + i] = m.flags[i];
    return bytes;
}

bool WriteSaveFolderFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* pError) {
    std::error_code ec;
    const std::filesystem::path target(path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    return WriteFileAtomic(path.c_str(), bytes, pError);
}

bool WriteHeroRecordFile(const std::string& path, const HeroRecordModel& model, std::string* pError) {
    return WriteSaveFolderFile(path, BuildHeroRecord(model), pError);
}
