// The progress log "DEBUG.TXT". The global pDebugLog stays null in a normal run;
// every caller tests it before writing.
#pragma once
#include <cstdio>
#include <string>

class CDebugLog {
public:
    CDebugLog() = default;
    virtual ~CDebugLog();
    CDebugLog(const CDebugLog&) = delete;
    CDebugLog& operator=(const CDebugLog&) = delete;

    // Creates "DEBUG.TXT" in the current folder, replacing an older one.
    void Open();
    // Writes the text as it stands (callers add "\r\n" themselves).
    void Write(const char* pText);
    // Formats like printf and writes the result.
    void Printf(const char* pFormat, ...) __attribute__((format(printf, 2, 3)));

private:
    FILE* m_pFile = nullptr;
};

extern CDebugLog* pDebugLog;

// Tells the player about a game file the game runs on without (part of it damaged or
// missing): "game: " and the line on stderr, and the line in the debug log. Each line
// is said once a run, however often the game meets the fault; empty says nothing. Safe
// to call from any thread.
void ReportFileProblem(const std::string& strLine);
