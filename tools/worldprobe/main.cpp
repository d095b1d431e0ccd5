// worldprobe DIR INPUT [--run] [--ms N] [--npc ID]: runs the game headless in the game folder DIR,
// driven by the input script INPUT, and writes one CSV row per main-loop pass while a
// game runs: the virtual time, the scene, the heroine's position, cell, action,
// stamina and waypoints, whether her cell is a wall of the map (1), the view origin, the
// cursor's shape and the hovered character's id (-1: none), then the running event and
// its step, the game mode, the countdown's seconds, the tooltip's scene and her money. --run sets her
// run flag every frame (the toolbar's Shift and R keys do it in the game); the run
// ends after N ms of virtual time (default 60000). --npc ID adds the fight columns:
// that character's map position, life, display state and action, the heroine's life, money and
// items held, the damage numbers and loot rolls the fight asked the toolbar for so
// far, the money of the last roll and the ground items of the scene.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "shell/GameApp.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "world/EffectManager.h"
#include "world/FightHost.h"
#include "world/Npc.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

// Counts what the fight asks of the toolbar and passes every call on to the host the
// game installed.
class CFightCounter : public CFightHost {
public:
    CFightHost* pInner = nullptr;
    int nDecLife = 0, nLoot = 0, nLootMoney = -1;
    void AddDecLife(int x, int y, int nAmount) override {
        ++nDecLife;
        pInner->AddDecLife(x, y, nAmount);
    }
    void DropLoot(int x, int y, int nMoney, int n1, int n2, int n3, int n4) override {
        ++nLoot;
        nLootMoney = nMoney;
        pInner->DropLoot(x, y, nMoney, n1, n2, n3, n4);
    }
    void AddEffectAt(int nAttack, int x, int y, int nSkill, int nOwner) override {
        pInner->AddEffectAt(nAttack, x, y, nSkill, nOwner);
    }
    void AddFlyingEffectFromPoint(int nAttack, int x, int y, int tx, int ty, int bUseSkill, int nOwner) override {
        pInner->AddFlyingEffectFromPoint(nAttack, x, y, tx, ty, bUseSkill, nOwner);
    }
    void PlayNpcSound(int nSound, int nVolume) override { pInner->PlayNpcSound(nSound, nVolume); }
    void AddAreaEffectAtHero(int nAttack, int x, int y, int nValue, int nAction) override {
        pInner->AddAreaEffectAtHero(nAttack, x, y, nValue, nAction);
    }
    void AddFlyingEffect(int nAttack, int x, int y, int nEffect, int tx, int ty, int nOwner, int nKind) override {
        pInner->AddFlyingEffect(nAttack, x, y, nEffect, tx, ty, nOwner, nKind);
    }
    void AddFlyingEffectFromHero(int tx, int ty, int nKind, int nAction, int nEffect, int nAttack) override {
        pInner->AddFlyingEffectFromHero(tx, ty, nKind, nAction, nEffect, nAttack);
    }
};

CFightCounter g_fight;
int g_nNpcId = -1;
bool g_bRun = false;
DWORD g_dwEnd = 60000;
long g_nFrame = 0;
// The wall words of the scene as first seen after each scene change (the heroes mark
// the cells they stand on), kept with the number of the scene they belong to. A scene
// change deletes the scene object and makes a new one, often at the same address, so
// the number is what tells the scenes apart.
int g_nWallsOf = -1;
std::vector<int> g_walls;

int MapWall(const CScene& scene, POINT cell) {
    if (g_nWallsOf != scene.nSceneNo || g_walls.size() != scene.pCells.size()) {
        g_nWallsOf = scene.nSceneNo;
        g_walls.clear();
        for (const SceneCell& c : scene.pCells) g_walls.push_back(c.nWall == 1 ? 1 : 0);
    }
    return scene.IsInGrid(cell.x, cell.y) ? g_walls[size_t(scene.CellIndex(cell.x, cell.y))] : -1;
}

