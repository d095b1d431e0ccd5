// The index of the effect-frame package "Effect.pkg": per effect its frame count and
// first frame, per frame of the whole package its size and offset. The picture store
// and the package tool read it through the same reader.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include "platform/Base.h"

struct EffectIndex {
    std::vector<DWORD> frameCount, firstFrame;  // per effect
    std::vector<DWORD> frameSize, frameOffset;  // per frame
    long nFileLength = 0;

    // Whether frame n has bytes and they lie inside the file.
    bool FrameInFile(size_t n) const {
        return frameSize[n] != 0 && std::uint64_t(frameOffset[n]) + frameSize[n] <= std::uint64_t(nFileLength);
    }
    // Frames whose bytes lie past the end of the file (an empty frame is no damage).
    size_t CountMissingFrames() const;
};

// Reads the index from the start of an open stream; false with the reason when the
// counts do not fit in the file.
bool ReadEffectIndex(FILE* pStream, EffectIndex* pIndex, std::string* pError);
