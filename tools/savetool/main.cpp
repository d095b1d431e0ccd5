// savetool dump FILE: prints a saved game field by field with each block's offset and
// size: the header (texts in UTF-8), the scene state tables' entries that differ from a
// new game, the toolbar block, each hero record's main fields and items, the companion,
// the nonzero event flags, the ground items and the bank.
// savetool thumb FILE OUT.bmp [--555]: writes the thumbnail as a 24-bit BMP (the pixels
// are read as 5-6-5, or 5-5-5 with --555).
// Both use the game's own parser: a damaged file prints where and why and exits with 1.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/Charset.h"
#include "platform/Stream.h"
#include "shell/SaveGameFile.h"
#include "tools/gamekit/ImageWriters.h"
#include "world/EffectManager.h"

namespace {

constexpr size_t kFileLimit = size_t(64) << 20;

int Usage() {
    std::fprintf(stderr, "usage: savetool dump FILE | savetool thumb FILE OUT.bmp [--555]\n");
    return 2;
}

// Prints the entries of the scene state tables that differ from a new game's, read by
// the game's own loader. The offsets are the block's layout: event states, character
// records, object bytes, shop stock, run counters.
bool DumpStateTables(const SaveGameFile& f, size_t nBase) {
    // Constructing the manager only fills its tables; it touches nothing of the game.
    auto pTables = std::make_unique<CEffectManager>();
    CByteReader reader(f.effectBlock, "scene state block");
    if (!pTables->Load(reader)) {
        std::fprintf(stderr, "savetool: %s\n", pTables->GetError().c_str());
        return false;
    }
    const size_t nEntries = size_t(kStateScenes) * kStateEntries;
    const size_t nNpc = nEntries, nObjects = nNpc + nEntries * sizeof(NpcStateRecord);
    const size_t nStock = nObjects + nEntries, nRuns = nStock + size_t(kStockShops) * kStockItems * 4;
    std::printf("  event states @%zu, character records @%zu, object bytes @%zu, shop stock @%zu, run counters @%zu\n",
                nBase, nBase + nNpc, nBase + nObjects, nBase + nStock, nBase + nRuns);
    const CEffectManager& t = *pTables;
    for (int s = 0; s < kStateScenes; ++s)
        for (int k = 0; k < kStateEntries; ++k) {
            if (t.EventStates[s][k]) std::printf("  event state scene %d event %d = %u\n", s, k, t.EventStates[s][k]);
            if (t.ObjectTaken[s][k]) std::printf("  object byte scene %d entry %d = %u\n", s, k, t.ObjectTaken[s][k]);
            if (t.EventRuns[s][k] != -1) std::printf("  run counter scene %d event %d = %d\n", s, k, t.EventRuns[s][k]);
            // A fresh record is 0xFF in every byte, the unused ones included.
            const NpcStateRecord& r = t.NpcStates[s][k];
            const auto* pByte = reinterpret_cast<const std::uint8_t*>(&r);
            if (std::any_of(pByte, pByte + sizeof r, [](std::uint8_t b) { return b != 0xFF; }))
                std::printf("  character scene %d id %d: at (%d, %d) life %d direction %d display %d\n", s, k, r.nMapX,
                            r.nMapY, r.nLife, int(r.nDirection), int(r.nDisplay));
        }
    for (int s = 0; s < kStockShops; ++s)
        for (int i = 0; i < kStockItems; ++i)
            if (t.ShopStock[s][i]) std::printf("  shop %d item %d stock %d\n", s, i, t.ShopStock[s][i]);
    return true;
}

void DumpRecord(const HeroRecord& r) {
    std::printf("  sculpt %d member %d kind %d level %d experience %d\n", r.nSculpt, r.nMember, r.nKind, r.nLevel,
                r.nExperience);
    std::printf("  life %d/%d mana %d/%d stamina %d/%d money %d\n", r.nLife, r.nLifeMax, r.nMana, r.nManaMax,
                r.nStamina, r.nStaminaMax, r.nMoney);
    std::printf("  position (%d, %d) direction %d attack %d defence %d selected skill %d stance %d\n", int(r.ptPos.x),
                int(r.ptPos.y), r.nDirection, r.nAttack, r.nDefence, r.nSelectedSkill, r.nStance);
    std::printf("  equipment %d %d %d %d %d %d\n", r.nEquip0, r.nEquip1, r.nEquip2, r.nEquip3, r.nEquip4, r.nEquip5);
    std::printf("  quick slots");
    for (std::int32_t n : r.nQuickSlot) std::printf(" %d", n);
    std::printf("\n");
    for (int i = 0; i < kHeroItemCount; ++i)
        if (r.nItemCount[i] > 0) std::printf("  item %d x%d\n", i, r.nItemCount[i]);
    for (int i = 0; i < kHeroSkillCount; ++i)
        if (r.nSkillKnown[i]) std::printf("  skill %d level %d\n", i, r.nSkillLevel[i]);
}

int Dump(const SaveGameFile& f) {
    for (const SaveBlockSpan& span : f.blocks) {
        std::printf("%s @%zu size %zu\n", span.strName.c_str(), span.nOffset, span.nSize);
        if (span.strName == "header") {
            std::printf("  date \"%s\" @%zu\n", TextToUtf8(SaveText(f.szDate)).c_str(), kSaveDateOffset);
            std::printf("  clock \"%s\" @%zu\n", TextToUtf8(SaveText(f.szClock)).c_str(), kSaveClockOffset);
            std::printf("  party count %d @%zu\n", f.nPartyCount, kSaveCountOffset);
            std::printf("  party ids %d %d %d %d @%zu\n", f.nPartyIds[0], f.nPartyIds[1], f.nPartyIds[2],
                        f.nPartyIds[3], kSaveIdsOffset);
            std::printf("  sculpt %d @%zu\n", f.nSculpt, kSaveSculptOffset);
            std::printf("  thumbnail %dx%d @%zu\n", kSaveThumbWidth, kSaveThumbHeight, kSaveThumbOffset);
            std::printf("  scene %d @%zu\n", f.nScene, kSaveSceneOffset);
            std::printf("  story flag %u @%zu\n", f.bStoryFlag, kSaveStoryOffset);
        } else if (span.strName == "scene state block") {
            if (!DumpStateTables(f, span.nOffset)) return 1;
        } else if (span.strName == "toolbar block") {
            const ToolBarSaveState& t = f.toolBar;
            std::printf("  hero %d party behaviour %d stack %d x%d weather %d\n  quick slots", t.nHero,
                        t.nPartyBehaviour, t.nStackItem, t.nStackCount, t.nWeather);
            for (std::int32_t n : t.nQuickSlots) std::printf(" %d", n);
            std::printf("\n  reserved %d %d %d %d\n", t.nReserved[0], t.nReserved[1], t.nReserved[2], t.nReserved[3]);
        } else if (span.strName == "controlled hero record") {
            DumpRecord(*f.pHero);
        } else if (span.strName.rfind("record of party slot ", 0) == 0) {
            DumpRecord(*f.pMembers[std::stoi(span.strName.substr(21))]);
        } else if (span.strName == "companion") {
            const int nSlot = f.CompanionSlot();
            if (nSlot >= 0)
                std::printf("  companion %d (party slot %d)\n", f.nCompanion, nSlot);
            else
                std::printf("  companion %d (none)\n", f.nCompanion);
        } else if (span.strName == "event flags") {
            for (size_t i = 0; i < f.flagsA.size(); ++i) {
                if (f.flagsB[i]) std::printf("  flag B scene %zu entry %zu = %d\n", i / 100, i % 100, f.flagsB[i]);
                if (f.flagsA[i]) std::printf("  flag A scene %zu entry %zu = %d\n", i / 100, i % 100, f.flagsA[i]);
            }
        } else if (span.strName == "ground items") {
            std::printf("  count %zu\n", f.ground.size());
            for (const SaveGroundRecord& g : f.ground)
                std::printf("  slot %d item %d count %d at (%d, %d)\n", g.nSlot, g.nItem, g.nCount, g.x, g.y);
        } else if (span.strName == "bank") {
            if (f.bHasBank)
                std::printf("  balance %d\n", f.nBankMoney);
            else
                std::printf("  none (an older file): balance 0\n");
        }
    }
    return 0;
}

int Thumb(const SaveGameFile& f, const char* pszOut, bool b555) {
    PictureRgba pic(kSaveThumbWidth, kSaveThumbHeight);
    for (int y = 0; y < kSaveThumbHeight; ++y)
        for (int x = 0; x < kSaveThumbWidth; ++x) {
            const size_t n = (size_t(y) * kSaveThumbWidth + size_t(x)) * 2;
            const unsigned p = unsigned(f.thumbnail[n]) | unsigned(f.thumbnail[n + 1]) << 8;
            const int r = b555 ? (p >> 10) & 31 : (p >> 11) & 31;
            const int g = b555 ? ((p >> 5) & 31) * 255 / 31 : ((p >> 5) & 63) * 255 / 63;
            const int b = p & 31;
            pic.At(x, y) = Argb(255, r * 255 / 31, g, b * 255 / 31);
        }
    if (!WriteBytesToFile(pszOut, BuildBmp(pic))) {
        std::fprintf(stderr, "savetool: cannot write %s\n", pszOut);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string strMode = argv[1];
    if (strMode != "dump" && !(strMode == "thumb" && argc >= 4)) return Usage();
    std::vector<std::uint8_t> bytes;
    std::string strWhy;
    auto pFile = std::make_unique<SaveGameFile>();
    if (!ReadWholeFile(argv[2], kFileLimit, &bytes, &strWhy) || !ParseSaveFile(bytes, argv[2], pFile.get(), &strWhy)) {
        std::fprintf(stderr, "savetool: %s\n", strWhy.c_str());
        return 1;
    }
    if (strMode == "dump") return Dump(*pFile);
    return Thumb(*pFile, argv[3], argc >= 5 && std::strcmp(argv[4], "--555") == 0);
}
