#include "gamedata/NpcPkg.h"

#include <algorithm>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "gamedata/PkgFile.h"
#include "media/TgaFrame.h"
#include "platform/Files.h"
#include "platform/Stream.h"

namespace {

CPictureHost g_defaultHost;

// Most frames per direction an action may claim.
constexpr int kMaxFramesPerDirection = 4096;

struct Tint {
    int r, g, b;
};

// Tints of the hovered draw and of the tinted draw.
Tint HoverTint(int nMode) {
    switch (nMode) {
    case 1: return {0, 0, 100};
    case 2: return {100, 0, 0};
    default: return {50, 50, 80};
    }
}
Tint PlainTint(int nMode) {
    switch (nMode) {
    case 1: return {0, 0, 100};
    case 2: return {100, 0, 0};
    case 3: return {0, 100, 0};
    default: return {0, 0, 0};
    }
}

}  // namespace

CPictureHost* pPictureHost = &g_defaultHost;

void SetPictureHost(CPictureHost* pHost) { pPictureHost = pHost ? pHost : &g_defaultHost; }

int CPictureHost::GetHotKeySkill(int) const { return -1; }
DWORD CPictureHost::GetSurfaceMemory() const { return 1; }
POINT CPictureHost::GetSculptAnchor(int) const { return POINT{128, 170}; }
int CPictureHost::GetHoverActorId() const { return -1; }

CNpcPkg::CNpcPkg() = default;

CNpcPkg::~CNpcPkg() {
    Close();
    delete m_pWork;
}

void CNpcPkg::Close() {
    m_actions.clear();
    if (m_pStream) std::fclose(m_pStream);
    m_pStream = nullptr;
}

bool CNpcPkg::Open() {
    if (pGameData && pGameData->szGamePath[0] != '\0') SetCurrentDirectory(pGameData->szGamePath);
    SetCurrentDirectory("bmp");
    return OpenAs("npc.pkg", "bmp\\npc.pkg");  // named as the game folder names it
}

bool CNpcPkg::OpenPath(const char* pszPath) { return OpenAs(pszPath, pszPath ? pszPath : ""); }

bool CNpcPkg::OpenAs(const char* pszPath, const std::string& strShown) {
    Close();
    m_strShown = strShown;
    m_bBadFrameSaid = false;
    m_pStream = pszPath ? OpenFile(pszPath, "rb") : nullptr;
    if (!m_pStream) {
        m_strError = strShown + ": " + OpenFileError();
        return false;
    }
    if (!ReadIndex()) {
        m_strError = strShown + ": " + m_strError;
        Close();
        return false;
    }
    size_t nAll = 0, nMissing = 0;
    for (const Action& act : m_actions)
        for (size_t i = 0; i < act.offsets.size(); ++i) {
            ++nAll;
            if (HasPicture(act.offsets[i], act.sizes[i]) && !PictureInFile(act.offsets[i], act.sizes[i])) ++nMissing;
        }
    ReportFileProblem(DescribeMissingEntries(strShown, nMissing, nAll));
    if (!m_pWork && pScreen) {
        m_pWork = new CDXSurface();
        if (Failed(m_pWork->Create(pScreen, 256, 256, 1))) {
            delete m_pWork;
            m_pWork = nullptr;
        } else {
            m_pWork->SetColorKey(0);
        }
    }
    return true;
}

bool CNpcPkg::ReadIndex() {
    if (!MeasureStream(m_pStream, &m_nFileLength)) {
        m_strError = "cannot measure the file";
        return false;
    }
    m_actions.clear();
    m_actions.resize(size_t(kSculptCount) * kActionCount);
    size_t nPos = 0;
    std::vector<std::uint8_t> chunk;
    for (int s = 0; s < kSculptCount; ++s)
        for (int a = 0; a < kActionCount; ++a) {
            const std::string where = "sculpt " + std::to_string(s) + " action " + std::to_string(a);
            std::int32_t nCount = 0;
            if (size_t(m_nFileLength) - nPos < 4 || !ReadStreamChunk(m_pStream, 4, &chunk)) {
                m_strError = where + ": index ran short";
                return false;
            }
            CByteReader head(chunk);
            head.ReadI32(&nCount);
            nPos += 4;
            if (nCount < 0 || nCount > kMaxFramesPerDirection) {
                m_strError = where + ": frame count " + std::to_string(nCount) + " is impossible";
                return false;
            }
            if (nCount == 0) continue;
            const size_t nEntries = size_t(nCount) * kDirectionCount;
            if (size_t(m_nFileLength) - nPos < nEntries * 8 || !ReadStreamChunk(m_pStream, nEntries * 8, &chunk)) {
                m_strError = where + ": " + std::to_string(nEntries) + " frames do not fit in the file";
                return false;
            }
            nPos += nEntries * 8;
            CByteReader reader(chunk);
            Action& act = m_actions[size_t(s) * kActionCount + size_t(a)];
            act.nCount = nCount;
            act.offsets.resize(nEntries);
            act.sizes.resize(nEntries);
            act.frames.resize(nEntries);
            act.bad.assign(nEntries, false);
            act.covered.assign(nEntries, RECT{0, 0, -1, -1});
            for (auto& o : act.offsets) reader.ReadU32(&o);
            for (auto& z : act.sizes) reader.ReadU32(&z);
        }
    return true;
}

