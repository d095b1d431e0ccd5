#include "media/Mp3Player.h"

#include <cstring>

#include "gamedata/DebugLog.h"
#include "media/MediaHost.h"
#include "media/WaveOutStream.h"
#include "platform/Audio.h"
#include "platform/Files.h"
#include "platform/Mp3Decoder.h"
#include "platform/Stream.h"

namespace {

// Splits a game path at its last separator.
void SplitPath(const std::string& path, std::string* pFolder, std::string* pName) {
    size_t n = path.find_last_of("\\/");
    if (n == std::string::npos) {
        pFolder->clear();
        *pName = path;
    } else {
        *pFolder = path.substr(0, n);
        *pName = path.substr(n + 1);
    }
}

}  // namespace

CMp3Player::CMp3Player() : m_pcm(kPcmBytes) { SetVolumeMod100(50, 50); }

CMp3Player::~CMp3Player() {
    Stop();
    // The worker ends at the stop request; wait for it so nothing it uses is freed early.
    if (m_worker.joinable()) m_worker.join();
    DeleteExtracted();
    if (m_pPackage) std::fclose(m_pPackage);
}

std::string CMp3Player::GetMp3Folder() const { return MediaGameFolder() + "\\mp3"; }

std::string CMp3Player::GetFileName() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_strFileName;
}

std::string CMp3Player::GetError() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_strError;
}

std::string CMp3Player::DescribeTrack(const std::string& strPath) const {
    for (const std::string& strDone : m_extracted) {
        if (strDone != strPath) continue;
        std::string folder, name;
        SplitPath(strPath, &folder, &name);
        return m_strPackageShown + ": track \"" + name + "\"";
    }
    const std::string strFolder = MediaGameFolder() + "\\";
    return strPath.compare(0, strFolder.size(), strFolder) == 0 ? strPath.substr(strFolder.size()) : strPath;
}

void CMp3Player::SetError(const std::string& strError) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_strError = strError;
}

bool CMp3Player::OpenMusicPackage(const char* pszName) {
    DeleteExtracted();
    if (m_pPackage) std::fclose(m_pPackage);
    m_pPackage = nullptr;
    m_entries.clear();
    // Messages name the package as the game folder does ("data\\veskmp3.dat").
    const std::string strName = std::string("data\\") + (pszName ? pszName : "");
    std::string path = MediaGameFolder() + "\\" + strName;
    m_pPackage = OpenFile(path.c_str(), "rb");
    if (!m_pPackage) {
        SetError("music package " + strName + ": " + OpenFileError());
        return false;
    }
    // The picture packages' index, with sizes in 4-byte units.
    std::string strError;
    if (!ReadPkgIndex(m_pPackage, 4, &m_entries, &strError)) {
        SetError("music package " + strName + ": " + strError);
        std::fclose(m_pPackage);
        m_pPackage = nullptr;
        m_entries.clear();
        return false;
    }
    m_strPackageShown = strName;
    m_bNoTrackSaid = false;
    m_bBadTrackSaid.store(false);
    ReportFileProblem(DescribeMissingPkgEntries("music package " + strName, m_entries));
    return true;
}

int CMp3Player::FindEntry(const std::string& name) const { return FindPkgEntry(m_entries, name.c_str()); }

namespace {

std::string WithoutPrefix(const std::string& s, const std::string& strPrefix) {
    return s.compare(0, strPrefix.size(), strPrefix) == 0 ? s.substr(strPrefix.size()) : s;
}

}  // namespace

