#include "media/Mp3Player.h"

#include <cstring>

#include "media/MediaHost.h"
#include "media/WaveOutStream.h"
#include "platform/Audio.h"
#include "platform/Files.h"
#include "platform/Mp3Decoder.h"
#include "platform/Stream.h"

namespace {

int CompareNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        int ca = static_cast<unsigned char>(*a), cb = static_cast<unsigned char>(*b);
        if (ca >= 'A' && ca <= 'Z') ca += 32;
        if (cb >= 'A' && cb <= 'Z') cb += 32;
        if (ca != cb || ca == 0) return ca - cb;
    }
}

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

bool CMp3Player::OpenMusicPackage(const char* pszName) {
    if (m_pPackage) std::fclose(m_pPackage);
    m_pPackage = nullptr;
    m_entries.clear();
    m_nPackageSize = 0;
    std::string path = MediaGameFolder() + "\\data\\" + (pszName ? pszName : "");
    m_pPackage = OpenFile(path.c_str(), "rb");
    if (!m_pPackage) {
        m_strError = "music package " + path + " cannot be opened";
        return false;
    }
    std::fseek(m_pPackage, 0, SEEK_END);
    m_nPackageSize = std::ftell(m_pPackage);
    std::fseek(m_pPackage, 0, SEEK_SET);
    // Each index entry takes at least 9 bytes and at most 41 (a 33-byte name).
    std::vector<std::uint8_t> head(size_t(std::min<long long>(m_nPackageSize, 4 + 41LL * 4096)));
    if (head.empty() || std::fread(head.data(), 1, head.size(), m_pPackage) != head.size()) head.clear();
    CByteReader r(head, path);
    std::uint32_t nCount = 0;
    r.SetContext("index");
    if (r.ReadU32(&nCount) && r.CheckCount(nCount, 9, "entries")) {
        if (nCount > 4096) r.Fail("more than 4096 entries");
        std::vector<MusicEntry> entries(r.Failed() ? 0 : nCount);
        for (auto& e : entries) {
            int n = 0;
            std::uint8_t c = 0;
            while (r.ReadU8(&c) && c != 0) {
                if (n == 32) break;  // a 33rd character ends the name unstored
                e.szName[n++] = char(c);
            }
            r.ReadU32(&e.dwOffset);
            r.ReadU32(&e.dwSize);
            if (r.Failed()) break;
            if (std::uint64_t(e.dwOffset) + std::uint64_t(e.dwSize) * 4 > std::uint64_t(m_nPackageSize)) {
                r.Fail(std::string("entry ") + e.szName + " lies outside the file");
                break;
            }
        }
        if (!r.Failed()) m_entries = std::move(entries);
    }
    if (r.Failed() || head.empty()) {
        m_strError = head.empty() ? "music package " + path + " cannot be read" : r.Error();
        std::fprintf(stderr, "%s\n", m_strError.c_str());
        std::fclose(m_pPackage);
        m_pPackage = nullptr;
        m_entries.clear();
        return false;
    }
    return true;
}

int CMp3Player::FindEntry(const std::string& name) const {
    int nLow = 0, nHigh = int(m_entries.size()) - 1;
    while (nLow <= nHigh) {
        int nMid = (nLow + nHigh) / 2;
        int c = CompareNoCase(m_entries[size_t(nMid)].szName, name.c_str());
        if (c == 0) return nMid;
        if (c < 0) nLow = nMid + 1;
        else nHigh = nMid - 1;
    }
    return -1;
}

bool CMp3Player::ExtractFile(const char* pszPath) {
    if (!pszPath) return false;
    std::string mp3 = GetMp3Folder();
    MakeDirectory(mp3.c_str());
    if (FileExists(pszPath)) return true;
    std::string folder, name;
    SplitPath(pszPath, &folder, &name);
    if (ResolvePath(folder) != ResolvePath(mp3)) return false;
    int i = FindEntry(name);
    if (i < 0 || !m_pPackage) return false;
    const MusicEntry& e = m_entries[size_t(i)];
    std::vector<std::uint8_t> bytes(size_t(e.dwSize) * 4);
    if (std::fseek(m_pPackage, long(e.dwOffset), SEEK_SET) != 0 ||
        std::fread(bytes.data(), 1, bytes.size(), m_pPackage) != bytes.size()) {
        m_strError = "music package: entry " + name + " is cut short";
        return false;
    }
    std::string strError;
    if (!WriteFileAtomic(pszPath, bytes, &strError)) {
        m_strError = strError;
        return false;
    }
    m_extracted.push_back(i);
    return true;
}

void CMp3Player::DeleteExtracted() {
    std::string mp3 = GetMp3Folder();
    for (int i : m_extracted) RemoveFile((mp3 + "\\" + m_entries[size_t(i)].szName).c_str());
    m_extracted.clear();
    std::remove(ResolvePath(mp3).c_str());  // only an empty folder goes
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
        if (pszPath) {
            m_bLoop = bLoop != 0;
            m_strFileName = pszPath;
        }
        m_nState = StatePlayNew;
        path = m_strFileName;
    }
    ExtractFile(path.c_str());
    std::unique_lock<std::mutex> lock(m_mutex);
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
        std::string path;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_nState == StateStop) {
                m_bWorkerRunning.store(false);
                return;
            }
            if (m_nState == StatePlayNew) m_bSignalled.store(false);  // this request is served now
            path = m_strFileName;
        }
        CMp3Decoder decoder;
        if (!decoder.Open(path.c_str())) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_bSignalled.load() && m_nState == StatePlayNew) continue;  // a newer track was asked for
            m_strError = decoder.Error();
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