bool CNpcPkg::HasPicture(DWORD dwOffset, DWORD dwSize) {
    // Offsets and sizes are stored unsigned; below 1 as signed values means no picture.
    return std::int32_t(dwOffset) >= 1 && std::int32_t(dwSize) >= 1;
}

bool CNpcPkg::PictureInFile(DWORD dwOffset, DWORD dwSize) const {
    return long(dwOffset) <= m_nFileLength - long(dwSize);
}

int CNpcPkg::GetFrameCount(int nSculpt, int nAction) const {
    if (nSculpt < 0 || nSculpt >= kSculptCount || nAction < 0 || nAction >= kActionCount || m_actions.empty()) return 0;
    return m_actions[size_t(nSculpt) * kActionCount + size_t(nAction)].nCount;
}

CTgaFrame* CNpcPkg::GetFrame(int nSculpt, int nAction, int nEntry) const {
    const int nCount = GetFrameCount(nSculpt, nAction);
    if (nEntry < 0 || nEntry >= nCount * kDirectionCount) return nullptr;
    return m_actions[size_t(nSculpt) * kActionCount + size_t(nAction)].frames[size_t(nEntry)].get();
}

bool CNpcPkg::LoadFrame(int nSculpt, int nAction, int nEntry) {
    const int nCount = GetFrameCount(nSculpt, nAction);
    if (nEntry < 0 || nEntry >= nCount * kDirectionCount || !m_pStream) return false;
    Action& act = m_actions[size_t(nSculpt) * kActionCount + size_t(nAction)];
    if (act.frames[size_t(nEntry)]) return true;
    const DWORD dwOffset = act.offsets[size_t(nEntry)], dwSize = act.sizes[size_t(nEntry)];
    if (act.bad[size_t(nEntry)] || !HasPicture(dwOffset, dwSize) || !PictureInFile(dwOffset, dwSize)) return false;
    auto pFrame = std::make_unique<CTgaFrame>();
    if (!ReadFrame(dwOffset, dwSize, pFrame.get())) {
        act.bad[size_t(nEntry)] = true;
        if (!m_bBadFrameSaid)
            ReportFileProblem(m_strShown + ": frames that do not decode are not drawn; the first: " +
                              DescribeEntry(nSculpt, nAction, nEntry));
        m_bBadFrameSaid = true;
        return false;
    }
    act.frames[size_t(nEntry)] = std::move(pFrame);
    return true;
}

std::string CNpcPkg::FindBadFrames() {
    size_t nAll = 0, nBad = 0;
    std::string strFirst;
    for (int s = 0; s < kSculptCount && m_pStream; ++s)
        for (int a = 0; a < kActionCount; ++a) {
            const Action& act = m_actions[size_t(s) * kActionCount + size_t(a)];
            for (size_t e = 0; e < act.offsets.size(); ++e) {
                if (!HasPicture(act.offsets[e], act.sizes[e])) continue;
                ++nAll;
                CTgaFrame frame;
                const bool bGood = PictureInFile(act.offsets[e], act.sizes[e]) && ReadFrame(act.offsets[e], act.sizes[e], &frame);
                if (!bGood && nBad++ == 0)
                    strFirst = DescribeEntry(s, a, int(e));
            }
        }
    if (nBad == 0) return "";
    return std::to_string(nBad) + " of " + std::to_string(nAll) + " frames do not decode; the first: " + strFirst;
}

bool CNpcPkg::ReadFrame(DWORD dwOffset, DWORD dwSize, CTgaFrame* pFrame) {
    return std::fseek(m_pStream, long(dwOffset), SEEK_SET) == 0 && pFrame->LoadFromFile(m_pStream, dwSize);
}

std::string CNpcPkg::DescribeEntry(int nSculpt, int nAction, int nEntry) const {
    const Action& act = m_actions[size_t(nSculpt) * kActionCount + size_t(nAction)];
    return "sculpt " + std::to_string(nSculpt) + " action " + std::to_string(nAction) + " direction " +
           std::to_string(nEntry / act.nCount) + " frame " + std::to_string(nEntry % act.nCount) + " at offset " +
           std::to_string(act.offsets[size_t(nEntry)]) + " (" + std::to_string(act.sizes[size_t(nEntry)]) + " bytes)";
}

