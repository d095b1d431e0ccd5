// Vector forms of the blend loops, written once over a vector type V (128-bit or
// 256-bit) and included by one source file per instruction set. Each loop handles
// whole vectors of pixels and leaves the rest of a row to the per-pixel rule, so the
// pixels are exactly those of the reference.
//
// Blends use s + ((d - s) * a >> 8) = (s * (256 - a) + d * a) >> 8, which holds for
// every integer s, d and 0 <= a <= 256 (the shift rounds down either way) and keeps
// each product inside an unsigned 16-bit lane.

namespace {

template <class V>
using Vec = typename V::Vec;

template <class V>
inline Vec<V> Select(Vec<V> keep, Vec<V> dst, Vec<V> val) {
    // keep lanes (all ones) take dst, the others val.
    return V::Or(V::And(keep, dst), V::AndNot(keep, val));
}

// ---- 15 and 16 bits: V::kBytes / 2 pixels per vector, one pixel per 16-bit lane ----

template <class V, int D>
struct Fields16 {
    static constexpr int kRs = PixelTraits<D>::kRedShift, kGm = PixelTraits<D>::kGreenMask;
    static inline void Split(Vec<V> p, Vec<V>& b, Vec<V>& g, Vec<V>& r) {
        b = V::And(p, V::Set16(0x1F));
        g = V::And(V::template Srl16<5>(p), V::Set16(kGm));
        r = V::And(V::template Srl16<kRs>(p), V::Set16(0x1F));
    }
    static inline Vec<V> Join(Vec<V> b, Vec<V> g, Vec<V> r) {
        return V::Or(V::Or(b, V::template Sll16<5>(g)), V::template Sll16<kRs>(r));
    }
};

// (x * wx + y * wy) >> 8 in 16-bit lanes.
template <class V>
inline Vec<V> Mix16(Vec<V> x, Vec<V> wx, Vec<V> y, Vec<V> wy) {
    return V::template Srl16<8>(V::Add16(V::Mul16(x, wx), V::Mul16(y, wy)));
}

template <class V, int Op, int D>
inline Vec<V> Blend16(Vec<V> s, Vec<V> d, Vec<V> m, const BlitRows& r) {
    using F = Fields16<V, D>;
    Vec<V> out;
    if constexpr (Op == kOpCopy || Op == kOpCopyKeyed) {
        out = s;
    } else if constexpr (Op == kOpHalfAlpha || Op == kOpHalfAlphaKeyed) {
        const Vec<V> h = V::Set16(int(PixelTraits<D>::kHalfMask));
        out = V::Add16(V::And(V::template Srl16<1>(d), h), V::And(V::template Srl16<1>(s), h));
    } else {
        Vec<V> sb, sg, sr, db, dg, dr;
        F::Split(s, sb, sg, sr);
        if constexpr (Op == kOpFaded) {
            const Vec<V> l = V::Set16(int(r.dwValue));
            out = F::Join(V::template Srl16<8>(V::Mul16(sb, l)), V::template Srl16<8>(V::Mul16(sg, l)),
                          V::template Srl16<8>(V::Mul16(sr, l)));
        } else {
            F::Split(d, db, dg, dr);
            if constexpr (Op == kOpMax) {
                out = F::Join(V::Max16(sb, db), V::Max16(sg, dg), V::Max16(sr, dr));
            } else {
                Vec<V> ws, wd;  // weights of source and destination
                if constexpr (Op == kOpAlphaMask) {
                    ws = m;
                    wd = V::Sub16(V::Set16(256), m);
                } else {
                    wd = V::Set16(int(r.dwValue));
                    ws = V::Set16(256 - int(r.dwValue));
                }
                out = F::Join(Mix16<V>(sb, ws, db, wd), Mix16<V>(sg, ws, dg, wd), Mix16<V>(sr, ws, dr, wd));
            }
        }
    }
    if constexpr (Op == kOpCopyKeyed || Op == kOpHalfAlphaKeyed || Op == kOpAlphaKeyed)
        out = Select<V>(V::CmpEq16(s, V::Set16(int(r.dwKey & 0xFFFF))), d, out);
    return out;
}

// Rows narrower than a vector of this set go to the 128-bit set, and rows narrower
// than that pixel by pixel. A row's last pixels are done by one more vector ending at
// the row's end; its source and destination are read before the row is written, so the
// pixels it shares with the vector before it come out the same.
template <class V, int Op, int D>
void BlendRows16(const BlitRows& r) {
    constexpr int N = V::kBytes / 2;
    constexpr bool bNeedDst = Op != kOpCopy && Op != kOpFaded;
    if constexpr (V::kBytes > 16) {
        if (r.nWidth < N) {
            Sse2BlitKernels().aOps[Op][D == 15 ? kDepth15 : kDepth16](r);
            return;
        }
    }
    const int nLast = r.nWidth - N;
    for (int y = 0; y < r.nHeight; ++y) {
        const BYTE* s = r.pSrc + std::ptrdiff_t(y) * r.nSrcPitch;
        BYTE* d = r.pDst + std::ptrdiff_t(y) * r.nDstPitch;
        const BYTE* m = r.pMask ? r.pMask + std::ptrdiff_t(y) * r.nMaskPitch : nullptr;
        if (nLast < 0) {
            BlendSpan<Op, D>(s, d, m, 0, r.nWidth, r);
            continue;
        }
        const Vec<V> ls = V::Load(s + nLast * 2);
        const Vec<V> ld = bNeedDst ? V::Load(d + nLast * 2) : V::Zero();
        const Vec<V> lm = Op == kOpAlphaMask ? V::LoadMask16(m + nLast) : V::Zero();
        int x = 0;
        for (; x + N <= r.nWidth; x += N) {
            const Vec<V> vs = V::Load(s + x * 2);
            const Vec<V> vd = bNeedDst ? V::Load(d + x * 2) : V::Zero();
            Vec<V> vm = V::Zero();
            if constexpr (Op == kOpAlphaMask) vm = V::LoadMask16(m + x);
            V::Store(d + x * 2, Blend16<V, Op, D>(vs, vd, vm, r));
        }
        if (x < r.nWidth) V::Store(d + nLast * 2, Blend16<V, Op, D>(ls, ld, lm, r));
    }
}

// ---- 32 bits: V::kBytes / 4 pixels per vector ----

template <class V>
inline Vec<V> KeepFourthByte(Vec<V> d, Vec<V> out) {
    return Select<V>(V::Set32(0xFF000000u), d, out);
}

// (x * wx + y * wy) >> 8 per byte, through 16-bit lanes; the weights are given per
// 16-bit lane for the low and the high half of the bytes.
template <class V>
inline Vec<V> Mix8(Vec<V> x, Vec<V> wxLo, Vec<V> wxHi, Vec<V> y, Vec<V> wyLo, Vec<V> wyHi) {
    const Vec<V> z = V::Zero();
    const Vec<V> lo = Mix16<V>(V::UnpackLo8(x, z), wxLo, V::UnpackLo8(y, z), wyLo);
    const Vec<V> hi = Mix16<V>(V::UnpackHi8(x, z), wxHi, V::UnpackHi8(y, z), wyHi);
    return V::PackUS16(lo, hi);
}

template <class V, int Op>
inline Vec<V> Blend32(Vec<V> s, Vec<V> d, Vec<V> m, const BlitRows& r) {
    Vec<V> out;
    if constexpr (Op == kOpCopy || Op == kOpCopyKeyed) {
        out = s;
    } else if constexpr (Op == kOpHalfAlpha || Op == kOpHalfAlphaKeyed) {
        const Vec<V> h = V::Set32(0x7F7F7Fu);
        out = V::Add16(V::And(V::template Srl32<1>(d), h), V::And(V::template Srl32<1>(s), h));
        out = V::Or(out, V::And(d, V::Set32(0xFF000000u)));
    } else if constexpr (Op == kOpMax) {
        out = KeepFourthByte<V>(d, V::MaxU8(s, d));
    } else if constexpr (Op == kOpFaded) {
        const Vec<V> l = V::Set16(int(r.dwValue)), z = V::Zero();
        out = KeepFourthByte<V>(d, V::PackUS16(V::template Srl16<8>(V::Mul16(V::UnpackLo8(s, z), l)),
                                               V::template Srl16<8>(V::Mul16(V::UnpackHi8(s, z), l))));
    } else if constexpr (Op == kOpAlphaMask) {
        const Vec<V> z = V::Zero(), full = V::Set16(256);
        const Vec<V> mLo = V::UnpackLo8(m, z), mHi = V::UnpackHi8(m, z);
        out = KeepFourthByte<V>(d, Mix8<V>(s, mLo, mHi, d, V::Sub16(full, mLo), V::Sub16(full, mHi)));
    } else {
        const Vec<V> wd = V::Set16(int(r.dwValue)), ws = V::Set16(256 - int(r.dwValue));
        out = KeepFourthByte<V>(d, Mix8<V>(s, ws, ws, d, wd, wd));
    }
    if constexpr (Op == kOpCopyKeyed) {
        out = Select<V>(V::CmpEq32(s, V::Set32(r.dwKey)), d, out);
    } else if constexpr (Op == kOpHalfAlphaKeyed || Op == kOpAlphaKeyed) {
        const Vec<V> k = V::Set32(0xFFFFFFu);
        out = Select<V>(V::CmpEq32(V::And(s, k), V::Set32(r.dwKey & 0xFFFFFFu)), d, out);
    }
    return out;
}

template <class V, int Op>
void BlendRows32(const BlitRows& r) {
    constexpr int N = V::kBytes / 4;
    constexpr bool bNeedDst = Op != kOpCopy;
    if constexpr (V::kBytes > 16) {
        if (r.nWidth < N) {
            Sse2BlitKernels().aOps[Op][kDepth32](r);
            return;
        }
    }
    const int nLast = r.nWidth - N;
    for (int y = 0; y < r.nHeight; ++y) {
        const BYTE* s = r.pSrc + std::ptrdiff_t(y) * r.nSrcPitch;
        BYTE* d = r.pDst + std::ptrdiff_t(y) * r.nDstPitch;
        const BYTE* m = r.pMask ? r.pMask + std::ptrdiff_t(y) * r.nMaskPitch : nullptr;
        if (nLast < 0) {
            BlendSpan<Op, 32>(s, d, m, 0, r.nWidth, r);
            continue;
        }
        const Vec<V> ls = V::Load(s + nLast * 4);
        const Vec<V> ld = bNeedDst ? V::Load(d + nLast * 4) : V::Zero();
        const Vec<V> lm = Op == kOpAlphaMask ? V::LoadMask32(m + nLast) : V::Zero();
        int x = 0;
        for (; x + N <= r.nWidth; x += N) {
            const Vec<V> vs = V::Load(s + x * 4);
            const Vec<V> vd = bNeedDst ? V::Load(d + x * 4) : V::Zero();
            Vec<V> vm = V::Zero();
            if constexpr (Op == kOpAlphaMask) vm = V::LoadMask32(m + x);
            V::Store(d + x * 4, Blend32<V, Op>(vs, vd, vm, r));
        }
        if (x < r.nWidth) V::Store(d + nLast * 4, Blend32<V, Op>(ls, ld, lm, r));
    }
}

// The table of one instruction set: 15, 16 and 32 bits vectorised, 24 bits by the
// per-pixel rule (three-byte pixels do not fill lanes evenly).
template <class V>
BlitKernels MakeVectorKernels(const char* pszName) {
    BlitKernels k{};
    k.pszName = pszName;
#define GAME_BLIT_ROW(op)                                                                       \
    k.aOps[op][kDepth15] = BlendRows16<V, op, 15>;                                              \
    k.aOps[op][kDepth16] = BlendRows16<V, op, 16>;                                              \
    k.aOps[op][kDepth24] = BlendRowsScalar<op, 24>;                                             \
    k.aOps[op][kDepth32] = BlendRows32<V, op>;
    GAME_BLIT_ROW(kOpCopy)
    GAME_BLIT_ROW(kOpCopyKeyed)
    GAME_BLIT_ROW(kOpHalfAlpha)
    GAME_BLIT_ROW(kOpHalfAlphaKeyed)
    GAME_BLIT_ROW(kOpAlpha)
    GAME_BLIT_ROW(kOpAlphaKeyed)
    GAME_BLIT_ROW(kOpAlphaMask)
    GAME_BLIT_ROW(kOpMax)
    GAME_BLIT_ROW(kOpFaded)
#undef GAME_BLIT_ROW
    for (int nDepth = 0; nDepth < kDepthCount; ++nDepth) k.aOps[kOpCopy][nDepth] = FastCopyKernel(nDepth);
    k.pStretch = StretchFast;
    return k;
}

}  // namespace
