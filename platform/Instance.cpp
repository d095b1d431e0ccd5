// Single instance: a lock file in the user's runtime folder, named after the window
// title and held with flock, stores the holder's pid. A second start signals the holder
// (SIGUSR1), which raises its window at its next message pump, and backs off.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/WindowBackend.h"

namespace {

int s_nFd = -1;
pid_t s_nOwner = 0;  // the process that took the lock (a forked child inherits the fd)
std::string s_strPath;
std::atomic<int> s_nRaiseRequests{0};
bool s_bHandlerInstalled = false;

void OnRaiseSignal(int) { s_nRaiseRequests.fetch_add(1); }

void InstallHandler() {
    if (s_bHandlerInstalled) return;
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = OnRaiseSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    if (sigaction(SIGUSR1, &sa, nullptr) == 0) s_bHandlerInstalled = true;
}

std::string LockPath(const char* pszTitle) {
    const std::string strTitle = pszTitle ? pszTitle : "";
    std::string strDir;
    struct stat st;
    if (const char* psz = std::getenv("XDG_RUNTIME_DIR"); psz && *psz && stat(psz, &st) == 0 && S_ISDIR(st.st_mode))
        strDir = psz;
    // /tmp is shared by every user: their locks must not meet.
    std::string strName = "game-";
    if (strDir.empty()) {
        strDir = "/tmp";
        strName += std::to_string(unsigned(getuid())) + "-";
    }
    // Readable part from the title's ASCII letters and digits, unique part from a hash
    // of all its bytes (titles are GBK).
    for (unsigned char c : strTitle)
        if (std::isalnum(c) && c < 0x80 && strName.size() < 40) strName += char(c);
    std::uint32_t h = 2166136261u;
    for (unsigned char c : strTitle) h = (h ^ c) * 16777619u;
    char szHash[16];
    std::snprintf(szHash, sizeof szHash, "-%08x", unsigned(h));
    return strDir + "/" + strName + szHash + ".lock";
}

// The holder writes its pid right after taking the lock; wait briefly for it.
pid_t ReadHolderPid(int fd) {
    for (int nTry = 0; nTry < 50; ++nTry) {
        char sz[32] = {};
        ssize_t n = pread(fd, sz, sizeof sz - 1, 0);
        if (n > 0) {
            long nPid = std::strtol(sz, nullptr, 10);
            if (nPid > 0) return pid_t(nPid);
        }
        struct timespec ts{0, 10 * 1000 * 1000};
        nanosleep(&ts, nullptr);
    }
    return 0;
}

}  // namespace

bool TakeRaiseRequest() {
    static int s_nSeen = 0;
    int n = s_nRaiseRequests.load();
    if (n == s_nSeen) return false;
    s_nSeen = n;
    return true;
}

bool AcquireSingleInstance(const char* pszTitle) {
    const std::string strPath = LockPath(pszTitle);
    if (s_nFd >= 0) {
        if (s_nOwner == getpid() && s_strPath == strPath) return true;
        // A lock of another title, or one inherited across fork (closing our copy leaves
        // the parent's lock in place): start afresh.
        if (s_nOwner == getpid()) ReleaseSingleInstance();
        else close(s_nFd);
        s_nFd = -1;
    }
    int fd = open(strPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        // Without a lock file the rule cannot be kept; running twice beats not running.
        std::fprintf(stderr, "single instance: cannot open %s: %s\n", strPath.c_str(), std::strerror(errno));
        return true;
    }
    // The handler must exist before our pid is visible, or the signal would end us.
    InstallHandler();
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        char sz[32];
        int n = std::snprintf(sz, sizeof sz, "%ld\n", long(getpid()));
        if (ftruncate(fd, 0) != 0 || pwrite(fd, sz, size_t(n), 0) != n)
            std::fprintf(stderr, "single instance: cannot write %s: %s\n", strPath.c_str(), std::strerror(errno));
        s_nFd = fd;
        s_nOwner = getpid();
        s_strPath = strPath;
        return true;
    }
    if (errno != EWOULDBLOCK) {
        std::fprintf(stderr, "single instance: cannot lock %s: %s\n", strPath.c_str(), std::strerror(errno));
        close(fd);
        return true;
    }
    pid_t nHolder = ReadHolderPid(fd);
    if (nHolder > 0 && nHolder != getpid()) kill(nHolder, SIGUSR1);
    close(fd);
    return false;
}

void ReleaseSingleInstance() {
    if (s_nFd < 0) return;
    if (s_nOwner == getpid()) {
        if (ftruncate(s_nFd, 0) != 0)
            std::fprintf(stderr, "single instance: cannot clear %s: %s\n", s_strPath.c_str(), std::strerror(errno));
        flock(s_nFd, LOCK_UN);
    }
    close(s_nFd);
    s_nFd = -1;
    s_nOwner = 0;
    s_strPath.clear();
}
