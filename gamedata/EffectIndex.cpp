#include "gamedata/EffectIndex.h"

#include "platform/Stream.h"

size_t EffectIndex::CountMissingFrames() const {
    size_t nMissing = 0;
    for (size_t n = 0; n < frameSize.size(); ++n) nMissing += frameSize[n] != 0 && !FrameInFile(n) ? 1 : 0;
    return nMissing;
}

bool ReadEffectIndex(FILE* pStream, EffectIndex* pIndex, std::string* pError) {
    EffectIndex index;
    auto fail = [&](const std::string& why) {
        if (pError) *pError = why;
        return false;
    };
    if (!MeasureStream(pStream, &index.nFileLength)) return fail("cannot measure the file");
    std::vector<std::uint8_t> chunk;
    if (index.nFileLength < 4 || !ReadStreamChunk(pStream, 4, &chunk))
        return fail("file is shorter than 4 bytes");
    CByteReader head(chunk, "Effect.pkg");
    DWORD dwEffects = 0;
    head.ReadU32(&dwEffects);
    const size_t nRest = size_t(index.nFileLength) - 4;
    if (dwEffects > nRest / 8) return fail("effect count " + std::to_string(dwEffects) + " is more than the file holds");
    if (!ReadStreamChunk(pStream, size_t(dwEffects) * 8, &chunk)) return fail("effect records ran short");
    CByteReader records(chunk, "Effect.pkg");
    index.frameCount.resize(dwEffects);
    index.firstFrame.resize(dwEffects);
    std::uint64_t nTotal = 0;
    for (DWORD e = 0; e < dwEffects; ++e) {
        records.ReadU32(&index.frameCount[e]);
        records.ReadU32(&index.firstFrame[e]);
        nTotal += index.frameCount[e];
    }
    if (nTotal > (nRest - size_t(dwEffects) * 8) / 8)
        return fail("frame total " + std::to_string(nTotal) + " is more than the file holds");
    const size_t nFrames = size_t(nTotal);
    if (!ReadStreamChunk(pStream, nFrames * 8, &chunk)) return fail("frame index ran short");
    CByteReader frames(chunk, "Effect.pkg");
    index.frameSize.resize(nFrames);
    index.frameOffset.resize(nFrames);
    for (auto& z : index.frameSize) frames.ReadU32(&z);
    for (auto& o : index.frameOffset) frames.ReadU32(&o);
    *pIndex = std::move(index);
    return true;
}
