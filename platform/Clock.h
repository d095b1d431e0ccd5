// Time and chance for the whole game. Under the headless backend the clock is virtual:
// it advances a fixed step per presented frame (and a millisecond per idle poll), so a
// run repeats exactly.
#pragma once
#include "platform/Base.h"

// Milliseconds since start, unsigned 32-bit, wrapping.
DWORD TimeGetTime();
// Waits (or, virtually, advances the clock) for ms milliseconds.
void SleepMs(DWORD ms);
bool IsVirtualClock();
// Switches to (or from) the virtual clock starting at dwStart; dwFrameStep is added per frame.
void UseVirtualClock(bool bVirtual, DWORD dwStart = 0, DWORD dwFrameStep = 20);
void AdvanceVirtualClock(DWORD ms);
// Holds the virtual clock to real time: whatever advances it then waits until as much
// real time has passed (a headless run that nobody drives idles instead of spinning).
void PaceVirtualClock(bool bPaced);
// Called by the presentation code once per presented frame.
void ClockOnFrame();
// Called by idle polls (key state, empty message queue): advances the virtual clock by 1 ms.
void ClockOnIdlePoll();

// The game's deterministic random generator.
constexpr int GAME_RAND_MAX = 32767;
int Rand();
void Srand(unsigned int nSeed);

// The wall-clock date and time of day (saved games show when they were written).
struct LocalDateTime {
    int nYear = 2000, nMonth = 1, nDay = 1;
    int nHour = 0, nMinute = 0, nSecond = 0;
};
// The local date and time; under the virtual clock 1 January 2000, 00:00:00 plus the
// virtual clock's seconds, so a run repeats exactly.
LocalDateTime GetLocalDateTime();
