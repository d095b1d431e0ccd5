// The effect manager (pEffectManager): the list of running effect animations, and the
// per-scene state tables of the whole game (characters' state records, event state
// bytes and run counters, the object bytes and the shop stock), which survive scene
// changes and are saved with the game as one block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "world/EffectAnim.h"

class CByteReader;
class CByteWriter;

constexpr int kStateScenes = 200;
constexpr int kStateEntries = 100;
constexpr int kStockShops = 16;
constexpr int kStockItems = 100;

// Display state bits of a character's state record.
constexpr std::int8_t kNpcShown = 0;
constexpr std::int8_t kNpcHidden = 1;
constexpr std::int8_t kNpcGone = 2;
constexpr std::int8_t kNpcGoneRevive = 3;
constexpr std::int8_t kNpcCorpse = 4;

// The lasting state of one character of one scene, 20 bytes as the save block holds
// it. A fresh record is 0xFF in every byte, so its words read -1.
struct NpcStateRecord {
    std::uint8_t nUnused[4];  // not used by characters, kept as loaded
    std::int32_t nMapX;       // map position in pixels
    std::int32_t nMapY;
    std::int32_t nLife;
    std::int8_t nDirection;   // 0..7
    std::int8_t nDisplay;     // kNpc* bits; 0 shown
    std::uint8_t nPad[2];     // not used by characters, kept as loaded
};
static_assert(sizeof(NpcStateRecord) == 20 && offsetof(NpcStateRecord, nMapX) == 4 &&
              offsetof(NpcStateRecord, nLife) == 12 && offsetof(NpcStateRecord, nDirection) == 16 &&
              offsetof(NpcStateRecord, nDisplay) == 17);

class CEffectManager {
public:
    // Bytes of the saved tables: event states, character records, object bytes, shop
    // stock and event run counters.
    static constexpr size_t kBlockSize = size_t(kStateScenes) * kStateEntries * (1 + sizeof(NpcStateRecord) + 1 + 4) +
                                         size_t(kStockShops) * kStockItems * 4;
    // Where the characters' state records begin in the block (after the event states).
    static constexpr size_t kNpcRecordsOffset = size_t(kStateScenes) * kStateEntries;

    // Tables at their starting values: records 0xFF, states and object bytes 0, run
    // counters -1, shop stock 0; no effects running.
    CEffectManager();
    virtual ~CEffectManager();
    CEffectManager(const CEffectManager&) = delete;
    CEffectManager& operator=(const CEffectManager&) = delete;

    // A battle effect of skill n: the skill's picture number at (x, y), with the skill's
    // attack value when bWithAttack is set. False (nothing added) for a skill outside
    // the skill table or a picture the effect package does not hold.
    bool AddEffect(int nSkill, int nAttacker, int nTarget, int x, int y, BOOL bWithAttack);
    // A script effect: n below 13 shows effect n - 1, others n + 1, at (0, 0).
    bool AddScriptEffect(int n);
    // Whether an effect added by AddScriptEffect still runs.
    bool IsScriptEffectRunning() const;
    // A scene or area effect at (x, y) moved by the effect's own offset.
    bool Add45Effect(int nEffect, int x, int y);

    // Hide and show character id of a scene for the scripts. Ids outside the tables
    // are ignored. Hiding also drops a special cursor shape and the hovered actor.
    void SetObjectFlag(int nScene, int nId);
    void ClearObjectFlag(int nScene, int nId);

    // The state record of character id of a scene; null outside the tables.
    NpcStateRecord* GetNpcState(int nScene, int nId);

    // Writes the tables as one raw block of kBlockSize bytes.
    void Save(CByteWriter& writer) const;
    // Reads a whole block into a copy and takes it over only when all of it was read;
    // on failure the tables stay as they were and the reason is in GetError.
    bool Load(CByteReader& reader);
    const std::string& GetError() const { return m_strError; }

    // The running effects, newest first; null when none runs.
    CEffectAnim* First() const { return m_head.m_pNext; }
    int GetEffectCount() const;
    // Removes and deletes every running effect.
    void ClearEffects();

    std::uint8_t EventStates[kStateScenes][kStateEntries];
    NpcStateRecord NpcStates[kStateScenes][kStateEntries];
    std::uint8_t ObjectTaken[kStateScenes][kStateEntries];
    std::int32_t EventRuns[kStateScenes][kStateEntries];
    std::int32_t ShopStock[kStockShops][kStockItems];
    // Set from construction; a bomb that kills the hero clears it. It is not saved.
    std::int32_t bRunning = 1;

private:
    struct Tables;
    // Starts a prepared node and puts it at the head of the list.
    void Link(CEffectAnim* pNode);

    CEffectAnim m_head;  // sentinel: its next node is the first running effect
    std::string m_strError;
};

// The frame's effect update: draws and advances every running effect and removes each
// that has finished. True when this pass removed the last running effect (the effect
// waits of the scripts end then). Does nothing without a manager.
bool UpdateEffectList(CEffectManager* pManager);

extern CEffectManager* pEffectManager;
