#include "tools/mkgame/SampleShell.h"

#include <cstdio>
#include <filesystem>

#include "tools/gamekit/ImageWriters.h"

bool WriteShellContent(const std::string& gameDir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(fs::path(gameDir) / "data", ec);
    fs::create_directories(fs::path(gameDir) / "save", ec);
    if (ec) {
        std::fprintf(stderr, "mkgame: cannot create the data and save folders in %s: %s\n", gameDir.c_str(),
                     ec.message().c_str());
        return false;
    }
    // Script file: no scene event tables (count 0), then one scene script slot (N - 1
    // stored as 0) whose block offset is 0, i.e. no script block.
    const std::vector<std::uint8_t> script(12, 0);
    const std::string strPath = (fs::path(gameDir) / "data" / "script.dat").string();
    if (!fs::exists(strPath) && !WriteBytesToFile(strPath.c_str(), script)) {
        std::fprintf(stderr, "mkgame: cannot write %s\n", strPath.c_str());
        return false;
    }
    return true;
}
