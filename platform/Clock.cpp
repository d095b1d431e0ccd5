#include "platform/Clock.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

#include "platform/WindowBackend.h"

namespace {

// The clock is chosen once: explicitly by UseVirtualClock, or by the backend when it
// starts (virtual when headless). Until then the first reading starts the backend.
std::atomic<bool> s_bChosen{false};
std::atomic<bool> s_bVirtual{false};
std::atomic<DWORD> s_dwVirtualNow{0};
std::atomic<DWORD> s_dwFrameStep{20};

// Pacing: the real time at which the virtual clock read s_dwPaceBase (both under the mutex).
std::atomic<bool> s_bPaced{false};
std::mutex s_paceMutex;
std::chrono::steady_clock::time_point s_paceStart;
DWORD s_dwPaceBase = 0;

DWORD RealNow() {
    // Milliseconds of the monotonic clock (time since boot), cut to 32 bits so it wraps
    // like the game expects.
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return DWORD(std::uint64_t(ms.count()));
}

void EnsureChosen() {
    if (!s_bChosen.load(std::memory_order_acquire)) Backend();
}

// Advances the virtual clock by ms and, when paced, waits until real time has caught up.
// A clock that fell behind (a long load) goes on from now rather than racing to catch up.
void AdvanceVirtual(DWORD ms) {
    const DWORD dwNow = s_dwVirtualNow.fetch_add(ms) + ms;
    if (!s_bPaced.load()) return;
    std::chrono::steady_clock::time_point due;
    {
        std::lock_guard<std::mutex> lock(s_paceMutex);
        const auto now = std::chrono::steady_clock::now();
        due = s_paceStart + std::chrono::milliseconds(DWORD(dwNow - s_dwPaceBase));
        if (now - due > std::chrono::milliseconds(100)) {
            s_paceStart = now;
            s_dwPaceBase = dwNow;
        }
    }
    std::this_thread::sleep_until(due);
}

std::uint32_t s_nRandState = 1;

}  // namespace

DWORD TimeGetTime() {
    EnsureChosen();
    return s_bVirtual.load() ? s_dwVirtualNow.load() : RealNow();
}

void SleepMs(DWORD ms) {
    EnsureChosen();
    if (s_bVirtual.load()) {
        AdvanceVirtual(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool IsVirtualClock() {
    EnsureChosen();
    return s_bVirtual.load();
}

void UseVirtualClock(bool bVirtual, DWORD dwStart, DWORD dwFrameStep) {
    s_dwVirtualNow.store(dwStart);
    s_dwFrameStep.store(dwFrameStep);
    s_bVirtual.store(bVirtual);
    s_bChosen.store(true, std::memory_order_release);
}

void ClockApplyBackendDefault(bool bVirtual, DWORD dwFrameStep) {
    if (s_bChosen.load()) return;
    UseVirtualClock(bVirtual, 0, dwFrameStep);
}

void AdvanceVirtualClock(DWORD ms) {
    if (s_bVirtual.load()) AdvanceVirtual(ms);
}

void PaceVirtualClock(bool bPaced) {
    std::lock_guard<std::mutex> lock(s_paceMutex);
    s_paceStart = std::chrono::steady_clock::now();
    s_dwPaceBase = s_dwVirtualNow.load();
    s_bPaced.store(bPaced);
}

void ClockOnFrame() {
    if (s_bVirtual.load()) AdvanceVirtual(s_dwFrameStep.load());
}

void ClockOnIdlePoll() {
    if (s_bVirtual.load()) AdvanceVirtual(1);
}

// A 32-bit linear congruential generator; the 15 bits above the low half are returned
// because the low bits of such a generator repeat with short periods.
int Rand() {
    s_nRandState = s_nRandState * 1664525u + 1013904223u;
    return int((s_nRandState >> 16) & 0x7FFF);
}

void Srand(unsigned int nSeed) { s_nRandState = nSeed; }

LocalDateTime GetLocalDateTime() {
    LocalDateTime t;
    if (IsVirtualClock()) {
        const DWORD s = TimeGetTime() / 1000;
        t.nDay = 1 + int(s / 86400 % 28);
        t.nHour = int(s / 3600 % 24);
        t.nMinute = int(s / 60 % 60);
        t.nSecond = int(s % 60);
        return t;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local)) return t;
    t.nYear = local.tm_year + 1900;
    t.nMonth = local.tm_mon + 1;
    t.nDay = local.tm_mday;
    t.nHour = local.tm_hour;
    t.nMinute = local.tm_min;
    t.nSecond = local.tm_sec;
    return t;
}
