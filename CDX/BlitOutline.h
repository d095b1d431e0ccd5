// The pixels an outline blit paints, found from a bit mask of the source's opaque
// pixels and kept with the source, so that a picture outlined at the same place frame
// after frame (the talk text) is outlined again only when its pixels change. Internal
// to the blit sources.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/Base.h"

// One outline blit after clipping: the source rectangle's first pixel and size, where it
// lands, the destination's size (the outline may spill one pixel past the rectangle
// where the destination has room), the key and the depth.
struct OutlineGeometry {
    int x = 0, y = 0;    // destination of the rectangle's first pixel
    int w = 0, h = 0;    // rectangle size
    int nSrcLeft = 0, nSrcTop = 0;
    int nDstWidth = 0, nDstHeight = 0;
    DWORD dwKey = 0;
    DWORD dwBpp = 0;
    bool operator==(const OutlineGeometry&) const = default;
};

class COutlineSpans {
public:
    struct Span {
        int y;
        int x0, x1;  // destination columns [x0, x1)
    };

    // Finds the outline of g on the source pixels whose rectangle starts at pSrc (rows
    // nSrcPitch bytes apart); nGeneration is the pixels' generation it belongs to.
    COutlineSpans(const BYTE* pSrc, int nSrcPitch, const OutlineGeometry& g, std::uint64_t nGeneration);

    bool Matches(const OutlineGeometry& g, std::uint64_t nGeneration) const {
        return nGeneration == m_nGeneration && g == m_geometry;
    }
    // Paints the outline onto the destination pixels (pDstBits its pixel (0, 0)); at 32
    // bits the fourth byte of each pixel stays.
    void Paint(BYTE* pDstBits, int nDstPitch, DWORD dwColour) const;
    const std::vector<Span>& Spans() const { return m_spans; }

private:
    OutlineGeometry m_geometry;
    std::uint64_t m_nGeneration;
    std::vector<Span> m_spans;
};
