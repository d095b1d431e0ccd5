#include "platform/Files.h"
#include "platform/Strings.h"

#include "platform/Charset.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

// The base folder is shared with the music worker, which opens files too.
std::mutex g_baseLock;
std::string g_strBase;
bool g_bBaseSet = false;

std::string ProcessWorkingFolder() {
    char buf[PATH_MAX];
    if (getcwd(buf, sizeof(buf)) == nullptr) return "/";
    return buf;
}

std::string CurrentBase() {
    std::lock_guard<std::mutex> lock(g_baseLock);
    if (!g_bBaseSet) {
        g_strBase = ProcessWorkingFolder();
        g_bBaseSet = true;
    }
    return g_strBase;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool HasHighBytes(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool PathExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string JoinPath(const std::string& dir, std::string_view name) {
    std::string out = dir;
    if (out.empty() || out.back() != '/') out.push_back('/');
    out.append(name);
    return out;
}

// Finds the entry of `dir` that matches `name` without regard to ASCII case. When
// several do, the smallest name wins so that the choice does not depend on the
// order in which the folder lists its entries.
bool FindEntryNoCase(const std::string& dir, std::string_view name, std::string* pFound) {
    DIR* pDir = opendir(dir.empty() ? "/" : dir.c_str());
    if (pDir == nullptr) return false;
    bool bFound = false;
    while (dirent* pEntry = readdir(pDir)) {
        std::string_view entry(pEntry->d_name);
        if (EqualNoCase(entry, name) && (!bFound || entry < *pFound)) {
            *pFound = std::string(entry);
            bFound = true;
        }
    }
    closedir(pDir);
    return bFound;
}

// Matches one component inside an existing folder: exact spelling first, then the
// same name without regard to case, then (for names with non-ASCII bytes) the name
// read as GBK text and spelt in UTF-8, as such files are named on this system.
bool MatchComponent(const std::string& dir, std::string_view name, std::string* pMatch) {
    if (PathExists(JoinPath(dir, name))) {
        *pMatch = std::string(name);
        return true;
    }
    if (FindEntryNoCase(dir, name, pMatch)) return true;
    if (HasHighBytes(name)) {
        std::string utf8 = TextToUtf8(name);
        if (utf8 != name) {
            if (PathExists(JoinPath(dir, utf8))) {
                *pMatch = utf8;
                return true;
            }
            if (FindEntryNoCase(dir, utf8, pMatch)) return true;
        }
    }
    return false;
}

bool SetFolderFromScratch(const char* pPath);

std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

bool SetCurrentDirectory(const char* pPath) {
    if (pPath == nullptr || *pPath == '\0') return false;
    // The game makes its folder current several times a frame. An absolute folder that
    // exists as spelt resolves to itself component by component, so its canonical form
    // found last time holds while that spelling still names the same folder: one look
    // instead of one per component and the canonical walk.
    std::string spelt(pPath);
    std::replace(spelt.begin(), spelt.end(), '\\', '/');
    if (spelt.front() == '/') {
        // The folder is known by its spelling and by the folder that spelling names now
        // (a link turned elsewhere names another).
        static std::string s_strSpelt, s_strCanonical;
        static dev_t s_device = 0;
        static ino_t s_inode = 0;
        struct stat st;
        if (stat(spelt.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            std::lock_guard<std::mutex> lock(g_baseLock);
            if (spelt == s_strSpelt && st.st_dev == s_device && st.st_ino == s_inode) {
                g_strBase = s_strCanonical;
                g_bBaseSet = true;
                return true;
            }
        }
        const bool bSet = SetFolderFromScratch(pPath);
        std::lock_guard<std::mutex> lock(g_baseLock);
        if (bSet && stat(spelt.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            s_strSpelt = spelt;
            s_strCanonical = g_strBase;
            s_device = st.st_dev;
            s_inode = st.st_ino;
        } else {
            s_strSpelt.clear();
        }
        return bSet;
    }
    return SetFolderFromScratch(pPath);
}

namespace {

// Resolves the folder against the current one and makes its canonical form current.
bool SetFolderFromScratch(const char* pPath) {
    std::string path = ResolvePath(pPath);
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    char real[PATH_MAX];
    if (realpath(path.c_str(), real) != nullptr) path = real;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    std::lock_guard<std::mutex> lock(g_baseLock);
    g_strBase = path;
    g_bBaseSet = true;
    return true;
}

}  // namespace

std::string GetCurrentDirectory() { return CurrentBase(); }

std::string ResolvePath(std::string_view name) {
    std::string normal(name);
    std::replace(normal.begin(), normal.end(), '\\', '/');

    std::string path = (!normal.empty() && normal[0] == '/') ? std::string("/") : CurrentBase();
    bool bMissing = false;  // once a component is missing, the rest keep their spelling
    size_t pos = 0;
    while (pos <= normal.size()) {
        size_t end = normal.find('/', pos);
        if (end == std::string::npos) end = normal.size();
        std::string_view comp(normal.data() + pos, end - pos);
        pos = end + 1;
        if (comp.empty() || comp == ".") continue;
        if (comp == "..") {
            path = ParentOf(path);
            continue;
        }
        std::string match;
        if (!bMissing && MatchComponent(path, comp, &match)) {
            path = JoinPath(path, match);
        } else {
            bMissing = true;
            path = JoinPath(path, comp);
        }
    }
    return path;
}

namespace {

thread_local std::string t_strOpenError;

// Why a file of this type cannot be used as a file; empty for a regular file.
const char* NotAFile(mode_t mode) {
    if (S_ISREG(mode)) return "";
    if (S_ISDIR(mode)) return "is a folder, not a file";
    if (S_ISFIFO(mode)) return "is a named pipe, not a file";
    return "is a device or socket, not a file";
}

bool SetOpenError(const std::string& why, int nErrno) {
    t_strOpenError = why;
    errno = nErrno;
    return false;
}

bool SetOpenErrorFromErrno(int nErrno) {
    if (nErrno == ENOENT) return SetOpenError("does not exist", nErrno);
    if (nErrno == EISDIR) return SetOpenError(NotAFile(S_IFDIR), nErrno);
    return SetOpenError(std::string("cannot be opened: ") + std::strerror(nErrno), nErrno);
}

// open(2) flags for an fopen mode, without truncation (done once the file is known to be
// a regular one); -1 for a mode fopen would refuse.
int OpenFlags(const char* pMode, bool* pTruncate) {
    const bool bPlus = std::strchr(pMode, '+') != nullptr;
    *pTruncate = false;
    switch (pMode[0]) {
    case 'r': return bPlus ? O_RDWR : O_RDONLY;
    case 'w': *pTruncate = true; return (bPlus ? O_RDWR : O_WRONLY) | O_CREAT;
    case 'a': return (bPlus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    default: return -1;
    }
}

}  // namespace

FILE* OpenFile(const char* pName, const char* pMode) {
    if (pName == nullptr || pMode == nullptr) {
        SetOpenError("no file name", EINVAL);
        return nullptr;
    }
    bool bTruncate = false;
    const int nFlags = OpenFlags(pMode, &bTruncate);
    if (nFlags < 0) {
        SetOpenError("bad open mode", EINVAL);
        return nullptr;
    }
    // Non-blocking, so a named pipe without a writer (or reader) cannot hold the open.
    const std::string strPath = ResolvePath(pName);
    const int fd = open(strPath.c_str(), nFlags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int nErr = errno;
        // A pipe without a reader refuses a non-blocking open for writing: say what it is.
        if (nErr == ENXIO && !CheckRegularFile(strPath)) return nullptr;
        SetOpenErrorFromErrno(nErr);
        return nullptr;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        SetOpenErrorFromErrno(errno);
        close(fd);
        return nullptr;
    }
    if (!S_ISREG(st.st_mode)) {
        SetOpenError(NotAFile(st.st_mode), S_ISDIR(st.st_mode) ? EISDIR : ENXIO);
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (bTruncate && ftruncate(fd, 0) != 0) {
        SetOpenErrorFromErrno(errno);
        close(fd);
        return nullptr;
    }
    FILE* fp = fdopen(fd, pMode);
    if (fp == nullptr) {
        SetOpenErrorFromErrno(errno);
        close(fd);
    }
    return fp;
}

std::string OpenFileError() { return t_strOpenError; }

bool CheckRegularFile(const std::string& strPath) {
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0) return SetOpenErrorFromErrno(errno);
    if (!S_ISREG(st.st_mode)) return SetOpenError(NotAFile(st.st_mode), S_ISDIR(st.st_mode) ? EISDIR : ENXIO);
    return true;
}

bool FileExists(const char* pName) {
    if (pName == nullptr) return false;
    struct stat st;
    return stat(ResolvePath(pName).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const char* pName) {
    if (pName == nullptr) return false;
    struct stat st;
    return stat(ResolvePath(pName).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectory(const char* pName) {
    if (pName == nullptr) return false;
    std::string path = ResolvePath(pName);
    if (mkdir(path.c_str(), 0755) == 0) return true;
    struct stat st;
    return errno == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string FolderWriteProblem(const char* pName) {
    if (pName == nullptr) return "no folder";
    const std::string path = ResolvePath(pName);
    const std::string strFolder = "the folder " + path;
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode)) return strFolder + " cannot be made: a file of that name stands in its place";
        if (access(path.c_str(), W_OK) != 0) return strFolder + " is not writable (" + std::strerror(errno) + ")";
        return std::string();
    }
    if (mkdir(path.c_str(), 0755) == 0) return std::string();
    const int nError = errno;
    const size_t nSlash = path.find_last_of('/');
    const std::string strParent = nSlash == std::string::npos ? "." : nSlash == 0 ? "/" : path.substr(0, nSlash);
    if (nError == EACCES || nError == EROFS)
        return strFolder + " cannot be made: the folder " + strParent + " is not writable (" + std::strerror(nError) + ")";
    return strFolder + " cannot be made (" + std::strerror(nError) + ")";
}

bool RemoveFile(const char* pName) {
    if (pName == nullptr) return false;
    return unlink(ResolvePath(pName).c_str()) == 0;
}

bool RemoveEmptyDirectory(const char* pName) {
    if (pName == nullptr) return false;
    return rmdir(ResolvePath(pName).c_str()) == 0;
}

bool ReplaceFile(const char* pTemp, const char* pFinal) {
    if (pTemp == nullptr || pFinal == nullptr) return false;
    return std::rename(ResolvePath(pTemp).c_str(), ResolvePath(pFinal).c_str()) == 0;
}

bool MatchWildcard(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*") return true;
    // Iterative match with one backtrack point for the last '*'.
    size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<std::string> ListFiles(const char* pFolder, const char* pPattern) {
    std::vector<std::string> names;
    if (pFolder == nullptr || pPattern == nullptr) return names;
    std::string dir = ResolvePath(pFolder);
    DIR* pDir = opendir(dir.c_str());
    if (pDir == nullptr) return names;
    while (dirent* pEntry = readdir(pDir)) {
        std::string_view entry(pEntry->d_name);
        if (!MatchWildcard(pPattern, entry)) continue;
        struct stat st;
        if (stat(JoinPath(dir, entry).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.emplace_back(entry);
    }
    closedir(pDir);
    std::sort(names.begin(), names.end());
    return names;
}