bool CMp3Player::ExtractFile(const char* pszPath) {
    if (!pszPath) return false;
    std::string mp3 = GetMp3Folder();
    MakeDirectory(mp3.c_str());
    if (FileExists(pszPath)) return true;
    std::string folder, name;
    SplitPath(pszPath, &folder, &name);
    if (ResolvePath(folder) != ResolvePath(mp3)) return false;
    int i = FindEntry(name);
    if (i < 0 && m_pPackage && !m_bNoTrackSaid) {
        // A track whose entry lies past the end was said when the package was opened.
        bool bListed = false;
        for (const PkgIndexEntry& e : m_entries) bListed = bListed || ComparePkgNames(e.strName.c_str(), name.c_str()) == 0;
        if (!bListed)
            ReportFileProblem(m_strPackageShown + " holds no track \"" + name + "\"; tracks it lacks are not played");
        m_bNoTrackSaid = !bListed;
    }
    if (i < 0 || !m_pPackage) return false;
    const PkgIndexEntry& e = m_entries[size_t(i)];
    std::vector<std::uint8_t> bytes(e.dwSize);
    if (std::fseek(m_pPackage, long(e.dwOffset), SEEK_SET) != 0 ||
        std::fread(bytes.data(), 1, bytes.size(), m_pPackage) != bytes.size()) {
        SetError("music package: entry " + name + " is cut short");
        return false;
    }
    std::string strError;
    if (!WriteFileAtomic(pszPath, bytes, &strError)) {
        SetError(strError);
        // The folder is the usual cause (a read-only game folder): it is named by its real path.
        const std::string strFolderProblem = FolderWriteProblem(mp3.c_str());
        const std::string strCause =
            strFolderProblem.empty() ? ResolvePath(pszPath) + ": " + WithoutPrefix(strError, std::string(pszPath) + ": ")
                                     : strFolderProblem;
        if (!m_bToldWriteFailure)
            std::fprintf(stderr, "game: music cannot be written: %s; the game plays without it\n", strCause.c_str());
        m_bToldWriteFailure = true;
        return false;
    }
    m_extracted.push_back(pszPath);
    return true;
}

void CMp3Player::DeleteExtracted() {
    for (const std::string& path : m_extracted) RemoveFile(path.c_str());
    m_extracted.clear();
    RemoveEmptyDirectory(GetMp3Folder().c_str());  // only an empty folder goes, never a file
}

void CMp3Player::Signal(int nState) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nState = nState;
    m_bSignalled.store(true);
    m_cvControl.notify_all();
}

void CMp3Player::JoinFinishedWorker() {
    if (m_worker.joinable()) m_worker.join();
}

void CMp3Player::Play(const char* pszPath, BOOL bLoop) {
    std::string path;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        path = pszPath ? std::string(pszPath) : m_strFileName;
    }
    ExtractFile(path.c_str());
    const std::string strShown = DescribeTrack(path);
    std::unique_lock<std::mutex> lock(m_mutex);
    // The track and the name it is shown by change together: a worker that picks the
    // track up names it as the package does.
    if (pszPath) {
        m_bLoop = bLoop != 0;
        m_strFileName = path;
    }
    m_nState = StatePlayNew;
    m_strTrackShown = strShown;
    if (!m_bWorkerRunning.load()) {
        lock.unlock();
        JoinFinishedWorker();
        lock.lock();
        m_bWorkerRunning.store(true);
        m_bSignalled.store(false);
        m_worker = std::thread([this] { WorkerMain(); });
    } else {
        m_bSignalled.store(true);
        m_cvControl.notify_all();
    }
}

void CMp3Player::Pause() { Signal(StatePause); }

void CMp3Player::Resume() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bWorkerRunning.load()) {
            m_nState = StateContinue;
            m_bSignalled.store(true);
            m_cvControl.notify_all();
            return;
        }
    }
    Play(nullptr, TRUE);
}

void CMp3Player::Stop() { Signal(StateStop); }

bool CMp3Player::IsStopped() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nState == StateStop;
}

int CMp3Player::SetVolume(int nLeft, int nRight) {
    WAVEOUTCAPS caps;
    if (WaveOutGetDevCaps(0, &caps) != MMSYSERR_NOERROR || !(caps.dwSupport & WAVECAPS_VOLUME)) return 0;
    // Above 100 percent a channel would spill into the other's word.
    DWORD dwLeft = std::min<DWORD>(DWORD(nLeft & 255), 100) * 65535u / 100u;
    DWORD dwRight = std::min<DWORD>(DWORD(nRight & 255), 100) * 65535u / 100u;
    m_nVolume[0] = nLeft;
    m_nVolume[1] = nRight;
    return int(WaveOutSetVolume(nullptr, dwLeft | (dwRight << 16)));
}