void OnFrame() {
    ++g_nFrame;
    const DWORD dwNow = TimeGetTime();
    if (dwNow >= g_dwEnd && pFrame) pFrame->QuitGame();
    if (!pPlayer || !pScene || !pFrame || !pFrame->m_bInGame) return;
    CPlayer& hero = *pPlayer;
    if (g_bRun) hero.bMode[2] = 1;
    const POINT cell = pScene->PixelToCell(hero.ptPos.x, hero.ptPos.y);
    std::printf("%ld,%u,%d,%ld,%ld,%ld,%ld,%d,%d,%d,%d,%ld,%ld,%d,%d,%d,%d,%d,%d,%d,%d", g_nFrame, unsigned(dwNow),
                pScene->nSceneNo, long(hero.ptPos.x), long(hero.ptPos.y), long(cell.x), long(cell.y), hero.nAction,
                hero.nStamina, hero.WaypointCount(), MapWall(*pScene, cell), long(pScene->ptView.x),
                long(pScene->ptView.y), pMouse ? pMouse->m_nShape : -1, int(pScene->nHoverActorId), pFrame->nEventId,
                pFrame->CurrentScript, pFrame->GetGameMode(), pFrame->m_nCountdownSeconds, pFrame->m_nToolTipScene,
                hero.nMoney);
    if (g_nNpcId < 0) {
        std::printf("\n");
        return;
    }
    if (&FightHost() != &g_fight) {
        g_fight.pInner = &FightHost();
        SetFightHost(&g_fight);
    }
    const CNpc* pNpc = pScene->GetNpc(pScene->FindNpcById(g_nNpcId));
    int nItems = 0;
    for (int n : hero.nItemCount) nItems += n;
    std::printf(",%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d\n", pNpc ? int(pNpc->pState->nMapX) : -1,
                pNpc ? int(pNpc->pState->nMapY) : -1, pNpc ? int(pNpc->Life()) : -1, pNpc ? int(pNpc->Display()) : -1,
                pNpc ? pNpc->nAction : -1, hero.nLife, hero.nMoney, nItems, g_fight.nDecLife, g_fight.nLoot,
                g_fight.nLootMoney, int(pScene->nGroundItemCount));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: worldprobe DIR INPUT [--run] [--ms N] [--npc ID]\n");
        return 2;
    }
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--run") == 0) {
            g_bRun = true;
        } else if (std::strcmp(argv[i], "--npc") == 0 && i + 1 < argc) {
            g_nNpcId = int(std::strtol(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "--ms") == 0 && i + 1 < argc) {
            g_dwEnd = DWORD(std::strtoul(argv[++i], nullptr, 10));
        } else {
            std::fprintf(stderr, "worldprobe: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    std::error_code ec;
    const std::string strInput = std::filesystem::absolute(argv[2], ec).string();
    if (!std::filesystem::is_regular_file(strInput, ec)) {
        std::fprintf(stderr, "worldprobe: the input script %s cannot be read\n", argv[2]);
        return 1;
    }
    std::filesystem::current_path(argv[1], ec);
    if (ec) {
        std::fprintf(stderr, "worldprobe: the game folder %s cannot be entered\n", argv[1]);
        return 1;
    }
    setenv("GAME_HEADLESS", "1", 1);
    // Its own lock folder: a game running beside the probe does not stop it.
    std::string strLock = (std::filesystem::temp_directory_path() / "worldprobe.XXXXXX").string();
    if (!mkdtemp(strLock.data())) {
        std::fprintf(stderr, "worldprobe: no lock folder can be made\n");
        return 1;
    }
    setenv("XDG_RUNTIME_DIR", strLock.c_str(), 1);
    setenv("GAME_INPUT", strInput.c_str(), 1);
    std::printf("frame,ms,scene,x,y,cell_x,cell_y,action,stamina,waypoints,wall,view_x,view_y,cursor,hover,event,step,"
                "mode,countdown,tooltip,money%s\n",
                g_nNpcId >= 0 ? ",npc_x,npc_y,npc_life,npc_display,npc_action,life,money,items,declife,loot,loot_money,ground" : "");
    pfnFrameProbe = &OnFrame;
    CGameApp app;
    app.InitInstance();
    const int nCode = app.ExitInstance();
    pfnFrameProbe = nullptr;
    if (&FightHost() == &g_fight) SetFightHost(nullptr);
    std::filesystem::remove_all(strLock, ec);
    return nCode;
}
