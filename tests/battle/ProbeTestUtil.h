// Runs the battle probe of the build on the sample game and reads its output: the CSV
// by pass, the acting fighters in turn, the result lines.
#pragma once
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"

#if defined(MKGAME_BINARY) && defined(BATTLEPROBE_BINARY)

namespace probetest {

inline const std::string kBattleProbe = BATTLEPROBE_BINARY;

struct ProbeRun {
    ProgramRun program;      // how the probe ended, its output and its error output
    std::vector<int> turns;  // the acting slot each time it changes to a fighter
    std::string strTail;     // the lines after the CSV
    int nPasses = 0;
    int nResult = -1, nMoney = -1;
    // The CSV's cells by pass; an empty cell (an empty slot) reads -1.
    std::vector<std::vector<long>> rows;
};

inline ProbeRun Parse(const std::string& out) {
    ProbeRun r;
    std::istringstream in(out);
    std::string line;
    int nLast = -1;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] < '0' || line[0] > '9') {
            r.strTail += line + "\n";
            if (line.rfind("result ", 0) == 0) r.nResult = std::stoi(line.substr(7));
            if (line.rfind("money ", 0) == 0) r.nMoney = std::stoi(line.substr(6));
            continue;
        }
        ++r.nPasses;
        std::vector<std::string> cells;
        std::stringstream cs(line);
        std::string cell;
        while (std::getline(cs, cell, ',')) cells.push_back(cell);
        std::vector<long> values;
        for (const std::string& c : cells) values.push_back(c.empty() ? -1 : std::stol(c));
        r.rows.push_back(values);
        if (cells.size() < 35) continue;
        const int nActive = std::stoi(cells[33]);
        if (nActive != nLast && nActive != -1) r.turns.push_back(nActive);
        nLast = nActive;
    }
    return r;
}

// Runs the battle probe in the test's folder over the sample folder strGame with the
// words of strArgs, then the input script strInput when one is named.
inline ProbeRun RunProbe(const CTempFolder& folder, const std::string& strGame, const std::string& strArgs,
                         const std::string& strInput = "") {
    std::vector<std::string> args{strGame};
    std::istringstream words(strArgs);
    for (std::string strWord; words >> strWord;) args.push_back(strWord);
    if (!strInput.empty()) {
        args.push_back("--input");
        args.push_back(strInput);
    }
    ProgramRun program = RunProgramIn(folder.Path(), kBattleProbe, args, "/dev/null");
    ProbeRun r = Parse(program.strOut);
    r.program = std::move(program);
    return r;
}

}  // namespace probetest

#endif
