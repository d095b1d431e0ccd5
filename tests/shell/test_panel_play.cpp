// The character panels in the running main loop, headless, on the sample town with the
// sample game's panel pictures, driven by an input script whose screenshots are probed.
// The harness gives what the town's chest gives (the items, skills and tasks), then:
// W with the icons at their anchors; a potion moved and one drunk; S, the sword worn on
// the weapon box and taken off again; J, a skill on Y; T; TAB; ESC, the settings with
// both sliders dragged, OK.
#include <cstdio>
#include <memory>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "gamedata/PkgFile.h"
#include "gamedata/Tables.h"
#include "platform/Charset.h"
#include "shell/SceneLink.h"
#include "shell/ToolBarLink.h"
#include "shell/UiShellLink.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/ShellTestUtil.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/SampleScenes.h"
#include "tools/mkgame/SampleMenus.h"
#include "tools/mkgame/SampleToolBar.h"
#include "tools/mkgame/SamplePanels.cpp"  // the panel pictures live in the mkgame tool
#include "ui/menus/MenuPanel.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

// The sample game's item numbers of the chest.
constexpr int kPotion = 1, kSword = 12, kArmour = 20, kShoes = 31, kGem = 40, kLetter = 62;

bool NearRgb(unsigned rgb, int r, int g, int b, int nTolerance = 24) {
    return std::abs(int(rgb >> 16 & 0xFF) - r) <= nTolerance && std::abs(int(rgb >> 8 & 0xFF) - g) <= nTolerance &&
           std::abs(int(rgb & 0xFF) - b) <= nTolerance;
}

bool NearProbe(const CShot& shot, int x, int y, const char* pszPicture) {
    const ToolBarProbe* p = FindPanelProbe(pszPicture);
    return p && NearRgb(shot.Pixel(x, y), p->r, p->g, p->b);
}

// Pixels of a rectangle whose colour is near the given one.
int CountNear(const CShot& shot, RECT rc, int r, int g, int b) {
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) n += NearRgb(shot.Pixel(x, y), r, g, b, 40);
    return n;
}