CTgaFrame* CNpcPkg::Prepare(int nSculpt, int nAction, int nDirection, int nFrame) {
    const int nCount = GetFrameCount(nSculpt, nAction);
    if (nDirection < 0 || nDirection >= kDirectionCount || nFrame < 0 || nFrame >= nCount) return nullptr;
    const int nEntry = nFrame + nDirection * nCount;
    return LoadFrame(nSculpt, nAction, nEntry) ? GetFrame(nSculpt, nAction, nEntry) : nullptr;
}

bool CNpcPkg::DrawFrame(int nSculpt, int nAction, int nDirection, int nFrame, int x, int y, int nTint, int nCharId) {
    CTgaFrame* pFrame = Prepare(nSculpt, nAction, nDirection, nFrame);
    if (!pFrame) return false;
    const POINT anchor = pPictureHost->GetSculptAnchor(nSculpt);
    if (!pFrame->Draw(pBack, x - anchor.x, y - anchor.y, 0, 0, 0, 0)) return false;
    const int nHover = pPictureHost->GetHoverActorId();
    if (nHover != -1 && nHover == nCharId) {
        const Tint t = HoverTint(nTint);
        return pFrame->Draw(pBack, x - anchor.x, y - anchor.y, t.r, t.g, t.b, 0) != 0;
    }
    return true;
}

bool CNpcPkg::DrawFrameTinted(int nSculpt, int nAction, int nDirection, int nFrame, int x, int y, int nTint) {
    CTgaFrame* pFrame = Prepare(nSculpt, nAction, nDirection, nFrame);
    if (!pFrame) return false;
    const POINT anchor = pPictureHost->GetSculptAnchor(nSculpt);
    const Tint t = PlainTint(nTint);
    return pFrame->Draw(pBack, x - anchor.x, y - anchor.y, t.r, t.g, t.b, 0) != 0;
}

int CNpcPkg::DrawFrameBlended(int nSculpt, int nAction, int nDirection, int nFrame, int x, int y) {
    CTgaFrame* pFrame = Prepare(nSculpt, nAction, nDirection, nFrame);
    if (!pFrame || !m_pWork || !pBack) return -1;
    Action& act = m_actions[size_t(nSculpt) * kActionCount + size_t(nAction)];
    RECT& rc = act.covered[size_t(nFrame + nDirection * act.nCount)];
    // Outside the pixels a frame covers the work surface holds only the key colour
    // after the fill, which the keyed blend skips: only that part is filled and blended.
    if (rc.right < 0) {
        m_pWork->FillRect(0, 0, 256, 256, 0);
        pFrame->Draw(m_pWork, 0, 0, 0, 0, 0, 0);
        rc = FindCovered();
    } else {
        m_pWork->FillRect(rc.left, rc.top, rc.right, rc.bottom, 0);
        pFrame->Draw(m_pWork, 0, 0, 0, 0, 0, 0);
    }
    if (rc.right <= rc.left) return 0;
    const POINT anchor = pPictureHost->GetSculptAnchor(nSculpt);
    RECT rcSource = rc;
    return m_pWork->BlitAlphaKeyed(pBack, x - anchor.x + rc.left, y - anchor.y + rc.top, &rcSource, 178);
}

RECT CNpcPkg::FindCovered() const {
    RECT rc{256, 256, 0, 0};
    if (Failed(m_pWork->Lock())) return RECT{0, 0, 256, 256};
    const BYTE* pBits = m_pWork->GetLockedBits();
    const int nBytes = int(m_pWork->PixelFormat().dwBitsPerPixel + 7) / 8;
    const int w = std::min(m_pWork->GetWidth(), 256), h = std::min(m_pWork->GetHeight(), 256);
    for (int y = 0; pBits && y < h; ++y) {
        const BYTE* pRow = pBits + std::ptrdiff_t(y) * m_pWork->GetPitch();
        for (int x = 0; x < w; ++x) {
            bool bSet = false;
            for (int k = 0; k < nBytes; ++k) bSet |= pRow[x * nBytes + k] != 0;
            if (!bSet) continue;
            rc.left = std::min<LONG>(rc.left, x);
            rc.top = std::min<LONG>(rc.top, y);
            rc.right = std::max<LONG>(rc.right, x + 1);
            rc.bottom = std::max<LONG>(rc.bottom, y + 1);
        }
    }
    m_pWork->Unlock();
    return rc.right > rc.left ? rc : RECT{0, 0, 0, 0};
}
