// Wave files and synthesised sounds for the sample game and the tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// 16-bit mono samples of a sine tone (amplitude 0..1) with 5 ms fades at both ends.
std::vector<std::int16_t> SynthTone(double dFrequency, double dSeconds, int nRate, double dAmplitude = 0.5);
// A noise burst with a falling envelope (seed makes it repeatable).
std::vector<std::int16_t> SynthNoise(double dSeconds, int nRate, unsigned nSeed, double dAmplitude = 0.5);
// A pitch sweep from f0 to f1.
std::vector<std::int16_t> SynthSweep(double f0, double f1, double dSeconds, int nRate, double dAmplitude = 0.5);

// Bytes of a RIFF WAVE file with 16-bit PCM (interleaved when nChannels is 2).
std::vector<std::uint8_t> BuildWav16(const std::vector<std::int16_t>& samples, int nRate, int nChannels);
// The same with 8-bit unsigned samples converted from the 16-bit ones.
std::vector<std::uint8_t> BuildWav8(const std::vector<std::int16_t>& samples, int nRate, int nChannels);
// A wave file with extra chunks: "fact" and "LIST" before "data" when bExtraChunks.
std::vector<std::uint8_t> BuildWavWithChunks(const std::vector<std::int16_t>& samples, int nRate, bool bExtraChunks);
