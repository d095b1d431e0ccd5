#include "tools/gamekit/Mp3Writer.h"

#include <lame/lame.h>

#include <algorithm>
#include <strings.h>

#include "platform/Stream.h"

std::vector<std::uint8_t> EncodeMp3(const std::vector<std::int16_t>& samples, int nRate, int nKbps) {
    std::vector<std::uint8_t> out;
    lame_t lame = lame_init();
    if (!lame) return out;
    lame_set_in_samplerate(lame, nRate);
    lame_set_out_samplerate(lame, nRate);
    lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO);
    lame_set_brate(lame, nKbps);
    lame_set_quality(lame, 5);
    lame_set_bWriteVbrTag(lame, 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return out;
    }
    const size_t nChunk = 8192;
    std::vector<unsigned char> buf(nChunk * 5 / 4 + 7200);
    for (size_t i = 0; i < samples.size(); i += nChunk) {
        int n = int(std::min(nChunk, samples.size() - i));
        short* p = const_cast<short*>(samples.data() + i);
        int nOut = lame_encode_buffer(lame, p, p, n, buf.data(), int(buf.size()));
        if (nOut < 0) {
            out.clear();
            lame_close(lame);
            return out;
        }
        out.insert(out.end(), buf.begin(), buf.begin() + nOut);
    }
    int nOut = lame_encode_flush(lame, buf.data(), int(buf.size()));
    if (nOut > 0) out.insert(out.end(), buf.begin(), buf.begin() + nOut);
    lame_close(lame);
    return out;
}

std::vector<std::uint8_t> BuildMusicPackage(std::vector<MusicTrack> tracks) {
    std::sort(tracks.begin(), tracks.end(),
              [](const MusicTrack& a, const MusicTrack& b) { return strcasecmp(a.name.c_str(), b.name.c_str()) < 0; });
    size_t nIndex = 4;
    for (const auto& t : tracks) nIndex += t.name.size() + 1 + 8;
    CByteWriter w;
    w.WriteU32(std::uint32_t(tracks.size()));
    size_t nOffset = nIndex;
    for (const auto& t : tracks) {
        w.WriteText(t.name);
        w.WriteU8(0);
        size_t nPadded = (t.bytes.size() + 3) / 4 * 4;
        w.WriteU32(std::uint32_t(nOffset));
        w.WriteU32(std::uint32_t(nPadded / 4));
        nOffset += nPadded;
    }
    for (const auto& t : tracks) {
        w.WriteBytes(t.bytes.data(), t.bytes.size());
        for (size_t i = t.bytes.size(); i % 4 != 0; ++i) w.WriteU8(0);
    }
    return w.TakeBytes();
}
