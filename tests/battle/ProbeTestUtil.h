// Runs the battle probe and mkgame of the build and reads the probe's output: the CSV
// by pass, the acting fighters in turn, the result lines.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/TempFolder.h"

#if defined(MKGAME_BINARY) && defined(BATTLEPROBE_BINARY)

namespace probetest {

// Runs a command, returns its standard output; the exit code in *pCode.
inline std::string RunCommand(const std::string& strCommand, int* pCode) {
    std::string out;
    FILE* p = popen(strCommand.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    *pCode = pclose(p);
    return out;
}

struct ProbeRun {
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

// Writes the sample game with mkgame into a fresh folder; the probe's command prefix.
inline std::string MakeSample(const CTempFolder& folder) {
    int nCode = -1;
    RunCommand(std::string(MKGAME_BINARY) + " " + folder.Path() + " >/dev/null", &nCode);
    EXPECT_EQ(nCode, 0);
    return std::string("GAME_HEADLESS=1 ") + BATTLEPROBE_BINARY + " " + folder.Path();
}

}  // namespace probetest

#endif
