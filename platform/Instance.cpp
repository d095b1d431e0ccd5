// Single instance: a lock file in the user's runtime folder, named after the window
// title and held with flock, stores the holder's pid. A second start signals the holder
// (SIGUSR1), which raises its window at its next message pump, and backs off. The holder
// removes the file when it lets go (still holding the lock, so a start that opened the
// old file sees it gone and tries again on a fresh one).
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

namespace {

// True when strPath still names the file open as fd (the holder before us may have
// removed it between our open and our lock).
bool StillNamed(int fd, const std::string& strPath) {
    struct stat stOpen, stPath;
    return fstat(fd, &stOpen) == 0 && stat(strPath.c_str(), &stPath) == 0 && stOpen.st_dev == stPath.st_dev &&
           stOpen.st_ino == stPath.st_ino;
}

void ReleaseAtExit() { ReleaseSingleInstance(); }

}  // namespace

std::string SingleInstanceLockPath(const char* pszTitle) { return LockPath(pszTitle); }

bool AcquireSingleInstance(const char* pszTitle, bool* pRaised) {
    if (pRaised) *pRaised = false;
    const std::string strPath = LockPath(pszTitle);
    if (s_nFd >= 0) {
        if (s_nOwner == getpid() && s_strPath == strPath) return true;
        // A lock of another title, or one inherited across fork (closing our copy leaves
        // the parent's lock and file in place): start afresh.
        if (s_nOwner == getpid()) ReleaseSingleInstance();
        else close(s_nFd);
        s_nFd = -1;
        s_nOwner = 0;
        s_strPath.clear();
    }
    for (int nTry = 0; nTry < 20; ++nTry) {
        int fd = open(strPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            // Without a lock file the rule cannot be kept; running twice beats not running.
            std::fprintf(stderr, "single instance: cannot open %s: %s\n", strPath.c_str(), std::strerror(errno));
            return true;
        }
        // The handler must exist before our pid is visible, or the signal would end us.
        InstallHandler();
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (!StillNamed(fd, strPath)) {
                close(fd);
                continue;
            }
            char sz[32];
            int n = std::snprintf(sz, sizeof sz, "%ld\n", long(getpid()));
            if (ftruncate(fd, 0) != 0 || pwrite(fd, sz, size_t(n), 0) != n)
                std::fprintf(stderr, "single instance: cannot write %s: %s\n", strPath.c_str(), std::strerror(errno));
            s_nFd = fd;
            s_nOwner = getpid();
            s_strPath = strPath;
            static const bool s_bAtExit = std::atexit(ReleaseAtExit) == 0;
            (void)s_bAtExit;
            return true;
        }
        if (errno != EWOULDBLOCK) {
            std::fprintf(stderr, "single instance: cannot lock %s: %s\n", strPath.c_str(), std::strerror(errno));
            close(fd);
            return true;
        }
        if (!StillNamed(fd, strPath)) {  // the holder is letting go
            close(fd);
            continue;
        }
        pid_t nHolder = ReadHolderPid(fd);
        close(fd);
        if (nHolder > 0 && nHolder != getpid() && kill(nHolder, SIGUSR1) == 0 && pRaised) *pRaised = true;
        return false;
    }
    std::fprintf(stderr, "single instance: %s keeps changing; going on without the lock\n", strPath.c_str());
    return true;
}

void ReleaseSingleInstance() {
    if (s_nFd < 0) return;
    if (s_nOwner == getpid()) {
        if (unlink(s_strPath.c_str()) != 0 && errno != ENOENT)
            std::fprintf(stderr, "single instance: cannot remove %s: %s\n", s_strPath.c_str(), std::strerror(errno));
        flock(s_nFd, LOCK_UN);
    }
    close(s_nFd);
    s_nFd = -1;
    s_nOwner = 0;
    s_strPath.clear();
}
