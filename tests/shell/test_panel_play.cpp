// The character panels driven by input scripts, headless, with their screenshots probed.
// In the running main loop on the sample town with the sample game's panel pictures, the
// harness gives what the town's chest gives (the items, skills and tasks), then: W with
// the icons at their anchors; a potion moved and one drunk; S, the sword worn on the
// weapon box and taken off again; J, a skill on Y; T; TAB; ESC, the settings with both
// sliders dragged, OK. In the game binary on the whole sample game the same run starts
// from the title and the chest itself, the volumes of the settings are measured in the
// captured mix, and saves before and after wearing the sword are dumped by savetool.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "gamedata/PkgFile.h"
#include "gamedata/Tables.h"
#include "platform/Charset.h"
#include "platform/Stream.h"
#include "shell/SaveGameFile.h"
#include "shell/SceneLink.h"
#include "shell/ToolBarLink.h"
#include "shell/UiShellLink.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/ShellTestUtil.h"
#include "tests/shell/TownWolf.h"
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

bool NearProbe(const CShot& shot, int x, int y, const char* pszPicture) {
    const ToolBarProbe* p = FindPanelProbe(pszPicture);
    return p && shot.Near(x, y, PackRgb(p->r, p->g, p->b), 24);
}

// Centre of bag cell n (the item panel at (400, 10)).
std::string Cell(int n) {
    return std::to_string(400 + 27 + 32 * (n % 9) + 12) + " " + std::to_string(10 + 205 + 33 * (n / 9) + 15);
}

// Whether bag cell n shows an icon: a spot near its top left differs from the colour of
// an empty cell.
bool CellShowsIcon(const CShot& shot, int nCell, unsigned nEmpty) {
    const int x = 427 + 32 * (nCell % 9) + 8, y = 215 + 33 * (nCell / 9) + 8;
    return !shot.Near(x, y, nEmpty, 8);
}

