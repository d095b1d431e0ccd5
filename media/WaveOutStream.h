// A ring of blocks on the wave-out device: writes fill the current block and send it
// when full; a semaphore counts the free blocks and the device's completion callback
// releases it. Waits can be interrupted so a control request is never stuck behind
// a full ring.
#pragma once
#include <functional>
#include <memory>
#include <semaphore>
#include <vector>
#include "platform/Audio.h"

struct CWaveOutBlock {
    WAVEHDR hdr;
    std::vector<char> data;
    DWORD dwFill = 0;
};

class CWaveOutStream {
public:
    CWaveOutStream() = default;
    ~CWaveOutStream();
    CWaveOutStream(const CWaveOutStream&) = delete;
    CWaveOutStream& operator=(const CWaveOutStream&) = delete;

    // Opens the device with the format and nBlocks blocks of nBlockBytes (rounded down
    // to whole frames).
    bool Open(const WAVEFORMATEX& format, int nBlocks, DWORD nBlockBytes);
    // Copies data into the ring; waits for a free block when the ring is full. Returns
    // the bytes taken: fewer than nBytes only when bAbort() turned true while waiting.
    size_t Write(const void* pData, size_t nBytes, const std::function<bool()>& bAbort);
    // Sends the partly filled current block.
    bool Flush(const std::function<bool()>& bAbort);
    // Waits until every sent block has played; false when interrupted.
    bool WaitDrained(const std::function<bool()>& bAbort);
    // Stops the sound at once, closes the device and frees the blocks.
    void Close();
    bool IsOpen() const { return m_hWaveOut != nullptr; }

private:
    static void WaveOutDoneProc(HWAVEOUT hWaveOut, UINT uMsg, std::uintptr_t dwInstance, std::uintptr_t dwParam1,
                         std::uintptr_t dwParam2);
    bool WaitFree(const std::function<bool()>& bAbort);
    bool Send();

    std::unique_ptr<std::counting_semaphore<64>> m_pFree;
    int m_nBlocks = 0;
    int m_nCurrent = 0;
    bool m_bWait = true;
    std::vector<CWaveOutBlock> m_blocks;
    HWAVEOUT m_hWaveOut = nullptr;
};
