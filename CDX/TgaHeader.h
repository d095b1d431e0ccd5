// The 18-byte header that starts every TGA file, read by the picture loader and by the
// run-length pictures the game draws directly.
#pragma once
#include <cstddef>
#include "platform/Base.h"
#include "platform/Stream.h"

struct TgaFileHeader {
    BYTE nIdLength = 0;
    BYTE nColorMapType = 0;
    BYTE nImageType = 0;
    WORD nColorMapFirst = 0;
    WORD nColorMapLength = 0;
    BYTE nColorMapBits = 0;
    WORD nXOrigin = 0;
    WORD nYOrigin = 0;
    WORD nWidth = 0;
    WORD nHeight = 0;
    BYTE nPixelDepth = 0;
    BYTE nDescriptor = 0;
};

// Reads the header (little-endian) at the reader's position; false when it is cut short.
inline bool ReadTgaHeader(CByteReader& reader, TgaFileHeader* pHeader) {
    TgaFileHeader& h = *pHeader;
    reader.ReadU8(&h.nIdLength);
    reader.ReadU8(&h.nColorMapType);
    reader.ReadU8(&h.nImageType);
    reader.ReadU16(&h.nColorMapFirst);
    reader.ReadU16(&h.nColorMapLength);
    reader.ReadU8(&h.nColorMapBits);
    reader.ReadU16(&h.nXOrigin);
    reader.ReadU16(&h.nYOrigin);
    reader.ReadU16(&h.nWidth);
    reader.ReadU16(&h.nHeight);
    reader.ReadU8(&h.nPixelDepth);
    reader.ReadU8(&h.nDescriptor);
    return !reader.Failed();
}

// Bytes of one colour-map entry (an entry size of 15 bits counts as 16).
inline size_t TgaMapEntryBytes(const TgaFileHeader& h) {
    return size_t(h.nColorMapBits == 15 ? 16 : h.nColorMapBits) / 8;
}