class PanelPlay : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        pFrame->m_nScreenWidth = 800;
        Menus().m_nGameMode = 3;
        std::string why;
        ASSERT_TRUE(WriteSampleScenes(folder.Path(), &why)) << why;
        SamplePictureOptions options;
        options.sculpts = {0, 1};
        options.nActions = 1;
        options.nEffects = 1;
        options.nEffectFrames = 1;
        options.nFaceCount = 1;
        options.extraEntries["menu.pkg"] = MenuContentEntries("menu.pkg");
        for (PkgEntryData& e : ToolBarContentEntries()) options.extraEntries["menu.pkg"].push_back(std::move(e));
        for (PkgEntryData& e : PanelContentEntries()) options.extraEntries["menu.pkg"].push_back(std::move(e));
        ASSERT_TRUE(WriteSamplePictures(folder.Path(), options, &why)) << why;
        SetCurrentDirectory(folder.Path().c_str());
        OpenScreen();
        const std::string strPkg = folder.Path() + "/bmp/menu.pkg";
        m_pkg = std::make_unique<CPkgFile>(strPkg.c_str());
        ASSERT_TRUE(m_pkg->OpenPath(strPkg.c_str())) << m_pkg->GetError();
        SetMenuPackage(m_pkg.get());
        BuildTables();
        std::snprintf(m_data.szGamePath, sizeof m_data.szGamePath, "%s", folder.Path().c_str());
        pGameData = &m_data;
        pBitmapData = new CBitmapData;
        ASSERT_TRUE(pBitmapData->OpenPackages()) << pBitmapData->GetError();
        SetCurrentDirectory(folder.Path().c_str());
        ASSERT_TRUE(MakeScene(0, &why)) << why;
        pPlayer = new CPlayer;
        pPlayer->nLifeMax = 80;
        pPlayer->nLife = 40;
        pPlayer->nManaMax = pPlayer->nMana = 80;
        pPlayer->nWalkStep = 8;
        pPlayer->SetMapPos(640, 480);
        SetUiShell(&m_uiLink);
        InstallToolBarLinks();
        PanelLink().CreatePanels();
        ASSERT_NE(pFrame->m_pToolBar, nullptr);
    }
    void TearDown() override {
        RemoveToolBarLinks();
        SetUiShell(nullptr);
        FrameTest::TearDown();
        delete pPlayer;
        pPlayer = nullptr;
        pGameData = nullptr;
        delete pBitmapData;
        pBitmapData = nullptr;
        SetMenuPackage(nullptr);
        m_pkg.reset();
        delete pScreen;
        pScreen = nullptr;
        pBack = nullptr;
        SetSceneHost(nullptr);
    }
    // The sample game's rows that the chest touches.
    void BuildTables() {
        m_items.resize(100);
        auto item = [&](int n, int nType, int nShape) -> ItemRow& {
            m_items[size_t(n)].nType = nType;
            m_items[size_t(n)].nGirdNum = nShape;
            for (auto& b : m_items[size_t(n)].bFit) b = 1;
            return m_items[size_t(n)];
        };
        for (auto& row : m_items) row.ClearBagTables();
        item(kPotion, 1, 0).nLife = 30;
        item(kSword, 7, 1).nAttack = 8;
        item(kArmour, 4, 1).nDefence = 6;
        item(kShoes, 2, 1);
        item(kGem, 8, 0);
        item(kLetter, 99, 0);
        m_data.pItem = m_items.data();
        m_data.nItemCount = 100;
        m_skills.resize(51);
        for (size_t k = 0; k < m_skills.size(); ++k) m_skills[k].nType = k == 2 || k == 5 || k == 8 ? 0 : 33;
        m_levels.resize(51);
        m_data.pSkill = m_skills.data();
        m_data.pSkillLevel = m_levels.data();
        m_data.nSkillCount = 51;
        m_taskTexts = {Utf8ToText("到镇上的悦来客栈打听消息。"), Utf8ToText("把师父的书信交给江边渡口的船夫。")};
        m_tasks.resize(8);
        m_tasks[0].pDescription = m_taskTexts[0].c_str();
        m_tasks[1].pDescription = m_taskTexts[1].c_str();
        m_data.pTask = m_tasks.data();
        m_data.nTaskCount = 8;
    }
    // What the chest gives.
    void OpenChest() {
        CGameToolBar* pBar = pFrame->m_pToolBar;
        for (int n : {kSword, kArmour, kShoes, kGem, kGem, kPotion, kPotion, kPotion, kLetter})
            ASSERT_EQ(pBar->AddItemToBag(n), 1) << n;
        for (int k : {2, 5, 8}) pPlayer->nSkillKnown[k] = 1;
        for (int& t : pPlayer->nTaskState) t = -1;
        pPlayer->nTaskState[0] = 1;
        pPlayer->nTaskState[1] = 0;
        for (int& k : pPlayer->nHotKey) k = -1;
    }
    void Run(DWORD dwMs) {
        const DWORD dwStart = TimeGetTime();
        while (pFrame->m_bRunning && TimeGetTime() - dwStart < dwMs) pFrame->RunOnePass();
    }

    CBaseFolderGuard guard;
    CTempFolder folder;
    CShellUiLink m_uiLink;
    std::unique_ptr<CPkgFile> m_pkg;
    CGameData m_data;
    std::vector<ItemRow> m_items;
    std::vector<SkillRow> m_skills;
    std::vector<SkillLevelRow> m_levels;
    std::vector<TaskRow> m_tasks;
    std::vector<std::string> m_taskTexts;
};

// Centre of bag cell n (the item panel at (400, 10)).
std::string Cell(int n) {
    return std::to_string(400 + 27 + 32 * (n % 9) + 12) + " " + std::to_string(10 + 205 + 33 * (n / 9) + 15);
}

