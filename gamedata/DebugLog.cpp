#include "gamedata/DebugLog.h"

#include "platform/Files.h"

#include <cstdarg>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

CDebugLog* pDebugLog = nullptr;

CDebugLog::~CDebugLog() {
    if (m_pFile != nullptr) std::fclose(m_pFile);
}

void CDebugLog::Open() {
    if (m_pFile != nullptr) std::fclose(m_pFile);
    m_pFile = OpenFile("DEBUG.TXT", "wb");
}

void CDebugLog::Write(const char* pText) {
    if (m_pFile == nullptr || pText == nullptr) return;
    std::fwrite(pText, 1, std::strlen(pText), m_pFile);
    // Flushed at once so that the log is complete even when the game stops abruptly.
    std::fflush(m_pFile);
}

void CDebugLog::Printf(const char* pFormat, ...) {
    if (pFormat == nullptr) return;
    va_list args;
    va_start(args, pFormat);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, pFormat, copy);
    va_end(copy);
    if (n >= 0) {
        std::vector<char> buf(size_t(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), pFormat, args);
        Write(buf.data());
    }
    va_end(args);
}

void ReportFileProblem(const std::string& strLine) {
    // The music worker reports from its own thread.
    static std::mutex s_mutex;
    static std::set<std::string> s_said;
    const std::lock_guard<std::mutex> lock(s_mutex);
    if (strLine.empty() || !s_said.insert(strLine).second) return;
    std::fprintf(stderr, "game: %s\n", strLine.c_str());
    if (pDebugLog) pDebugLog->Printf("%s\r\n", strLine.c_str());
}
