// The music player: tracks are MP3 files kept in the music package "data\veskmp3.dat";
// a track is copied out into the game's "mp3" folder the first time it is asked for,
// then decoded on a worker thread into a ring of four wave-out blocks. The main thread
// steers the worker with a state word (play a new file, pause, continue, stop).
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include "gamedata/PkgFile.h"
#include "platform/Base.h"

class CMp3Decoder;
class CWaveOutStream;

class CMp3Player {
public:
    enum State { StatePlayNew = 0, StatePause = 1, StateContinue = 2, StateStop = 3 };
    static constexpr size_t kPcmBytes = 0x14000;
    static constexpr int kBlocks = 4;
    static constexpr DWORD kLoopGapMs = 1000;

    CMp3Player();
    virtual ~CMp3Player();
    CMp3Player(const CMp3Player&) = delete;
    CMp3Player& operator=(const CMp3Player&) = delete;

    // Reads the index of "<game folder>\data\<name>". False (index empty, message in
    // GetError) when it is missing or its index is damaged. Tracks copied out of a
    // package opened before are deleted first: they belong to that package.
    bool OpenMusicPackage(const char* pszName);
    // Plays pszPath (or, with null, the stored track again) from the start.
    void Play(const char* pszPath, BOOL bLoop);
    void Pause();
    void Resume();
    void Stop();
    bool IsStopped() const;
    // Sets the wave-out volume (percent, low byte used); 0 on success.
    int SetVolume(int nLeft, int nRight);
    void SetVolumeMod100(int nLeft, int nRight);

    // Copies the track named by the path out of the package unless it is already
    // there: written to a temporary file and renamed only when complete. The first
    // copy that cannot be written (a read-only game folder, a full disk) is named on
    // stderr; the game then runs without that music.
    bool ExtractFile(const char* pszPath);
    // Deletes every copied track and the "mp3" folder when it is left empty.
    void DeleteExtracted();

    // Observers for the main window and tests.
    bool IsWorkerRunning() const { return m_bWorkerRunning.load(); }
    bool IsPlaying() const { return m_bPlaying.load(); }
    int GetEntryCount() const { return int(m_entries.size()); }
    // Paths of the tracks copied out since the package was opened.
    const std::vector<std::string>& GetExtracted() const { return m_extracted; }
    // The last failure; the worker may set it at any time, so this is a copy.
    std::string GetError() const;
    // The track the player was last told to play ("" before the first).
    std::string GetFileName() const;
    std::string GetMp3Folder() const;

private:
    void Signal(int nState);
    void WorkerMain();
    // Runs one opened track; true when the worker should look at the state again
    // (new file), false when it should end.
    bool StreamLoop(CMp3Decoder& decoder);
    // Decides what a control request means: true = the stream loop is done.
    bool HandleControl();
    bool ControlPending() const { return m_bSignalled.load(); }
    int FindEntry(const std::string& name) const;
    void JoinFinishedWorker();
    void SetError(const std::string& strError);
    // A track copied out of the package is named by its entry, any other by its file.
    std::string DescribeTrack(const std::string& strPath) const;

    // The copies by the path they were written to, so deleting them needs no index.
    std::vector<std::string> m_extracted;
    bool m_bToldWriteFailure = false;
    // The package as messages name it, and whether a track it lacks was said.
    std::string m_strPackageShown = "data\\veskmp3.dat";
    bool m_bNoTrackSaid = false;
    std::FILE* m_pPackage = nullptr;
    std::vector<PkgIndexEntry> m_entries;  // sizes in bytes
    int m_nVolume[2] = {50, 50};
    std::string m_strGameFolder;
    std::string m_strFileName;

    mutable std::mutex m_mutex;  // guards the state word, the file name, loop and the error
    std::string m_strError;
    // How messages name the track of m_strFileName (set with it): its package entry or its file.
    std::string m_strTrackShown;
    // Whether a track that does not decode was said (by the worker).
    std::atomic<bool> m_bBadTrackSaid{false};
    std::condition_variable m_cvControl;
    std::atomic<bool> m_bSignalled{false};
    int m_nState = StateStop;
    bool m_bLoop = true;
    std::atomic<bool> m_bPlaying{false};
    std::atomic<bool> m_bWorkerRunning{false};
    std::thread m_worker;
    std::vector<char> m_pcm;
};