// The task panel of "tasks.png" in a folder (path ending in "/"): the open task in
// green above, the closed one in red below; the town's 320-pixel map of "map.png" at
// x 560 with the heroine's marker.
void ExpectTasksAndMap(const std::string& strFolder) {
    CShot tasks(strFolder + "tasks.png"), map(strFolder + "map.png");
    ASSERT_TRUE(tasks.Read() && map.Read());
    EXPECT_TRUE(NearProbe(tasks, 420, 430, "TaskMenu_BKGound.tga"));
    EXPECT_GT(tasks.CountNear(RECT{435, 60, 655, 205}, PackRgb(0, 255, 0), 40), 20);
    EXPECT_GT(tasks.CountNear(RECT{482, 247, 710, 395}, PackRgb(255, 10, 10), 40), 20);
    EXPECT_GT(map.CountNear(RECT{560, 1, 800, 241}, PackRgb(60, 120, 70), 40), 1000);
    EXPECT_GT(map.CountNear(RECT{560, 1, 800, 241}, PackRgb(255, 40, 40), 40), 10);
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
        ASSERT_TRUE(OpenScreen());
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
    for (int nCell : {0, 2, 3}) EXPECT_TRUE(CellShowsIcon(bag, nCell, nEmpty)) << "no icon at cell " << nCell;
    EXPECT_FALSE(CellShowsIcon(bag, 6, nEmpty));
    // The potion moved to cell 20, one was drunk: life 40 -> 70, two potions left.
    // The life bar grew (the hero also regains life over the run).
    CShot potion(s + "potion.png");
    ASSERT_TRUE(potion.Read());
    const ToolBarProbe* pBlood = FindToolBarProbe("Blood.tga");
    ASSERT_NE(pBlood, nullptr);
    EXPECT_GT(potion.CountNear(RECT{8, 565, 90, 577}, PackRgb(pBlood->r, pBlood->g, pBlood->b), 40),
              bag.CountNear(RECT{8, 565, 90, 577}, PackRgb(pBlood->r, pBlood->g, pBlood->b), 40) + 100);
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
    ExpectTasksAndMap(s);
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

// An input script built in time order: lines at virtual-clock times.
class CInputScript {
public:
    void At(int t, const std::string& strWhat) { m_text += std::to_string(t) + " " + strWhat + "\n"; }
    // Whole lines of a script written elsewhere.
    void Lines(const std::string& strLines) { m_text += strLines; }
    // The cursor at "x y" at t, the button pressed 100 ms and released 140 ms later.
    void Click(int t, const std::string& strAt, const char* pszButton = "lbutton") {
        At(t, "move " + strAt);
        At(t + 100, std::string(pszButton) + " down " + strAt);
        At(t + 140, std::string(pszButton) + " up " + strAt);
    }
    void Click(int t, int x, int y, const char* pszButton = "lbutton") {
        Click(t, std::to_string(x) + " " + std::to_string(y), pszButton);
    }
    // Pressed at x0 50 ms after t, moved along row y to x1, released there at t + 200.
    void Drag(int t, int x0, int y, int x1) {
        const std::string row = " " + std::to_string(y);
        At(t, "move " + std::to_string(x0) + row);
        At(t + 50, "lbutton down " + std::to_string(x0) + row);
        At(t + 100, "move " + std::to_string((x0 + x1) / 2) + row);
        At(t + 150, "move " + std::to_string(x1) + row);
        At(t + 200, "lbutton up " + std::to_string(x1) + row);
    }
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

// The mixed output a headless run wrote (GAME_AUDIO_WAV): 16-bit stereo at 44100 Hz,
// whose frame n was mixed for the game clock's millisecond n / 44.1 of the run.
class CCapture {
public:
    static constexpr int kRate = 44100;
    bool Read(const std::string& strPath, std::string* pWhy) {
        std::vector<std::uint8_t> bytes;
        if (!ReadWholeFile(strPath.c_str(), size_t(1) << 30, &bytes, pWhy)) return false;
        CByteReader in(bytes, strPath);
        char riff[4] = {}, wave[4] = {};
        std::uint32_t nSize = 0;
        in.SetContext("header");
        if (!in.ReadBytes(riff, 4) || !in.ReadU32(&nSize) || !in.ReadBytes(wave, 4) || std::string(riff, 4) != "RIFF" ||
            std::string(wave, 4) != "WAVE")
            return Fail(in, "not a RIFF WAVE file", pWhy);
        bool bFormat = false;
        while (in.Remaining() >= 8) {
            char id[4] = {};
            std::uint32_t nChunk = 0;
            in.SetContext("chunk header");
            in.ReadBytes(id, 4);
            in.ReadU32(&nChunk);
            const std::string strId(id, 4);
            if (strId == "fmt ") {
                std::uint16_t nTag = 0, nChannels = 0, nAlign = 0, nBits = 0;
                std::uint32_t nRate = 0, nBytesPerSec = 0;
                in.SetContext("format chunk");
                in.ReadU16(&nTag), in.ReadU16(&nChannels), in.ReadU32(&nRate), in.ReadU32(&nBytesPerSec);
                in.ReadU16(&nAlign), in.ReadU16(&nBits);
                if (in.Failed()) return Fail(in, "", pWhy);
                if (nTag != 1 || nChannels != 2 || nRate != kRate || nBits != 16)
                    return Fail(in, "not 16-bit stereo PCM at 44100 Hz", pWhy);
                if (nChunk > 16 && !in.Skip(nChunk - 16)) return Fail(in, "", pWhy);
                bFormat = true;
            } else if (strId == "data") {
                in.SetContext("data chunk");
                if (!bFormat) return Fail(in, "data before the format", pWhy);
                if (!in.CheckCount(nChunk / 4, 4, "frames")) return Fail(in, "", pWhy);
                std::vector<std::uint8_t> data;
                m_samples.resize(size_t(nChunk / 4) * 2);
                data.resize(m_samples.size() * 2);
                if (!in.ReadBytes(data.data(), data.size())) return Fail(in, "", pWhy);
                for (size_t i = 0; i < m_samples.size(); ++i)
                    m_samples[i] = std::int16_t(std::uint16_t(data[2 * i] | data[2 * i + 1] << 8));
                return true;
            } else if (!in.Skip(nChunk)) {
                return Fail(in, "", pWhy);
            }
        }
        return Fail(in, "no data chunk", pWhy);
    }
    int LengthMs() const { return int(m_samples.size() / 2 * 1000 / kRate); }
    // The interleaved frames of [nFromMs, nToMs), cut to what was captured.
    std::vector<std::int16_t> Window(int nFromMs, int nToMs) const {
        const size_t nFrames = m_samples.size() / 2;
        const size_t a = std::min(nFrames, size_t(nFromMs) * kRate / 1000), b = std::min(nFrames, size_t(nToMs) * kRate / 1000);
        return std::vector<std::int16_t>(m_samples.begin() + long(2 * a), m_samples.begin() + long(2 * std::max(a, b)));
    }
    // The median of the left channel's level over the 100 ms blocks of a window: a tune's
    // steady notes, unmoved by its short gaps and a stray click.
    double MedianBlockRms(int nFromMs, int nToMs) const {
        std::vector<double> levels;
        for (int t = nFromMs; t + 100 <= nToMs; t += 100) levels.push_back(mediatest::Rms(Window(t, t + 100)));
        if (levels.empty()) return 0;
        std::nth_element(levels.begin(), levels.begin() + long(levels.size() / 2), levels.end());
        return levels[levels.size() / 2];
    }
    // The largest magnitude of either channel in a window.
    int Peak(int nFromMs, int nToMs) const {
        int n = 0;
        for (std::int16_t v : Window(nFromMs, nToMs)) n = std::max(n, std::abs(int(v)));
        return n;
    }

private:
    static bool Fail(const CByteReader& in, const char* pszWhat, std::string* pWhy) {
        *pWhy = in.Failed() ? in.Error() : pszWhat;
        return false;
    }
    std::vector<std::int16_t> m_samples;
};

double Decibels(double dLouder, double dQuieter) { return 20.0 * std::log10(dLouder / dQuieter); }

// Sets an environment variable for the programs the test starts, and takes it back.
class CEnvironmentGuard {
public:
    CEnvironmentGuard(const char* pszName, const std::string& strValue) : m_pszName(pszName) {
        setenv(pszName, strValue.c_str(), 1);
    }
    ~CEnvironmentGuard() { unsetenv(m_pszName); }

private:
    const char* m_pszName;
};

// The controlled hero of a save as savetool dumps it: attack, equipment slots and the
// bag's counts.
struct HeroDump {
    bool bRead = false;
    std::string strError;
    int nAttack = -1;
    int nEquip[6] = {-2, -2, -2, -2, -2, -2};
    std::map<int, int> items;
};

HeroDump DumpHero(const std::string& strFolder, const std::string& strSave) {
    HeroDump dump;
    const ProgramRun run = RunProgramIn(strFolder, kSaveTool, {"dump", strSave}, "/dev/null");
    if (!run.bExited || run.nCode != 0) {
        dump.strError = strSave + ": " + run.strErr;
        return dump;
    }
    std::istringstream in(run.strOut);
    std::string line;
    bool bHero = false;
    while (std::getline(in, line)) {
        if (line.rfind("  ", 0) != 0) {
            bHero = line.rfind("controlled hero record", 0) == 0;
            continue;
        }
        if (!bHero) continue;
        int nItem = 0, nCount = 0;
        if (const size_t at = line.find(" attack "); at != std::string::npos && line.find("position") != std::string::npos)
            dump.nAttack = std::atoi(line.c_str() + at + 8);
        if (std::sscanf(line.c_str(), "  equipment %d %d %d %d %d %d", &dump.nEquip[0], &dump.nEquip[1], &dump.nEquip[2],
                        &dump.nEquip[3], &dump.nEquip[4], &dump.nEquip[5]) == 6)
            dump.bRead = true;
        if (std::sscanf(line.c_str(), "  item %d x%d", &nItem, &nCount) == 2) dump.items[nItem] = nCount;
    }
    if (!dump.bRead) dump.strError = strSave + ": no hero record in the dump";
    return dump;
}

// The sample game played by the game binary: new game, three walks to the town's chest
// and its talk read; a walk to a wolf put into the town, whose bites leave her hurt; W, a potion moved
// and one drunk; the wolf struck dead; S, the sword worn, taken off and worn again; J, a
// skill put on Y; T; TAB; ESC, the settings, both sliders dragged while the mixed output
// is captured, OK; saves before and after wearing the sword, dumped by savetool.
TEST(PanelPlayGame, ChestPanelsHeardVolumesAndTheSavedSword) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kGame, &kSaveTool}));
    CTempFolder folder("panelgame");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    ASSERT_TRUE(PutWolfInTown(strGame));
    const std::string strRun = folder.Path() + "/run";
    std::filesystem::create_directories(strRun);
    auto shot = [&](const char* pszName) { return "shot " + strRun + "/" + pszName; };

    CInputScript script;
    // The title's new game; around the wall's north end, east along the road, south to
    // the chest past the way out to the grove (the view stops at (410, 360)); its three
    // talk lines read.
    script.Lines(kNewGame);
    script.Click(9500, 796, 192);
    script.Click(11000, 760, 429);
    script.Click(12500, 760, 481);
    script.Click(14000, 790, 470);
    for (int t = 15000; t <= 17000; t += 500) script.At(t, "key press SPACE");
    // West to the wolf's reach: it comes to the cell below her (screen 502, 488) and bites.
    script.Click(17500, 502, 456);
    // The bag with the icons at their anchors; the other page; a potion from cell 2 to
    // 20; a right click drinks the one in cell 0.
    constexpr int kBag = 27000;
    script.At(kBag, "move 300 300");
    script.At(kBag + 100, "key press W");
    script.At(kBag + 400, shot("bag.png"));
    script.Click(kBag + 500, 719, 285);
    script.Click(kBag + 800, Cell(2));
    script.Click(kBag + 1100, Cell(20));
    script.At(kBag + 1350, shot("before.png"));
    script.Click(kBag + 1400, Cell(0), "rbutton");
    script.At(kBag + 1700, shot("potion.png"));
    script.At(kBag + 1800, "key press W");
    for (int k = 0; k < 4; ++k) script.Click(kBag + 2000 + 700 * k, 500, 480);
    // A save in row 2 before the sword is worn (the system menu at (400, 10), its save
    // button, the row, OK).
    constexpr int kSaveBare = 32000;
    script.At(kSaveBare, "key press ESC");
    script.Click(kSaveBare + 300, 500, 85);
    script.Click(kSaveBare + 900, 236, 226);
    script.Click(kSaveBare + 1500, 215, 370);
    // The equipment page and the state panel: the sword onto the weapon box, off, on.
    constexpr int kState = 35000;
    const std::string strWeaponBox = "195 380";
    script.At(kState, "move 300 300");
    script.At(kState + 100, "key press W");
    script.Click(kState + 200, 719, 250);
    script.At(kState + 500, "key press S");
    script.Click(kState + 600, Cell(0));
    script.Click(kState + 900, strWeaponBox);
    script.At(kState + 1150, shot("worn.png"));
    script.Click(kState + 1200, strWeaponBox);
    script.At(kState + 1450, shot("off.png"));
    script.Click(kState + 1500, strWeaponBox);
    script.At(kState + 1750, shot("worn2.png"));
    // Skills: the first slot, then Y; the tasks; the map; ESC closes the state panel,
    // ESC again opens the system menu, whose settings button opens the settings.
    script.At(kState + 1800, "key press W");
    script.At(kState + 1900, "key press J");
    script.Click(kState + 2000, 475, 237);
    script.At(kState + 2300, shot("selected.png"));
    script.At(kState + 2400, "key press Y");
    script.At(kState + 2600, shot("skills.png"));
    script.At(kState + 2700, "key press J");
    script.At(kState + 2800, "key press T");
    script.At(kState + 3000, shot("tasks.png"));
    script.At(kState + 3100, "key press T");
    script.At(kState + 3200, "key press TAB");
    script.At(kState + 3400, shot("map.png"));
    script.At(kState + 3500, "key press TAB");
    script.At(kState + 3600, "key press ESC");
    script.At(kState + 3700, "key press ESC");
    script.Click(kState + 3800, 500, 270);
    script.At(kState + 4100, shot("settings.png"));
    // The sliders of the panel at (40, 10): music (row 98) to 10, 5 and 0, each held
    // 4 s; the effects (row 188) to 10 and to 1, each sounding the click twice: once on
    // the drag's release, once on a click where the knob stays.
    constexpr int kMusic10 = 40000, kMusic5 = kMusic10 + 4000, kMusic0 = kMusic5 + 4000;
    constexpr int kEffects10 = kMusic0 + 3000, kEffects1 = kEffects10 + 3000;
    script.Drag(kMusic10, 210, 98, 305);
    script.Drag(kMusic5, 305, 98, 210);
    script.Drag(kMusic0, 210, 98, 125);
    script.Drag(kEffects10, 210, 188, 305);
    script.Click(kEffects10 + 1400, 305, 188);
    script.Drag(kEffects1, 305, 188, 135);
    script.Click(kEffects1 + 1400, 135, 188);
    const int nClickAt[4] = {kEffects10 + 200, kEffects10 + 1540, kEffects1 + 200, kEffects1 + 1540};
    constexpr int kOk = kEffects1 + 3000;
    script.At(kOk - 200, shot("dragged.png"));
    script.Click(kOk, 130, 367);
    script.At(kOk + 400, shot("closed.png"));
    // With the settings closed ESC opens the system menu at once: save in row 3.
    constexpr int kSave = kOk + 1000;
    script.At(kSave, "key press ESC");
    script.Click(kSave + 300, 500, 85);
    script.Click(kSave + 900, 236, 296);
    script.Click(kSave + 1500, 215, 370);
    script.At(kSave + 2700, "close");

    const std::string strScript = strRun + "/input.txt", strWav = strRun + "/mix.wav";
    std::ofstream(strScript) << script.Text();
    ProgramRun run;
    {
        CEnvironmentGuard wav("GAME_AUDIO_WAV", strWav);
        run = RunProgramIn(strGame, kGame, {}, strScript);
    }
    ASSERT_TRUE(run.bExited) << run.strErr;
    ASSERT_EQ(run.nCode, 0) << run.strErr;

    CShot bag(strRun + "/bag.png"), before(strRun + "/before.png"), potion(strRun + "/potion.png");
    ASSERT_TRUE(bag.Read() && before.Read() && potion.Read());
    // The bag's picture; the icons of the shoes (anchor 0, over the 3 x 2 cells they take,
    // so 1 too) and the gems (2, 3); cell 4 is empty.
    EXPECT_TRUE(NearProbe(bag, 420, 430, "ItemMenu_BKGround.tga"));
    const unsigned nEmpty = bag.Pixel(427 + 32 * 5 + 12, 215 + 15);
    for (int nCell : {0, 1, 2, 3}) EXPECT_TRUE(CellShowsIcon(bag, nCell, nEmpty)) << "no icon at cell " << nCell;
    EXPECT_FALSE(CellShowsIcon(bag, 4, nEmpty));
    // The potions' page: the one from cell 2 lies at 20, the one of cell 0 was drunk and
    // the life bar grew.
    const unsigned nEmptyOther = potion.Pixel(427 + 32 * 5 + 12, 215 + 15);
    EXPECT_TRUE(CellShowsIcon(potion, 20, nEmptyOther));
    EXPECT_TRUE(CellShowsIcon(potion, 1, nEmptyOther));
    EXPECT_FALSE(CellShowsIcon(potion, 2, nEmptyOther));
    EXPECT_FALSE(CellShowsIcon(potion, 0, nEmptyOther));
    const ToolBarProbe* pBlood = FindToolBarProbe("Blood.tga");
    ASSERT_NE(pBlood, nullptr);
    const RECT rcLifeBar{8, 565, 90, 577};
    EXPECT_GT(potion.CountNear(rcLifeBar, PackRgb(pBlood->r, pBlood->g, pBlood->b), 40),
              before.CountNear(rcLifeBar, PackRgb(pBlood->r, pBlood->g, pBlood->b), 40) + 60);

    // The sword on the weapon box, off and on again: the box and the attack row (the
    // state panel at (40, 10)) change with it and come back alike.
    CShot worn(strRun + "/worn.png"), off(strRun + "/off.png"), worn2(strRun + "/worn2.png");
    ASSERT_TRUE(worn.Read() && off.Read() && worn2.Read());
    EXPECT_TRUE(NearProbe(worn, 60, 430, "StateMenu_BKGround.tga"));
    const RECT rcWeapon{165, 345, 197, 377}, rcAttack{255, 140, 355, 164};
    auto differ = [](const CShot& a, const CShot& b, RECT rc) {
        return a.Differences(b, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    };
    EXPECT_GT(differ(worn, off, rcWeapon), 100);
    EXPECT_GT(differ(worn, off, rcAttack), 10);
    EXPECT_EQ(differ(worn, worn2, rcWeapon), 0);
    EXPECT_EQ(differ(worn, worn2, rcAttack), 0);
    EXPECT_EQ(differ(off, bag, RECT{rcAttack.left + 360, rcAttack.top, rcAttack.right + 360, rcAttack.bottom}), 0)
        << "taken off, the attack is the bag's again";

    // The selected skill got its key picture from Y.
    CShot selected(strRun + "/selected.png"), skills(strRun + "/skills.png");
    ASSERT_TRUE(selected.Read() && skills.Read());
    EXPECT_TRUE(NearProbe(skills, 420, 430, "SkillMenu_BKGround.tga"));
    EXPECT_GT(differ(skills, selected, RECT{455, 215, 510, 270}), 20);
    ExpectTasksAndMap(strRun + "/");
    // The settings: the knobs at notches 5 and 5, dragged to 0 and 1; OK closed them.
    CShot settings(strRun + "/settings.png"), dragged(strRun + "/dragged.png"), closed(strRun + "/closed.png");
    ASSERT_TRUE(settings.Read() && dragged.Read() && closed.Read());
    EXPECT_TRUE(NearProbe(settings, 60, 430, "SysSetMenu_BKGround.tga"));
    auto knobAt = [](const CShot& shot, int nRow, int nNotch) {
        return NearProbe(shot, 40 + 68 + 19 * nNotch + 12, 10 + 78 + 90 * nRow + 9, "ButterFly.tga");
    };
    EXPECT_TRUE(knobAt(settings, 0, 5) && knobAt(settings, 1, 5));
    EXPECT_TRUE(knobAt(dragged, 0, 0) && knobAt(dragged, 1, 1));
    EXPECT_FALSE(knobAt(dragged, 0, 5));
    EXPECT_FALSE(NearProbe(closed, 60, 430, "SysSetMenu_BKGround.tga"));

    // What was heard. The tune at music 5 is 6 dB below music 10, and music 0 is silent;
    // the click at effects 1 is 18 dB below effects 10. Each window keeps 500 ms clear of
    // the changes, so the mixer's lag behind the game clock stays outside.
    CCapture mix;
    std::string strWhy;
    ASSERT_TRUE(mix.Read(strWav, &strWhy)) << strWhy;
    ASSERT_GE(mix.LengthMs(), kOk) << "the capture ended early";
    const double dMusic10 = mix.MedianBlockRms(kMusic10 + 700, kMusic5 - 300);
    const double dMusic5 = mix.MedianBlockRms(kMusic5 + 700, kMusic0 - 300);
    ASSERT_GT(dMusic5, 500.0) << "no music at 5";
    EXPECT_NEAR(Decibels(dMusic10, dMusic5), 6.0, 0.3);
    // Slider 1 at 5 is the volume the game starts with (50), heard while the chest talks.
    EXPECT_NEAR(Decibels(dMusic5, mix.MedianBlockRms(15000, 17000)), 0.0, 0.3);
    EXPECT_EQ(mix.Peak(kMusic0 + 700, kEffects10 - 300), 0) << "music 0 is not silent";
    double dClicks[4];
    for (int k = 0; k < 4; ++k) {
        dClicks[k] = mediatest::Rms(mix.Window(nClickAt[k] - 500, nClickAt[k] + 700));
        ASSERT_GT(dClicks[k], 1.0) << "click " << k << " unheard";
    }
    EXPECT_NEAR(Decibels(dClicks[0], dClicks[1]), 0.0, 0.1);
    EXPECT_NEAR(Decibels(dClicks[2], dClicks[3]), 0.0, 0.1);
    EXPECT_NEAR(Decibels(dClicks[0], dClicks[2]), 18.0, 0.3);
    EXPECT_NEAR(Decibels(dClicks[1], dClicks[3]), 18.0, 0.3);

    // The saves: before, the sword in the bag; after, on the weapon box (the fifth
    // equipment slot) with the attack higher. Every count is the chest's, less the
    // potion drunk, and the sword is counted once, in the bag or worn.
    const HeroDump bare = DumpHero(strRun, strGame + "/" + SaveFileName(2).replace(4, 1, "/"));
    const HeroDump armed = DumpHero(strRun, strGame + "/" + SaveFileName(3).replace(4, 1, "/"));
    ASSERT_TRUE(bare.bRead && armed.bRead) << bare.strError << armed.strError;
    EXPECT_EQ(bare.nEquip[4], -1);
    EXPECT_EQ(armed.nEquip[4], kSword);
    EXPECT_GT(armed.nAttack, bare.nAttack);
    const std::map<int, int> chest{{kPotion, 2}, {kArmour, 1}, {kShoes, 1}, {kGem, 2}, {kLetter, 1}};
    std::map<int, int> bareBag = chest, armedBag = chest;
    bareBag[kSword] = 1;
    EXPECT_EQ(bare.items, bareBag);
    EXPECT_EQ(armed.items, armedBag);
}

}  // namespace