TEST_F(PanelPlay, ChestBagStateSkillsTasksMapAndSettings) {
    OpenChest();
    const std::string s = folder.Path() + "/";
    const std::string strWeaponBox = "195 380";  // state panel box 4
    std::string script =
        "0 move 300 300\n"
        "100 key press W\n"
        "400 shot " + s + "bag.png\n"
        // The other page: potions in cells 0..2, the letter in 3.
        "500 move 719 285\n"
        "600 lbutton down 719 285\n"
        "620 lbutton up 719 285\n"
        "800 move " + Cell(2) + "\n"
        "900 lbutton down " + Cell(2) + "\n"
        "920 lbutton up " + Cell(2) + "\n"
        "1000 move " + Cell(20) + "\n"
        "1100 lbutton down " + Cell(20) + "\n"
        "1120 lbutton up " + Cell(20) + "\n"
        "1200 move " + Cell(0) + "\n"
        "1300 rbutton down " + Cell(0) + "\n"
        "1320 rbutton up " + Cell(0) + "\n"
        "1500 shot " + s + "potion.png\n"
        // The equipment page; the state panel; the sword onto the weapon box and back.
        "1600 move 719 250\n"
        "1700 lbutton down 719 250\n"
        "1720 lbutton up 719 250\n"
        "1800 key press S\n"
        "1900 move " + Cell(0) + "\n"
        "2000 lbutton down " + Cell(0) + "\n"
        "2020 lbutton up " + Cell(0) + "\n"
        "2100 move " + strWeaponBox + "\n"
        "2200 lbutton down " + strWeaponBox + "\n"
        "2220 lbutton up " + strWeaponBox + "\n"
        "2400 shot " + s + "worn.png\n"
        "2500 lbutton down " + strWeaponBox + "\n"
        "2520 lbutton up " + strWeaponBox + "\n"
        "2600 move " + Cell(0) + "\n"
        "2700 lbutton down " + Cell(0) + "\n"
        "2720 lbutton up " + Cell(0) + "\n"
        // Skills: J after closing the bag, the first slot, Y.
        "2800 key press W\n"
        "2900 key press J\n"
        "3000 move 475 237\n"
        "3100 lbutton down 475 237\n"
        "3120 lbutton up 475 237\n"
        "3200 key press Y\n"
        "3400 shot " + s + "skills.png\n"
        "3500 key press J\n"
        "3600 key press T\n"
        "3800 shot " + s + "tasks.png\n"
        "3900 key press T\n"
        "4000 key press TAB\n"
        "4200 shot " + s + "map.png\n"
        "4300 key press TAB\n"
        // ESC closes the state panel, ESC again opens the system menu; its settings.
        "4400 key press ESC\n"
        "4500 key press ESC\n"
        "4600 move 500 270\n"
        "4700 lbutton down 500 270\n"
        "4720 lbutton up 500 270\n"
        "4900 shot " + s + "settings.png\n"
        "5000 lbutton down 120 98\n"
        "5050 move 246 98\n"
        "5100 lbutton up 246 98\n"
        "5200 lbutton down 260 188\n"
        "5250 move 151 188\n"
        "5300 lbutton up 151 188\n"
        "5400 move 130 367\n"
        "5500 lbutton down 130 367\n"
        "5520 lbutton up 130 367\n"
        "5700 shot " + s + "closed.png\n";
    ASSERT_EQ(LoadInputScriptText(script, "panel play"), 0);
    const int nAttack = pPlayer->nAttack;
    Run(6000);

    // The bag: background, the shoes' icon at anchor 0 and the gems at 2 and 3.
    CShot bag(s + "bag.png");
    ASSERT_TRUE(bag.Read());
    EXPECT_TRUE(NearProbe(bag, 420, 430, "ItemMenu_BKGround.tga"));
    // Cell 5 stays empty; the anchors of the shoes (0) and of the gems (2, 3) show icons.
    const unsigned nEmpty = bag.Pixel(427 + 32 * 5 + 12, 215 + 15);
    for (int nCell : {0, 2, 3}) {
        const int x = 427 + 32 * (nCell % 9) + 8, y = 215 + 33 * (nCell / 9) + 8;
        EXPECT_FALSE(NearRgb(bag.Pixel(x, y), int(nEmpty >> 16), int(nEmpty >> 8 & 0xFF), int(nEmpty & 0xFF), 8))
            << "no icon at cell " << nCell;
    }
    EXPECT_TRUE(NearRgb(bag.Pixel(427 + 32 * 6 + 12, 215 + 15), int(nEmpty >> 16), int(nEmpty >> 8 & 0xFF),
                        int(nEmpty & 0xFF), 8));
    // The potion moved to cell 20, one was drunk: life 40 -> 70, two potions left.
    // The life bar grew (the hero also regains life over the run).
    CShot potion(s + "potion.png");
    ASSERT_TRUE(potion.Read());
    const ToolBarProbe* pBlood = FindToolBarProbe("Blood.tga");
    ASSERT_NE(pBlood, nullptr);
    EXPECT_GT(CountNear(potion, RECT{8, 565, 90, 577}, pBlood->r, pBlood->g, pBlood->b),
              CountNear(bag, RECT{8, 565, 90, 577}, pBlood->r, pBlood->g, pBlood->b) + 100);
    EXPECT_GE(pPlayer->nLife, 70);
    EXPECT_EQ(pPlayer->nItemCount[kPotion], 2);
    EXPECT_EQ(m_items[kPotion].nBagCell[0][20], 20);
    // The sword was worn (attack rose: the shot) and taken off again into the bag.
    CShot worn(s + "worn.png");
    ASSERT_TRUE(worn.Read());
    EXPECT_TRUE(NearProbe(worn, 60, 430, "StateMenu_BKGround.tga"));
    EXPECT_EQ(*pPlayer->EquipSlot(4), -1);
    EXPECT_EQ(pPlayer->nAttack, nAttack);
    EXPECT_EQ(pPlayer->nItemCount[kSword], 1);
    EXPECT_EQ(pMouse->m_nCarriedItem, -1);
    // The skill on Y.
    EXPECT_EQ(pPlayer->nHotKey[0], 2);
    CShot skills(s + "skills.png");
    ASSERT_TRUE(skills.Read());
    EXPECT_TRUE(NearProbe(skills, 420, 430, "SkillMenu_BKGround.tga"));
    // The tasks: green text above, red below.
    CShot tasks(s + "tasks.png");
    ASSERT_TRUE(tasks.Read());
    EXPECT_TRUE(NearProbe(tasks, 420, 430, "TaskMenu_BKGound.tga"));
    EXPECT_GT(CountNear(tasks, RECT{435, 60, 655, 205}, 0, 255, 0), 20);
    EXPECT_GT(CountNear(tasks, RECT{482, 247, 710, 395}, 255, 10, 10), 20);
    // The map: a 320-pixel picture sits at 560.
    CShot map(s + "map.png");
    ASSERT_TRUE(map.Read());
    EXPECT_GT(CountNear(map, RECT{560, 1, 800, 241}, 60, 120, 70), 1000);
    EXPECT_GT(CountNear(map, RECT{560, 1, 800, 241}, 255, 40, 40), 10);
    // The settings: both sliders dragged, then OK.
    CShot settings(s + "settings.png");
    ASSERT_TRUE(settings.Read());
    EXPECT_TRUE(NearProbe(settings, 60, 430, "SysSetMenu_BKGround.tga"));
    EXPECT_EQ(pFrame->m_nMusicVolume, 70);
    EXPECT_EQ(pFrame->m_nSoundVolume, 84);
    CShot closed(s + "closed.png");
    ASSERT_TRUE(closed.Read());
    EXPECT_FALSE(NearProbe(closed, 60, 430, "SysSetMenu_BKGround.tga"));
}

}  // namespace
