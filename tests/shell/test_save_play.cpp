// Saved games in the sample game, played headless by input scripts with the game
// binary: a new game walked and saved into slot 3 through ESC's system menu (its row's
// date and clock shown whole), loaded by a second run from the title's load button; a
// cut copy in slot 4 refused with a notice while the running game stays; the save
// dumped by savetool; a save from another writer loaded from the title, and a refused
// one answered there by one notice; damaged saves refused by savetool with the field
// and its offset.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/Stream.h"
#include "shell/SaveGameFile.h"
#include "world/EffectManager.h"
#include "tests/shell/SampleGameRun.h"
#include "tools/gamekit/SaveGameWriter.h"
#include "tools/mkgame/SampleSaveLoad.h"

namespace {


// A press and release at a point, starting at t ms.
std::string Click(int t, int x, int y) {
    const std::string at = ' ' + std::to_string(x) + " " + std::to_string(y) + "\n";
    return std::to_string(t) + " move" + at + std::to_string(t + 100) + " lbutton down" + at +
           std::to_string(t + 140) + " lbutton up" + at;
}
std::string At(int t, const std::string& strWhat) { return std::to_string(t) + " " + strWhat + "\n"; }

// The share (0..1) of the map area's pixels (every fourth column and row) that differ
// between two screenshots at the best view offset within 16 pixels: a view that
// settled a few pixels apart still matches, a different place does not.
double MapDifference(const CShot& a, const CShot& b) {
    double dBest = 1.0;
    for (int dy = -16; dy <= 16; ++dy)
        for (int dx = -16; dx <= 16; ++dx) {
            int nDiff = 0, nAll = 0;
            for (int y = 40; y < 410; y += 4)
                for (int x = 40; x < 760; x += 4) {
                    nDiff += a.Pixel(x, y) != b.Pixel(x + dx, y + dy);
                    ++nAll;
                }
            dBest = std::min(dBest, double(nDiff) / nAll);
        }
    return dBest;
}

// The title's new-game button; the town follows. Then a walk to the north-east, clear of
// the villagers and of the greeting's region.
const std::string kNewGameAndWalk = Click(8400, 280, 240) + Click(10000, 480, 160);
// ESC's system menu at (400, 10): save is its first button, load its second.
constexpr POINT kMenuSave{500, 85}, kMenuLoad{500, 147};
// The save and load panels in the game at (40, 10): row r's text, the OK button.
POINT GameRow(int r, bool bSavePanel) {
    const int nTop[4] = {46, 115, 185, 255}, nLoadTop[4] = {51, 120, 189, 258};
    return bSavePanel ? POINT{40 + 196, 10 + nTop[r] + 31} : POINT{40 + 87, 10 + nLoadTop[r] + 31};
}
constexpr POINT kGameOk{215, 370}, kGameDown{323, 312};

class SavePlay : public SampleGameRun {
protected:
    SavePlay() : SampleGameRun("saveplay") {}
    void SetUp() override { ASSERT_TRUE(WriteSampleGame({&kSaveTool})); }
    std::string Save(int n) const {
        std::string strName = SaveFileName(n);
        strName[4] = '/';
        return m_strGame + "/" + strName;
    }
};

TEST_F(SavePlay, SavedInSlotThreeAndLoadedFromTheTitleInASecondRun) {
    const POINT row3 = GameRow(3, true);
    const ProgramRun first = RunGame(kNewGameAndWalk + At(14000, "shot before.png") + At(14500, "key press ESC") +
                                     Click(15000, kMenuSave.x, kMenuSave.y) + At(15400, "shot save.png") +
                                     Click(15600, row3.x, row3.y) +
                                     Click(16200, kGameOk.x, kGameOk.y) + At(17500, "key press ESC") +
                                     Click(18000, kMenuLoad.x, kMenuLoad.y) + At(18800, "shot row.png") +
                                     At(19000, "key press ESC") + At(19300, "key press ESC") +
                                     Click(19600, kMenuSave.x, kMenuSave.y) + At(20100, "shot saved.png") +
                                     At(20300, "close"));
    ASSERT_TRUE(first.bExited) << first.strErr;
    ASSERT_TRUE(std::filesystem::exists(Save(3))) << first.strErr;
    EXPECT_EQ(std::filesystem::file_size(Save(3)), 711342u);

    // The dump: a party of one in the town.
    const ProgramRun dump = RunProgramIn(m_strRun, kSaveTool, {"dump", Save(3)}, "/dev/null");
    ASSERT_TRUE(dump.bExited && dump.nCode == 0) << dump.strErr;
    EXPECT_NE(dump.strOut.find("party count 1 @32"), std::string::npos) << dump.strOut.substr(0, 600);
    EXPECT_NE(dump.strOut.find("party ids 0 -1 -1 -1 @36"), std::string::npos);
    EXPECT_NE(dump.strOut.find("scene 0 @21656"), std::string::npos);
    const ProgramRun thumb = RunProgramIn(m_strRun, kSaveTool, {"thumb", Save(3), m_strRun + "/thumb.bmp"}, "/dev/null");
    ASSERT_TRUE(thumb.bExited && thumb.nCode == 0) << thumb.strErr;
    EXPECT_GT(std::filesystem::file_size(m_strRun + "/thumb.bmp"), 120u * 90u * 3u);
    // Its pixels as 5-6-5, or as 5-5-5 with --555: a full channel reads 255 in either.
    std::string strSave = ReadWholeFile(Save(3));
    for (size_t i = 0; i < kSaveThumbBytes; i += 2) {
        strSave[kSaveThumbOffset + i] = char(0xE0);  // green alone: 0x03E0 (5-5-5) or 0x07E0 (5-6-5)
        strSave[kSaveThumbOffset + i + 1] = char(i % 4 == 0 ? 0x03 : 0x07);
    }
    std::ofstream(m_strRun + "/green.sav", std::ios::binary) << strSave;
    for (const bool b555 : {false, true}) {
        std::vector<std::string> args{"thumb", m_strRun + "/green.sav", m_strRun + "/green.bmp"};
        if (b555) args.push_back("--555");
        ASSERT_EQ(RunProgramIn(m_strRun, kSaveTool, args, "/dev/null").nCode, 0);
        const std::string bmp = ReadWholeFile(m_strRun + "/green.bmp");
        ASSERT_GT(bmp.size(), 60u);
        const size_t nPixels = std::uint8_t(bmp[10]) | size_t(std::uint8_t(bmp[11])) << 8;
        // The bottom row comes first; its first two pixels come from 0x03E0 and 0x07E0.
        const unsigned char* p = reinterpret_cast<const unsigned char*>(bmp.data() + nPixels);
        if (b555) {
            EXPECT_EQ(p[1], 255) << "5-5-5 green 31";
            EXPECT_EQ(p[4], 255) << "5-5-5 green 31 (the top bit is not green)";
            EXPECT_EQ(p[5], 8) << "the top bit reads as the lowest bit of red";
        } else {
            EXPECT_EQ(p[1], 125) << "5-6-5 green 31 of 63";
            EXPECT_EQ(p[4], 255) << "5-6-5 green 63";
        }
        EXPECT_EQ(p[0], 0) << "no blue";
    }

    // The load panel lists the save in row 3 with its picture.
    CShot before(Shot("before.png")), row(Shot("row.png")), save(Shot("save.png"));
    ASSERT_TRUE(before.Read() && row.Read() && save.Read());
    EXPECT_GT(row.Differences(before, 40 + 135, 10 + 255, 84, 62), 2000) << "no thumbnail at row 3";
    // Its date (" 2000年1月1日") and clock ("Time:00:00:16") show whole in the narrow text
    // rectangle: nothing white is cut at its left edge, nor the centred date at its right.
    const RECT rcRow3{40 + 45, 10 + 258, 40 + 130, 10 + 322};
    EXPECT_GT(row.CountNear(RECT{rcRow3.left, rcRow3.top + 20, rcRow3.right, rcRow3.bottom}, 0xFFFFFF, 70), 20);
    for (int y = int(rcRow3.top) + 20; y < int(rcRow3.bottom); ++y)
        for (int d : {0, 1}) {
            EXPECT_FALSE(row.Near(int(rcRow3.left) + d, y, 0xFFFFFF, 70)) << "cut at the left, row " << y;
            if (y < rcRow3.top + 40) {
                EXPECT_FALSE(row.Near(int(rcRow3.right) - 1 - d, y, 0xFFFFFF, 70)) << "cut at the right";
            }
        }
    // Empty rows show as wells for the picture and for the date: all four on the save
    // panel before the save (the picture left), rows 0 to 2 on the load panel after it
    // (the picture right). The panels' pictures reach the 16-bit screen a little darker,
    // hence the tolerance.
    const int nTop[4] = {46, 115, 185, 255};
    for (int r = 0; r < 4; ++r) {
        const RECT rcPicture{40 + 45 + 4, 10 + nTop[r] + 4, 40 + 45 + 80, 10 + nTop[r] + 58};
        const RECT rcText{40 + 135 + 4, 10 + nTop[r] + 4, 40 + 257 - 4, 10 + nTop[r] + 58};
        EXPECT_EQ(save.CountNear(rcPicture, kSaveRowPictureWell & 0xFFFFFF, 16), 76 * 54) << "save panel row " << r;
        EXPECT_EQ(save.CountNear(rcText, kSaveRowTextWell & 0xFFFFFF, 16), 114 * 54) << "save panel row " << r;
        if (r == 3) continue;
        const RECT rcLoadText{40 + 45 + 4, 10 + nTop[r] + 9, 40 + 130 - 4, 10 + nTop[r] + 62};
        const RECT rcLoadPicture{40 + 135 + 4, 10 + nTop[r] + 4, 40 + 135 + 80, 10 + nTop[r] + 58};
        EXPECT_EQ(row.CountNear(rcLoadText, kSaveRowTextWell & 0xFFFFFF, 16), 77 * 53) << "load panel row " << r;
        EXPECT_EQ(row.CountNear(rcLoadPicture, kSaveRowPictureWell & 0xFFFFFF, 16), 76 * 54) << "load panel row " << r;
    }
    // The save panel lists it too; its date and clock have room in their cell: the cell
    // goes on right of their rectangle (which the clock ends at).
    CShot saved(Shot("saved.png"));
    ASSERT_TRUE(saved.Read());
    EXPECT_GT(saved.Differences(save, 40 + 135, 10 + 255, 122, 62), 100) << "no date and clock in row 3";
    EXPECT_EQ(saved.CountNear(RECT{40 + 258, 10 + 257, 40 + 262, 10 + 317}, kSaveRowTextWell & 0xFFFFFF, 16), 4 * 60);
    // The wells stand out from the panel around them.
    EXPECT_FALSE(NearRgb(save.Pixel(40 + 20, 10 + 200), kSaveRowPictureWell & 0xFFFFFF, 32));
    EXPECT_FALSE(NearRgb(save.Pixel(40 + 20, 10 + 200), kSaveRowTextWell & 0xFFFFFF, 32));

    // Second run: the title's load button, row 3, load.
    const ProgramRun second = RunGame(Click(8400, 280, 305) + Click(9200, 230 + 87, 60 + 258 + 31) +
                                      Click(9800, 230 + 175, 60 + 360) + At(13000, "shot loaded.png") + At(13500, "close"));
    ASSERT_TRUE(second.bExited) << second.strErr;
    CShot loaded(Shot("loaded.png"));
    ASSERT_TRUE(loaded.Read());
    // The same place: the map above the strip nearly as the first run left it.
    EXPECT_LT(MapDifference(before, loaded), 0.1);
}

TEST_F(SavePlay, ACutSaveIsRefusedWithANoticeAndTheGameStays) {
    const POINT row3 = GameRow(3, true);
    const ProgramRun first = RunGame(kNewGameAndWalk + At(14500, "key press ESC") + Click(15000, kMenuSave.x, kMenuSave.y) +
                                     Click(15600, row3.x, row3.y) + Click(16200, kGameOk.x, kGameOk.y) +
                                     At(17000, "close"));
    ASSERT_TRUE(first.bExited) << first.strErr;
    ASSERT_TRUE(std::filesystem::exists(Save(3))) << first.strErr;
    // Slot 4: the same save cut in the middle of the scene tables.
    std::filesystem::resize_file(Save(3), 300000);
    std::filesystem::rename(Save(3), Save(4));
    const ProgramRun bad = RunProgramIn(m_strRun, kSaveTool, {"dump", Save(4)}, "/dev/null");
    EXPECT_TRUE(bad.bExited && bad.nCode == 1);
    EXPECT_NE(bad.strErr.find("scene state block"), std::string::npos) << bad.strErr;

    // A new game, then the load panel: one row down, slot 4 in row 3, load.
    const POINT row3Load = GameRow(3, false);
    const ProgramRun second = RunGame(kNewGameAndWalk + At(14000, "shot game.png") + At(14500, "key press ESC") +
                                      Click(15000, kMenuLoad.x, kMenuLoad.y) + Click(15600, kGameDown.x, kGameDown.y) +
                                      Click(16200, row3Load.x, row3Load.y) + Click(16800, kGameOk.x, kGameOk.y) +
                                      At(17600, "shot notice.png") + At(18000, "key press RETURN") + At(18400, "key press ESC") +
                                      At(19400, "shot after.png") + At(19800, "close"));
    ASSERT_TRUE(second.bExited) << second.strErr;
    EXPECT_NE(second.strErr.find("load: "), std::string::npos) << second.strErr;
    CShot game(Shot("game.png")), notice(Shot("notice.png")), after(Shot("after.png"));
    ASSERT_TRUE(game.Read() && notice.Read() && after.Read());
    // The notice box over the panel, then the game as it was.
    EXPECT_GT(notice.Differences(game, 400, 225, 235, 150), 5000);
    EXPECT_LT(MapDifference(game, after), 0.1);
}

// A save in slot 3 whose character 1 of the town stands at y 2147483647: loaded from the
// title, it is refused with the field and its offset, and the title stays.
TEST_F(SavePlay, ASaveWithACharacterOffTheMapIsRefusedFromTheTitle) {
    // A party of one in the town, written field by field as the game writes it.
    CByteWriter out;
    out.WriteBytes(std::vector<std::uint8_t>(32, 0).data(), 32);
    for (std::int32_t n : {1, 0, -1, -1, -1, 1}) out.WriteI32(n);
    out.WriteBytes(std::vector<std::uint8_t>(kSaveThumbBytes, 0).data(), kSaveThumbBytes);
    out.WriteI32(0);
    out.WriteU8(0);
    std::vector<std::uint8_t> effects(CEffectManager::kBlockSize, 0xFF);
    const size_t nY = CEffectManager::kNpcRecordsOffset + 1 * sizeof(NpcStateRecord) + 8;
    for (int i = 0; i < 4; ++i) effects[nY + size_t(i)] = std::uint8_t(0x7FFFFFFFu >> (8 * i));
    out.WriteBytes(effects.data(), effects.size());
    ToolBarSaveState bar;
    bar.nHero = 1;
    WriteToolBarState(bar, true, out);
    HeroRecord hero;
    hero.nSculpt = 1;
    hero.ptPos = POINT{464, 528};
    WriteHeroRecord(hero, out);
    out.WriteI32(0);
    out.WriteBytes(std::vector<std::uint8_t>(kSaveFlagBytes, 0).data(), kSaveFlagBytes);
    out.WriteI32(0);
    std::filesystem::create_directories(m_strGame + "/save");
    std::ofstream(Save(3), std::ios::binary)
        .write(reinterpret_cast<const char*>(out.Bytes().data()), std::streamsize(out.Size()));

    // The title's load button, row 3, load; the notice is answered and the panel closed.
    const ProgramRun run = RunGame(At(8000, "shot title.png") + Click(8400, 280, 305) +
                                   Click(9200, 230 + 87, 60 + 258 + 31) + Click(9800, 230 + 175, 60 + 360) +
                                   At(10500, "shot notice.png") + Click(11000, 517, 350) + Click(12000, 485, 417) +
                                   At(13000, "shot after.png") + At(13500, "close"));
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;
    const std::string strField = "character 1 of scene 0: map y 2147483647 at offset " +
                                 std::to_string(kSaveHeaderBytes + nY);
    EXPECT_NE(run.strErr.find("load: save\\save003.sav: scene state block: " + strField), std::string::npos)
        << run.strErr;
    CShot title(Shot("title.png")), notice(Shot("notice.png")), after(Shot("after.png"));
    ASSERT_TRUE(title.Read() && notice.Read() && after.Read());
    // The notice box over the load panel; then the title's buttons again, no game.
    EXPECT_GT(notice.Differences(title, 400, 225, 235, 150), 5000);
    EXPECT_LT(after.Differences(title, 185, 220, 195, 310), 200) << "the title did not stay";
}

// The title's load panel at (230, 60): the load button, row r's text and OK.
constexpr POINT kTitleLoad{280, 305}, kTitleOk{230 + 175, 60 + 360};
POINT TitleRow(int r) {
    const int nLoadTop[4] = {51, 120, 189, 258};
    return POINT{230 + 87, 60 + nLoadTop[r] + 31};
}

// The heroine alone at the town's start point, as another writer of save files lays the
// file out: no one has joined, so the companion word is -1; no bank trailer.
SaveGameModel IndependentSave() {
    SaveGameModel model;
    model.hero.nX = 464;
    model.hero.nY = 528;
    model.hero.nDirection = 1;
    model.hero.nMoney = 300;
    return model;
}

int Occurrences(const std::string& strText, const std::string& strWhat) {
    int n = 0;
    for (size_t at = strText.find(strWhat); at != std::string::npos; at = strText.find(strWhat, at + 1)) ++n;
    return n;
}

TEST_F(SavePlay, ASaveFromAnotherWriterWithCompanionMinusOneLoadsFromTheTitle) {
    std::string why;
    ASSERT_TRUE(WriteSaveGameFile(Save(0), IndependentSave(), &why)) << why;
    const ProgramRun dump = RunProgramIn(m_strRun, kSaveTool, {"dump", Save(0)}, "/dev/null");
    ASSERT_TRUE(dump.bExited && dump.nCode == 0) << dump.strErr;
    EXPECT_NE(dump.strOut.find("companion -1 (none)"), std::string::npos) << dump.strOut;
    EXPECT_NE(dump.strOut.find("none (an older file)"), std::string::npos);

    // The town as a new game shows it, for the loaded game to be compared with.
    const ProgramRun first = RunGame(kNewGame + At(12000, "shot new.png") + At(12500, "close"));
    ASSERT_TRUE(first.bExited) << first.strErr;
    // The title's load button, row 0, load.
    const POINT row0 = TitleRow(0);
    const ProgramRun second = RunGame(At(8000, "shot title.png") + Click(8400, kTitleLoad.x, kTitleLoad.y) +
                                      Click(9200, row0.x, row0.y) + Click(9800, kTitleOk.x, kTitleOk.y) +
                                      At(13000, "shot loaded.png") + At(13500, "close"));
    ASSERT_TRUE(second.bExited) << second.strErr;
    EXPECT_EQ(second.strErr.find("load: "), std::string::npos) << second.strErr;
    CShot title(Shot("title.png")), fresh(Shot("new.png")), loaded(Shot("loaded.png"));
    ASSERT_TRUE(title.Read() && fresh.Read() && loaded.Read());
    EXPECT_LT(MapDifference(fresh, loaded), 0.1) << "the town at the saved place";
    EXPECT_GT(MapDifference(title, loaded), 0.3) << "not the title any more";
}

// A refused load from the title: one load, one notice, answered by one OK, and the title
// with its load panel again, however long the press on the panel's OK is held.
TEST_F(SavePlay, ARefusedLoadFromTheTitleShowsOneNoticeThatOneOkCloses) {
    SaveGameModel model = IndependentSave();
    model.nCompanion = 7;  // no game writes this
    std::string why;
    ASSERT_TRUE(WriteSaveGameFile(Save(0), model, &why)) << why;
    const POINT row0 = TitleRow(0);
    // The press on the panel's OK is held two seconds; the notice's OK at (517, 350).
    const std::string ok = std::to_string(kTitleOk.x) + " " + std::to_string(kTitleOk.y);
    const ProgramRun run = RunGame(Click(8400, kTitleLoad.x, kTitleLoad.y) + Click(9200, row0.x, row0.y) +
                                   At(9700, "shot panel.png") + At(9800, "move " + ok) + At(9900, "lbutton down " + ok) +
                                   At(11000, "shot notice.png") + At(11900, "lbutton up " + ok) + Click(12500, 517, 350) +
                                   At(13200, "move 700 100") + At(13800, "shot after.png") + At(14300, "close"));
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(Occurrences(run.strErr, "load: "), 1) << run.strErr;
    EXPECT_NE(run.strErr.find("companion 7"), std::string::npos) << run.strErr;
    CShot panel(Shot("panel.png")), notice(Shot("notice.png")), after(Shot("after.png"));
    ASSERT_TRUE(panel.Read() && notice.Read() && after.Read());
    // The notice box at (400, 225) over the panel, then the panel as it was.
    EXPECT_GT(notice.Differences(panel, 400, 225, 235, 150), 5000);
    EXPECT_LT(after.Differences(panel, 400, 225, 235, 150), 100);
}

// Damaged saves dumped by savetool: each refusal names its field and the offset where
// the file holds it, the walk step beyond what a step can cover among them.
TEST(SaveTool, ARefusedSaveNamesItsFieldAndOffset) {
    ASSERT_TRUE(ProgramsBuilt({&kSaveTool}));
    CTempFolder folder("savetool-refusals");
    SaveGameModel model;
    model.hero.nX = 464;
    model.hero.nY = 528;
    model.bBank = true;
    const std::vector<std::uint8_t> good = BuildSaveGame(model);
    ASSERT_EQ(good.size(), 711342u);
    constexpr size_t kBar = 548061, kHero = 548129;
    const struct {
        size_t nAt;
        std::int32_t v;
        const char* pszWhy;
    } cases[] = {
        {32, 9, "header: party count 9 at offset 32 is outside 1..4"},
        {44, 7, "header: party id 7 at offset 44 is neither -1 nor the slot number 2"},
        {21656, 250, "header: scene 250 at offset 21656 is outside 0..199"},
        {kBar, 0, "toolbar block: hero number 0 at offset 548061 is outside 1..4"},
        {kBar, 2, "hero number 2 at offset 548061 names party slot 1, whose party id at offset 40 is -1"},
        {kBar + 12, 100, "toolbar block, record 1: quick slot item 100 at offset 548073 is outside -1..99"},
        {kBar + 40, 2, "toolbar block: stack count 2 at offset 548101 with stack item -1 at offset 548105"},
        {kBar + 64, 6, "toolbar block: weather 6 at offset 548125 is outside -1..5"},
        {kHero + 868, 1073741823, "hero record: walk step 1073741823 at offset 548997 is outside -1024..1024"},
        {kHero + 868, -1025, "hero record: walk step -1025 at offset 548997 is outside -1024..1024"},
        {kHero + 2924, 3, "hero record: member 3 at offset 551053 is not the member of party slot 0"},
        {kHero + 412 + 4 * 5, 3, "hero record: ran short at offset 551117: the item counts above 0 (item 5: count 3 "
                                 "at offset 548561) ask for 1 bag table of 216 bytes"},
        {551326, 5, "companion: companion 5 at offset 551326 is outside -1..4"},
        {711330, -2, "ground items: ground item count -2 at offset 711330 is negative"},
        {711334, 0x4B4E4141, "bank: bank tag 41 41 4E 4B at offset 711334 is not \"BANK\""},
        {711338, -1, "bank: bank balance -1 at offset 711338 is negative"},
        {711342, 0, "bank: 4 bytes after the end of the game at offset 711342"},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        bytes.resize(std::max(bytes.size(), c.nAt + 4));
        for (int i = 0; i < 4; ++i) bytes[c.nAt + size_t(i)] = std::uint8_t(std::uint32_t(c.v) >> (8 * i));
        const std::string strFile = folder.File("bad.sav");
        std::ofstream(strFile, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        const ProgramRun run = RunProgramIn(folder.Path(), kSaveTool, {"dump", strFile}, "/dev/null");
        EXPECT_TRUE(run.bExited && run.nCode == 1) << c.pszWhy;
        EXPECT_NE(run.strErr.find("savetool: " + strFile + ": "), std::string::npos) << run.strErr;
        EXPECT_NE(run.strErr.find(c.pszWhy), std::string::npos) << run.strErr;
    }
}

}  // namespace
