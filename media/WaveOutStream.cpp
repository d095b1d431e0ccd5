#include "media/WaveOutStream.h"

#include <algorithm>
#include <chrono>
#include <cstring>

CWaveOutStream::~CWaveOutStream() { Close(); }

void CWaveOutStream::WaveOutDoneProc(HWAVEOUT, UINT uMsg, std::uintptr_t dwInstance, std::uintptr_t, std::uintptr_t) {
    if (uMsg == WOM_DONE) reinterpret_cast<std::counting_semaphore<64>*>(dwInstance)->release();
}

bool CWaveOutStream::Open(const WAVEFORMATEX& format, int nBlocks, DWORD nBlockBytes) {
    Close();
    if (nBlocks < 1 || nBlocks > 64 || format.nBlockAlign == 0) return false;
    nBlockBytes -= nBlockBytes % format.nBlockAlign;
    if (nBlockBytes == 0) return false;
    m_pFree = std::make_unique<std::counting_semaphore<64>>(nBlocks);
    m_nBlocks = nBlocks;
    m_nCurrent = 0;
    m_bWait = true;
    if (WaveOutOpen(&m_hWaveOut, WAVE_MAPPER, &format, &CWaveOutStream::WaveOutDoneProc, std::uintptr_t(m_pFree.get()),
                    CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
        m_hWaveOut = nullptr;
        m_pFree.reset();
        return false;
    }
    m_blocks.resize(size_t(nBlocks));
    for (auto& b : m_blocks) {
        b.data.assign(nBlockBytes, 0);
        b.hdr = WAVEHDR{};
        b.hdr.lpData = b.data.data();
        b.hdr.dwBufferLength = nBlockBytes;
        b.dwFill = 0;
        WaveOutPrepareHeader(m_hWaveOut, &b.hdr, sizeof(WAVEHDR));
    }
    return true;
}

bool CWaveOutStream::WaitFree(const std::function<bool()>& bAbort) {
    while (!m_pFree->try_acquire_for(std::chrono::milliseconds(5))) {
        if (bAbort && bAbort()) return false;
    }
    return true;
}

bool CWaveOutStream::Send() {
    CWaveOutBlock& b = m_blocks[size_t(m_nCurrent)];
    b.hdr.dwBufferLength = b.dwFill;
    b.dwFill = 0;
    WaveOutWrite(m_hWaveOut, &b.hdr, sizeof(WAVEHDR));
    m_bWait = true;
    m_nCurrent = (m_nCurrent + 1) % m_nBlocks;
    return true;
}

size_t CWaveOutStream::Write(const void* pData, size_t nBytes, const std::function<bool()>& bAbort) {
    if (!m_hWaveOut) return 0;
    const char* p = static_cast<const char*>(pData);
    size_t nTaken = 0;
    while (nTaken < nBytes) {
        if (m_bWait) {
            if (!WaitFree(bAbort)) return nTaken;
            m_bWait = false;
        }
        CWaveOutBlock& b = m_blocks[size_t(m_nCurrent)];
        size_t nRoom = b.data.size() - b.dwFill;
        size_t n = std::min(nRoom, nBytes - nTaken);
        if (pData) std::memcpy(b.data.data() + b.dwFill, p + nTaken, n);
        else std::memset(b.data.data() + b.dwFill, 0, n);
        b.dwFill += DWORD(n);
        nTaken += n;
        if (b.dwFill == b.data.size()) Send();
    }
    return nTaken;
}

bool CWaveOutStream::Flush(const std::function<bool()>& bAbort) {
    if (!m_hWaveOut) return false;
    if (m_blocks[size_t(m_nCurrent)].dwFill == 0) return true;
    if (m_bWait) {
        if (!WaitFree(bAbort)) return false;
        m_bWait = false;
    }
    return Send();
}

bool CWaveOutStream::WaitDrained(const std::function<bool()>& bAbort) {
    if (!m_hWaveOut) return true;
    // All blocks are free when every permit can be taken; the one held for the block
    // being filled (wait flag clear) counts as taken already.
    int nHeld = m_bWait ? 0 : 1;
    int nTaken = 0;
    bool bDone = true;
    while (nTaken + nHeld < m_nBlocks) {
        if (!WaitFree(bAbort)) { bDone = false; break; }
        ++nTaken;
    }
    if (nTaken > 0) m_pFree->release(nTaken);
    return bDone;
}

void CWaveOutStream::Close() {
    if (m_hWaveOut) {
        WaveOutReset(m_hWaveOut);
        for (auto& b : m_blocks) WaveOutUnprepareHeader(m_hWaveOut, &b.hdr, sizeof(WAVEHDR));
        WaveOutClose(m_hWaveOut);
        m_hWaveOut = nullptr;
    }
    m_blocks.clear();
    m_pFree.reset();
    m_nBlocks = 0;
}
