// Writers of the package files: picture packages (and the music package's variant),
// the effect-frame package "Effect.pkg" and the character sprite package "npc.pkg".
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct PkgEntryData {
    std::string strName;
    std::vector<std::uint8_t> bytes;
};

// A package: count, index (name, end byte, offset, size) and the entries' bytes. The
// index is sorted as the reader searches it (capitals folded to small letters, bytes
// compared unsigned) unless bSort is false. With nSizeUnit 4 (the music package) each
// entry is padded to a multiple of 4 bytes and its size counts 4-byte units.
std::vector<std::uint8_t> BuildPkg(std::vector<PkgEntryData> entries, bool bSort = true, unsigned nSizeUnit = 1);

// "Effect.pkg": effects[e][f] is frame f of effect e, a run-length 32-bit TGA file.
std::vector<std::uint8_t> BuildEffectPkg(const std::vector<std::vector<std::vector<std::uint8_t>>>& effects);

// One action of one sculpt in "npc.pkg": nCount frames per direction; frames holds
// 8 x nCount files, direction-major (empty: no picture).
struct NpcActionFrames {
    int nCount = 0;
    std::vector<std::vector<std::uint8_t>> frames;
};
// Key: (sculpt 0..299, action 0..26). Absent actions are written with count 0.
using NpcPkgModel = std::map<std::pair<int, int>, NpcActionFrames>;
std::vector<std::uint8_t> BuildNpcPkg(const NpcPkgModel& model);

constexpr int kNpcSculptCount = 300;
constexpr int kNpcActionCount = 27;
