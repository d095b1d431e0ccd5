#include "tools/gamekit/PkgWriters.h"

#include <algorithm>

#include "platform/Stream.h"

namespace {

bool IndexLess(const std::string& a, const std::string& b) {
    auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : int(c); };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) {
        return fold(static_cast<unsigned char>(x)) < fold(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::vector<std::uint8_t> BuildPkg(std::vector<PkgEntryData> entries, bool bSort, unsigned nSizeUnit) {
    if (bSort)
        std::stable_sort(entries.begin(), entries.end(),
                         [](const PkgEntryData& a, const PkgEntryData& b) { return IndexLess(a.strName, b.strName); });
    if (nSizeUnit == 0) nSizeUnit = 1;
    size_t nIndex = 4;
    for (const auto& e : entries) nIndex += e.strName.size() + 1 + 8;
    CByteWriter w;
    w.WriteU32(std::uint32_t(entries.size()));
    std::uint32_t nOffset = std::uint32_t(nIndex);
    for (const auto& e : entries) {
        const std::uint32_t nPadded = std::uint32_t((e.bytes.size() + nSizeUnit - 1) / nSizeUnit * nSizeUnit);
        w.WriteText(e.strName);
        w.WriteU8(0);
        w.WriteU32(nOffset);
        w.WriteU32(nPadded / nSizeUnit);
        nOffset += nPadded;
    }
    for (const auto& e : entries) {
        w.WriteBytes(e.bytes.data(), e.bytes.size());
        for (size_t n = e.bytes.size(); n % nSizeUnit != 0; ++n) w.WriteU8(0);
    }
    return w.TakeBytes();
}

std::vector<std::uint8_t> BuildEffectPkg(const std::vector<std::vector<std::vector<std::uint8_t>>>& effects) {
    std::vector<const std::vector<std::uint8_t>*> frames;
    CByteWriter head;
    head.WriteU32(std::uint32_t(effects.size()));
    for (const auto& effect : effects) {
        head.WriteU32(std::uint32_t(effect.size()));
        head.WriteU32(std::uint32_t(frames.size()));
        for (const auto& f : effect) frames.push_back(&f);
    }
    std::uint32_t nOffset = std::uint32_t(head.Size() + frames.size() * 8);
    for (const auto* f : frames) head.WriteU32(std::uint32_t(f->size()));
    for (const auto* f : frames) {
        head.WriteU32(nOffset);
        nOffset += std::uint32_t(f->size());
    }
    for (const auto* f : frames) head.WriteBytes(f->data(), f->size());
    return head.TakeBytes();
}

std::vector<std::uint8_t> BuildNpcPkg(const NpcPkgModel& model) {
    // The index first (counts, then offsets and sizes of existing actions), then the frames.
    size_t nIndex = 0;
    for (int s = 0; s < kNpcSculptCount; ++s)
        for (int a = 0; a < kNpcActionCount; ++a) {
            auto it = model.find({s, a});
            nIndex += 4;
            if (it != model.end() && it->second.nCount > 0) nIndex += size_t(it->second.nCount) * 8 * 8;
        }
    CByteWriter index, data;
    for (int s = 0; s < kNpcSculptCount; ++s)
        for (int a = 0; a < kNpcActionCount; ++a) {
            auto it = model.find({s, a});
            const int nCount = it == model.end() ? 0 : it->second.nCount;
            index.WriteI32(nCount);
            if (nCount <= 0) continue;
            std::vector<std::uint32_t> offsets, sizes;
            for (int e = 0; e < 8 * nCount; ++e) {
                const std::vector<std::uint8_t>* pFrame =
                    size_t(e) < it->second.frames.size() ? &it->second.frames[size_t(e)] : nullptr;
                if (!pFrame || pFrame->empty()) {
                    offsets.push_back(0);
                    sizes.push_back(0);
                    continue;
                }
                offsets.push_back(std::uint32_t(nIndex + data.Size()));
                sizes.push_back(std::uint32_t(pFrame->size()));
                data.WriteBytes(pFrame->data(), pFrame->size());
            }
            for (auto o : offsets) index.WriteU32(o);
            for (auto z : sizes) index.WriteU32(z);
        }
    index.WriteBytes(data.Bytes().data(), data.Size());
    return index.TakeBytes();
}
