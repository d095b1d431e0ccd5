// The sample game with one file damaged a case, found from the files' own counts: the
// game says the file and the fault in one line, once, and plays on without what is lost,
// or ends naming the map or setting file it cannot build the first scene from. The
// package tool refuses the packages the game plays on without.
#include <cstring>
#include <functional>
#include <memory>

#include "gamedata/NpcPkg.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/ShellTestUtil.h"
#include "world/MapFile.h"

namespace {

using Bytes = std::string;

std::int32_t Word(const Bytes& b, size_t n) {
    std::int32_t v = 0;
    std::memcpy(&v, b.data() + n, 4);
    return v;
}
void SetWord(Bytes& b, size_t n, std::int32_t v) { std::memcpy(&b[n], &v, 4); }
// Replaces a file of the case's copy of the sample.
void Write(const std::string& strPath, const Bytes& b) {
    std::filesystem::remove(strPath);
    std::ofstream(strPath, std::ios::binary) << b;
}
void Cut(const std::string& strPath, size_t nSize) { Write(strPath, ReadWholeFile(strPath).substr(0, nSize)); }

size_t Count(const std::string& strText, const std::string& strPart) {
    size_t n = 0;
    for (size_t at = strText.find(strPart); at != std::string::npos; at = strText.find(strPart, at + 1)) ++n;
    return n;
}

// The town's grid (rectangular: its cells are w x h) and where its character records start.
struct Town {
    std::int32_t w = 0, h = 0;
    size_t nCountAt = 0;
    size_t Record(int k) const { return nCountAt + 4 + size_t(kNpcRecordSize) * size_t(k); }
};
Town ReadTown(const std::string& strGame) {
    const Bytes map = ReadWholeFile(strGame + "/map/scene000.map");
    Town t{Word(map, 32), Word(map, 36)};
    t.nCountAt = kFileHeaderSize + 8 + size_t(t.w) * size_t(t.h) * (kRegionRecordSize + 4);
    return t;
}

// Where the map's picture records end (the cells start).
size_t PicturesEnd(const Bytes& map) {
    size_t at = kFileHeaderSize + 48;
    for (int k = 2; k < Word(map, 48); ++k) at += kPictureRecordSize + size_t(std::max(Word(map, at + 52), 0));
    return at;
}

// Renames an index entry of a picture package in place (same length, same sort place).
void RenameEntry(const std::string& strPkg, const std::string& strOld, const std::string& strNew) {
    Bytes b = ReadWholeFile(strPkg);
    for (size_t at = 4, k = 0; k < size_t(Word(b, 0)); ++k) {
        const size_t nEnd = b.find('\0', at);
        if (b.compare(at, nEnd - at, strOld) == 0) b.replace(at, strOld.size(), strNew);
        at = nEnd + 9;
    }
    Write(strPkg, b);
}

// Where an entry of a picture package starts, and its size in bytes.
size_t EntryAt(const Bytes& pkg, const std::string& strName, size_t* pSize) {
    for (size_t at = 4, k = 0; k < size_t(Word(pkg, 0)); ++k) {
        const size_t nEnd = pkg.find('\0', at);
        *pSize = size_t(Word(pkg, nEnd + 5));
        if (pkg.compare(at, nEnd - at, strName) == 0) return size_t(Word(pkg, nEnd + 1));
        at = nEnd + 9;
    }
    return 0;
}

// The title's click plays sound\DOWN.wav: the line a damaged copy of it gets.
std::string SoundSays(const std::string& strWhy) {
    return "game: sound\\DOWN.wav " + strWhy + "; its sound is not played\n";
}

// The first text entry of script.dat and the scene script it belongs to: part 2 starts
// where part 1's reading of the last scene's table stopped.
void DamageFirstText(const std::string& strPath, std::int32_t* pScene, size_t* pEntry) {
    Bytes b = ReadWholeFile(strPath);
    const std::int32_t nTables = Word(b, 0), nLast = Word(b, 4 + 4 * size_t(nTables - 1));
    const size_t nBase =
        nLast ? size_t(nLast) + 4 + 172 * size_t(std::max(Word(b, size_t(nLast)), 0)) : 4 + 4 * size_t(nTables);
    for (std::int32_t i = 0; i <= Word(b, nBase); ++i) {
        const std::int32_t nBlock = Word(b, nBase + 4 + 4 * size_t(i));
        const size_t at = nBase + size_t(nBlock);
        if (nBlock == 0 || Word(b, at + 8) <= 0) continue;
        *pScene = i;
        *pEntry = at + 12 + 12 * size_t(Word(b, at)) + 28 * size_t(Word(b, at + 4)) + 4;
        SetWord(b, *pEntry, -5);
        Write(strPath, b);
        return;
    }
}

struct DamageCase {
    const char* pszName;
    // Damages the copy of the sample folder; the line the run must say exactly once.
    std::function<std::string(const std::string& strGame)> damage;
    int nCode = 0;
    // A package tool run on the damaged file ("effects bmp/Effect.pkg"), and what it says.
    std::vector<std::string> tool;
    std::string strToolSays;

