// A benchmark of one call that notes its microseconds of processor time per call under
// its name, for the tables the benchmark programs print after the runs. Processor time,
// because the machine may be shared: other work stretches the wall clock, not this.
#pragma once
#include <benchmark/benchmark.h>

#include <ctime>
#include <functional>
#include <map>
#include <string>

// This thread's processor time in seconds: the machine may be shared, and a frame runs
// on one core, so other work does not stretch it as it does the wall clock.
inline double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Microseconds per call of each benchmark registered with Timed, by name.
inline std::map<std::string, double>& TimedMicros() {
    static std::map<std::string, double> micros;
    return micros;
}

// Registers a benchmark that runs call for at least half a second.
inline void Timed(const std::string& strName, std::function<void()> call) {
    benchmark::RegisterBenchmark(strName.c_str(),
                                 [=](benchmark::State& state) {
                                     const double t0 = ThreadCpuSeconds();
                                     for (auto _ : state) call();
                                     const double fSeconds = ThreadCpuSeconds() - t0;
                                     if (state.iterations() > 0)
                                         TimedMicros()[strName] = fSeconds * 1e6 / double(state.iterations());
                                 })
        ->MinTime(0.5);
}
