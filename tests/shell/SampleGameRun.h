// A fixture for runs of the game binary in the sample game that mkgame writes: the game
// folder and a run folder under the test's own temporary folder, each run's input script
// written into the game folder and its screenshots moved into the run folder.
#pragma once
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/ShellTestUtil.h"

class SampleGameRun : public ::testing::Test {
protected:
    explicit SampleGameRun(const char* pszName) : m_folder{pszName} {}
    // Writes the sample game; the game, mkgame and every program named must exist.
    [[nodiscard]] ::testing::AssertionResult WriteSampleGame(std::initializer_list<const std::string*> tools = {}) {
        UsePrivateRuntimeFolder();
        if (::testing::AssertionResult built = ProgramsBuilt({&kGame}); !built) return built;
        if (::testing::AssertionResult built = ProgramsBuilt(tools); !built) return built;
        m_strRun = m_folder.Path() + "/run";
        std::filesystem::create_directories(m_strRun);
        return WriteSampleFolder(m_folder, &m_strGame);
    }
    ProgramRun RunGame(const std::string& strText) {
        const std::string strScript = m_strGame + "/input.txt";
        std::ofstream(strScript) << strText;
        ProgramRun run = RunProgramIn(m_strGame, kGame, {}, strScript);
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(m_strGame))
            if (entry.path().extension() == ".png")
                std::filesystem::rename(entry.path(), m_strRun + "/" + entry.path().filename().string(), ec);
        return run;
    }
    std::string Shot(const std::string& strName) const { return m_strRun + "/" + strName; }

    CTempFolder m_folder;
    std::string m_strGame, m_strRun;
};