void CMp3Player::SetVolumeMod100(int nLeft, int nRight) { SetVolume(nLeft % 100, nRight % 100); }

void CMp3Player::WorkerMain() {
    while (true) {
        std::string path, strShown;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_nState == StateStop) {
                m_bWorkerRunning.store(false);
                return;
            }
            if (m_nState == StatePlayNew) m_bSignalled.store(false);  // this request is served now
            path = m_strFileName;
            strShown = m_strTrackShown;
        }
        CMp3Decoder decoder;
        if (!decoder.Open(path.c_str())) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_bSignalled.load() && m_nState == StatePlayNew) continue;  // a newer track was asked for
            m_strError = decoder.Error();
            // A track that is not there was said by the copy that could not make it.
            if (FileExists(path.c_str()) && !m_bBadTrackSaid.exchange(true))
                ReportFileProblem(strShown +
                                  " is not MP3 audio; tracks that do not decode are not played");
            m_bWorkerRunning.store(false);
            return;
        }
        StreamLoop(decoder);
    }
}

bool CMp3Player::HandleControl() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_bSignalled.store(false);
    while (true) {
        switch (m_nState) {
        case StateContinue:
            m_bPlaying.store(true);
            return false;
        case StatePause:
            m_bPlaying.store(false);
            m_cvControl.wait(lock, [this] { return m_bSignalled.load(); });
            m_bSignalled.store(false);
            break;
        default:  // a new file or a stop
            return true;
        }
    }
}

bool CMp3Player::StreamLoop(CMp3Decoder& decoder) {
    CWaveOutStream ring;
    if (!ring.Open(decoder.Format(), kBlocks, DWORD(kPcmBytes))) {
        // Without an output the worker ends instead of opening the track again and again.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nState = StateStop;
        return false;
    }
    m_bPlaying.store(true);
    auto abort = [this] { return m_bSignalled.load(); };
    // Writes everything unless a control request ends the stream (false then).
    auto put = [&](const void* p, size_t n) {
        size_t nDone = 0;
        while (nDone < n) {
            nDone += ring.Write(p ? static_cast<const char*>(p) + nDone : nullptr, n - nDone, abort);
            if (nDone < n && HandleControl()) return false;
        }
        return true;
    };
    auto flush = [&] {
        while (!ring.Flush(abort))
            if (HandleControl()) return false;
        return true;
    };
    bool bDone = false;
    while (!bDone) {
        if (ControlPending() && HandleControl()) break;
        size_t nBytes = 0;
        CMp3Decoder::ReadResult r = decoder.Read(m_pcm.data(), m_pcm.size(), &nBytes);
        if (r == CMp3Decoder::ReadResult::Data) {
            bDone = !put(m_pcm.data(), nBytes);
            continue;
        }
        bool bLoop;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            bLoop = m_bLoop && r == CMp3Decoder::ReadResult::End;
        }
        if (bLoop) {
            // The end of the track sounds in full, then a second of silence, then the
            // track starts again.
            size_t nGap = size_t(decoder.Format().nAvgBytesPerSec) * kLoopGapMs / 1000;
            if (!flush() || !put(nullptr, nGap)) break;
            if (!decoder.Rewind()) bLoop = false;
            else continue;
        }
        // The end of a track played once (or a damaged track): let the queued sound
        // finish unless a request comes first, then stop.
        if (r == CMp3Decoder::ReadResult::End && flush()) {
            while (!ring.WaitDrained(abort))
                if (HandleControl()) break;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_bSignalled.load()) m_nState = StateStop;
        bDone = true;
    }
    ring.Close();
    m_bPlaying.store(false);
    return true;
}