    // Most cases name no tool: a constructor lets them leave the last fields out.
    DamageCase(const char* pszCaseName, std::function<std::string(const std::string&)> fnDamage, int nExitCode = 0,
               std::vector<std::string> toolArgs = {}, std::string strSays = {})
        : pszName(pszCaseName), damage(std::move(fnDamage)), nCode(nExitCode), tool(std::move(toolArgs)),
          strToolSays(std::move(strSays)) {}
};

const std::vector<DamageCase>& Cases() {
    static const std::vector<DamageCase> cases = {
        {"character count leaves records unread", [](const std::string& g) {
             const Town t = ReadTown(g);
             Bytes b = ReadWholeFile(g + "/map/scene000.set");
             SetWord(b, t.nCountAt, 0);
             Write(g + "/map/scene000.set", b);
             return "[message box] : 场景设置文件 scene000.set 已损坏\nmap\\scene000.set: characters: "
                    "character count 0 at offset " + std::to_string(t.nCountAt) + " does not match";
         }, 1},
        {"character id", [](const std::string& g) {
             Bytes b = ReadWholeFile(g + "/map/scene000.set");
             SetWord(b, ReadTown(g).Record(1) + kNpcIdOffset, 150);
             Write(g + "/map/scene000.set", b);
             return std::string("game: map\\scene000.set: character 1: id 150 is outside 0..99; it is left out\n");
         }},
        {"negative sculpt", [](const std::string& g) {
             Bytes b = ReadWholeFile(g + "/map/scene000.set");
             const size_t at = ReadTown(g).Record(1);
             SetWord(b, at + 132, -3);  // the sculpt word
             Write(g + "/map/scene000.set", b);
             return "game: map\\scene000.set: character 1 (id " + std::to_string(Word(b, at + kNpcIdOffset)) +
                    "): sculpt -3 is negative; it is drawn as sculpt 0\n";
         }},
        {"character outside the grid", [](const std::string& g) {
             Bytes b = ReadWholeFile(g + "/map/scene000.set");
             const Town t = ReadTown(g);
             SetWord(b, t.Record(1) + kNpcCellXOffset, t.w + 1);
             SetWord(b, t.Record(1) + kNpcCellYOffset, -1);
             Write(g + "/map/scene000.set", b);
             return "game: map\\scene000.set: character 1 (id " + std::to_string(Word(b, t.Record(1) + kNpcIdOffset)) +
                    ") stands at cell (" + std::to_string(t.w + 1) + ", -1), outside the " + std::to_string(t.w) +
                    " x " + std::to_string(t.h) + " grid\n";
         }},
        {"npc.pkg shifted", [](const std::string& g) {
             // 52 zero bytes where the first frame starts, after the 300 x 27 records.
             Bytes b = ReadWholeFile(g + "/bmp/npc.pkg");
             size_t at = 0;
             for (int r = 0; r < kSculptCount * kActionCount; ++r) at += 4 + 64 * size_t(std::max(Word(b, at), 0));
             Write(g + "/bmp/npc.pkg", b.insert(at, 52, '\0'));
             return std::string("game: bmp\\npc.pkg: frames that do not decode are not drawn; the first: sculpt ");
         }, 0, {"npc", "bmp/npc.pkg"}, "frames do not decode; the first: sculpt "},
        {"menu.pkg entry renamed", [](const std::string& g) {
             RenameEntry(g + "/bmp/menu.pkg", "GTX001.tga", "GTX001.tgb");
             return std::string(
                 "game: bmp\\menu.pkg holds no picture \"GTX001.tga\"; pictures it lacks are not drawn\n");
         }},
        {"map picture missing from Scene.pkg", [](const std::string& g) {
             Bytes ini = ReadWholeFile(g + "/fenwik.ini");
             ini.replace(ini.find("Scenepkg=0"), 10, "Scenepkg=1");
             Write(g + "/fenwik.ini", ini);
             Bytes map = ReadWholeFile(g + "/map/scene000.map");
             map[kFileHeaderSize + 48 + kPictureRecordSize] = 'Z';
             Write(g + "/map/scene000.map", map);
             return std::string("game: bmp\\Scene.pkg holds no picture \"");
         }},
        {"loose picture cut short", [](const std::string& g) {
             Cut(g + "/pic/wall.bmp", 887);
             return std::string(
                 "game: pic\\wall.bmp is damaged or not a picture; the scene's objects that use it are not drawn\n");
         }},
        {"map picture records zeroed", [](const std::string& g) {
             Bytes map = ReadWholeFile(g + "/map/scene000.map");
             const size_t nStart = kFileHeaderSize + 48;
             map.replace(nStart, PicturesEnd(map) - nStart, PicturesEnd(map) - nStart, '\0');
             Write(g + "/map/scene000.map", map);
             return std::string("[message box] : 地图文件 scene000.map 已损坏\nmap\\scene000.map: ");
         }, 1},
        {"map that cannot be read", [](const std::string& g) {
             std::filesystem::remove(g + "/map/scene000.map");
             std::filesystem::create_directory(g + "/map/scene000.map");
             return std::string("[message box] : 地图文件 scene000.map 已损坏\nmap\\scene000.map: ");
         }, 1},
        {"area patterns cut short", [](const std::string& g) {
             // The last pattern's tail record loses its last two words.
             const Bytes b = ReadWholeFile(g + "/data/Vesk.Ayl");
             Cut(g + "/data/Vesk.Ayl", b.size() - 8);
             return "game: Vesk.Ayl: pattern, record " + std::to_string(Word(b, 0) - 1) + ": ran short at offset " +
                    std::to_string(b.size() - 8) +
                    ": needs 4 bytes, 0 remain; the game runs without skill area patterns\n";
         }},
        {"Effect.pkg cut short", [](const std::string& g) {
             const Bytes b = ReadWholeFile(g + "/bmp/Effect.pkg");
             std::int32_t nFrames = 0;
             for (std::int32_t e = 0; e < Word(b, 0); ++e) nFrames += Word(b, 4 + 8 * size_t(e));
             Cut(g + "/bmp/Effect.pkg", 4 + 8 * size_t(Word(b, 0) + nFrames) + 1);
             const std::string strFrames = std::to_string(nFrames);
             return "game: Bmp\\Effect.pkg is cut short: " + strFrames + " of " + strFrames + " entries are missing\n";
         }, 0, {"effects", "bmp/Effect.pkg"}, "frames past the end of the file"},
        {"script text offset", [](const std::string& g) {
             std::int32_t nScene = -1;
             size_t nEntry = 0;
             DamageFirstText(g + "/data/script.dat", &nScene, &nEntry);
             return "script.dat: scene scripts, record " + std::to_string(nScene) +
                    ": text 0: text offset -5 at offset " + std::to_string(nEntry) + " lies outside the file";
         }, 1},
        {"sound without its RIFF header", [](const std::string& g) {
             Bytes b = ReadWholeFile(g + "/sound/DOWN.wav");
             Write(g + "/sound/DOWN.wav", b.replace(0, 4, "RIFX"));
             return SoundSays("does not start with a RIFF WAVE header");
         }},
        {"sound cut short", [](const std::string& g) {
             Cut(g + "/sound/DOWN.wav", 30);
             return SoundSays("is cut short: chunk \"fmt \" at offset 12 needs 16 bytes, 10 remain");
         }},
        {"sound empty", [](const std::string& g) {
             Write(g + "/sound/DOWN.wav", "");
             return SoundSays("is empty");
         }},
        {"sound missing", [](const std::string& g) {
             std::filesystem::remove(g + "/sound/DOWN.wav");
             return SoundSays("does not exist");
         }},
        {"sound that is a folder", [](const std::string& g) {
             std::filesystem::remove(g + "/sound/DOWN.wav");
             std::filesystem::create_directory(g + "/sound/DOWN.wav");
             return SoundSays("is a folder, not a file");
         }},
        {"music package tracks garbage", [](const std::string& g) {
             // Every byte past the index is text: no track holds an MP3 frame. The title's
             // track is the first played, unless the scene's is asked for before it is opened.
             Bytes b = ReadWholeFile(g + "/data/veskmp3.dat");
             for (size_t at = size_t(Word(b, b.find('\0', 4) + 1)); at < b.size(); ++at) b[at] = "garbage "[at % 8];
             Write(g + "/data/veskmp3.dat", b);
             return std::string("game: data\\veskmp3.dat: track \"");
         }},
        {"music package track renamed", [](const std::string& g) {
             RenameEntry(g + "/data/veskmp3.dat", "99.mp3", "99.mp4");
             return std::string("game: data\\veskmp3.dat holds no track \"99.mp3\"; tracks it lacks are not played\n");
         }},
        {"sculpt npc.pkg has no frames for", [](const std::string& g) {
             Bytes b = ReadWholeFile(g + "/map/scene000.set");
             const size_t at = ReadTown(g).Record(1);
             SetWord(b, at + 132, kSculptCount - 1);
             Write(g + "/map/scene000.set", b);
             return "game: map\\scene000.set: character 1 (id " + std::to_string(Word(b, at + kNpcIdOffset)) +
                    "): sculpt 299 has no frames in bmp\\npc.pkg; the character is not shown\n";
         }},
        {"options with CR line ends and an empty value", [](const std::string& g) {
             // The value is found only when CR alone ends the lines; 16 is the sample's depth.
             Bytes ini = ReadWholeFile(g + "/fenwik.ini");
             ini.replace(ini.find("ScreenBPP=16"), 12, "ScreenBPP=");
             for (size_t at = ini.find("\r\n"); at != std::string::npos; at = ini.find("\r\n", at))
                 ini.erase(at + 1, 1);
             Write(g + "/fenwik.ini", ini);
             return std::string("game: fenwik.ini: [Option] ScreenBPP= is empty; 16 is used\n");
         }},
        {"menu.pkg picture that is no picture", [](const std::string& g) {
             // Said by the package alone, once, however often the toolbar asks for it.
             Bytes b = ReadWholeFile(g + "/bmp/menu.pkg");
             size_t nSize = 0;
             const size_t at = EntryAt(b, "ToolBar_BKGround.tga", &nSize);
             Write(g + "/bmp/menu.pkg", b.replace(at, nSize, nSize, 'X'));
             return std::string("game: bmp\\menu.pkg: entry \"ToolBar_BKGround.tga\" is not a picture; entries that do "
                                "not decode are not drawn\n");
         }},
    };
    return cases;
}

TEST(DamagedFiles, EachIsSaidOnceAndTheGamePlaysOnWithoutWhatIsLostOrEndsNamingIt) {
    UsePrivateRuntimeFolder();
    ASSERT_TRUE(ProgramsBuilt({&kGame, &kPkgTool}));
    const size_t nCases = Cases().size();
    std::vector<std::unique_ptr<CTempFolder>> folders;
    std::vector<std::string> games(nCases), says(nCases);
    std::vector<ProgramStart> starts(nCases);
    std::vector<pid_t> children(nCases, -1);
    std::vector<ProgramRun> runs(nCases);
    // Every folder is made and damaged before the first run starts, so a failure there
    // leaves no game running; then six runs at a time go side by side.
    for (size_t i = 0; i < nCases; ++i) {
        folders.push_back(std::make_unique<CTempFolder>("damaged"));
        ASSERT_TRUE(WriteSampleFolder(*folders.back(), &games[i]));
        says[i] = Cases()[i].damage(games[i]);
        Write(games[i] + "/input.txt", kNewGame + "9900 close\n");
        starts[i] = HeadlessStartIn(games[i], games[i] + "/input.txt");
    }
    for (size_t i = 0; i < nCases + 5; ++i) {
        if (i < nCases) children[i] = StartProgram(kGame, {}, starts[i]);
        if (i >= 5) runs[i - 5] = FinishProgram(children[i - 5], starts[i - 5]);
    }
    for (size_t i = 0; i < nCases; ++i) {
        const DamageCase& c = Cases()[i];
        const std::string& strErr = runs[i].strErr;
        EXPECT_TRUE(runs[i].bExited) << c.pszName;
        EXPECT_EQ(runs[i].nCode, c.nCode) << c.pszName << ": " << strErr;
        EXPECT_EQ(Count(strErr, says[i]), 1u) << c.pszName << ": " << strErr;
        // A game that plays on says that line and nothing else.
        if (c.nCode == 0) {
            EXPECT_EQ(Count(strErr, "\n"), 1u) << c.pszName << ": " << strErr;
        }
        if (c.tool.empty()) continue;
        const ProgramRun tool = RunProgramIn(games[i], kPkgTool, c.tool, "/dev/null");
        EXPECT_EQ(tool.nCode, 1) << c.pszName << ": " << tool.strOut;
        EXPECT_EQ(Count(tool.strErr, c.strToolSays), 1u) << c.pszName << ": " << tool.strErr;
    }
}

}  // namespace
