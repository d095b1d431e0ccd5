#include "tools/gamekit/WavWriter.h"

#include <algorithm>
#include <cmath>

#include "platform/Stream.h"

namespace {

void Fade(std::vector<std::int16_t>& s, int nRate) {
    size_t n = std::min(s.size() / 2, size_t(nRate / 200));
    for (size_t i = 0; i < n; ++i) {
        double g = double(i) / double(n);
        s[i] = std::int16_t(s[i] * g);
        s[s.size() - 1 - i] = std::int16_t(s[s.size() - 1 - i] * g);
    }
}

void WriteHeader(CByteWriter& w, int nRate, int nChannels, int nBits, std::uint32_t nData, std::uint32_t nExtra) {
    w.WriteText("RIFF");
    w.WriteU32(36 + nExtra + nData);
    w.WriteText("WAVEfmt ");
    w.WriteU32(16);
    w.WriteU16(1);
    w.WriteU16(std::uint16_t(nChannels));
    w.WriteU32(std::uint32_t(nRate));
    w.WriteU32(std::uint32_t(nRate * nChannels * nBits / 8));
    w.WriteU16(std::uint16_t(nChannels * nBits / 8));
    w.WriteU16(std::uint16_t(nBits));
}

}  // namespace

std::vector<std::int16_t> SynthTone(double dFrequency, double dSeconds, int nRate, double dAmplitude) {
    std::vector<std::int16_t> s(size_t(dSeconds * nRate));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = std::int16_t(std::lrint(32767.0 * dAmplitude * std::sin(2.0 * M_PI * dFrequency * double(i) / nRate)));
    Fade(s, nRate);
    return s;
}

std::vector<std::int16_t> SynthNoise(double dSeconds, int nRate, unsigned nSeed, double dAmplitude) {
    std::vector<std::int16_t> s(size_t(dSeconds * nRate));
    std::uint32_t x = nSeed * 2654435761u + 1;
    for (size_t i = 0; i < s.size(); ++i) {
        x = x * 1664525u + 1013904223u;
        double env = 1.0 - double(i) / double(s.size());
        s[i] = std::int16_t(std::lrint((double(int(x >> 16) - 32768)) * dAmplitude * env));
    }
    Fade(s, nRate);
    return s;
}

std::vector<std::int16_t> SynthSweep(double f0, double f1, double dSeconds, int nRate, double dAmplitude) {
    std::vector<std::int16_t> s(size_t(dSeconds * nRate));
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        double f = f0 + (f1 - f0) * double(i) / double(s.size());
        phase += 2.0 * M_PI * f / nRate;
        s[i] = std::int16_t(std::lrint(32767.0 * dAmplitude * std::sin(phase)));
    }
    Fade(s, nRate);
    return s;
}

std::vector<std::uint8_t> BuildWav16(const std::vector<std::int16_t>& samples, int nRate, int nChannels) {
    CByteWriter w;
    std::uint32_t nData = std::uint32_t(samples.size() * 2);
    WriteHeader(w, nRate, nChannels, 16, nData, 0);
    w.WriteText("data");
    w.WriteU32(nData);
    for (std::int16_t v : samples) w.WriteU16(std::uint16_t(v));
    return w.TakeBytes();
}

std::vector<std::uint8_t> BuildWav8(const std::vector<std::int16_t>& samples, int nRate, int nChannels) {
    CByteWriter w;
    std::uint32_t nData = std::uint32_t(samples.size());
    WriteHeader(w, nRate, nChannels, 8, nData + (nData & 1), 0);
    w.WriteText("data");
    w.WriteU32(nData);
    for (std::int16_t v : samples) w.WriteU8(std::uint8_t((v >> 8) + 128));
    if (nData & 1) w.WriteU8(0);
    return w.TakeBytes();
}

std::vector<std::uint8_t> BuildWavWithChunks(const std::vector<std::int16_t>& samples, int nRate, bool bExtraChunks) {
    CByteWriter w;
    std::uint32_t nData = std::uint32_t(samples.size() * 2);
    // fact: 12 bytes; LIST with an odd-length INFO text and its pad byte: 8 + 13 + 1.
    std::uint32_t nExtra = bExtraChunks ? 12 + 22 : 0;
    WriteHeader(w, nRate, 1, 16, nData, nExtra);
    if (bExtraChunks) {
        w.WriteText("fact");
        w.WriteU32(4);
        w.WriteU32(std::uint32_t(samples.size()));
        w.WriteText("LIST");
        w.WriteU32(13);
        w.WriteText("INFOISFT");
        w.WriteU32(1);
        w.WriteU8('x');
        w.WriteU8(0);  // pad to even length
    }
    w.WriteText("data");
    w.WriteU32(nData);
    for (std::int16_t v : samples) w.WriteU16(std::uint16_t(v));
    return w.TakeBytes();
}
