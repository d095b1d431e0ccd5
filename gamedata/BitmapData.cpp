#include "gamedata/BitmapData.h"

#include <cstring>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "media/TgaFrame.h"
#include "platform/Files.h"
#include "platform/Stream.h"

CBitmapData* pBitmapData = nullptr;

namespace {

void Log(const char* pszText) {
    if (pDebugLog) pDebugLog->Write(pszText);
}

void MakeGameFolderCurrent() {
    if (pGameData && pGameData->szGamePath[0] != '\0') SetCurrentDirectory(pGameData->szGamePath);
}

std::string Format(const char* pszFormat, int n) {
    char szName[64];
    std::snprintf(szName, sizeof szName, pszFormat, n);
    return szName;
}

}  // namespace

CBitmapData::CBitmapData() : m_pNpcPkg(std::make_unique<CNpcPkg>()) {}

CBitmapData::~CBitmapData() {
    m_pNpcPkg.reset();
    FreeEffectFrames();
    if (m_pEffectStream) std::fclose(m_pEffectStream);
}

bool CBitmapData::Init() {
    Log("Init Bitmap data...\r\n");
    MakeGameFolderCurrent();
    if (!OpenPackages()) return false;
    if (!m_pNpcPkg->Open()) {
        m_strError = m_pNpcPkg->GetError();
        return false;
    }
    if (!LoadItemBitmaps()) return false;
    Log("OK\r\n");
    return true;
}

bool CBitmapData::LoadItemBitmaps() {
    Log("Load Item Bmp...\r\n");
    Log("OK\r\n");
    Log("Load Item Bmp...\r\n");
    return true;
}

bool CBitmapData::OpenPackages() {
    Log("read data file \r\nmenu.pkg...");
    struct Slot {
        const char* pszName;
        std::unique_ptr<CPkgFile>* pPkg;
    };
    const Slot slots[] = {{"menu.pkg", &m_pMenu},
                          {"Scene.pkg", &m_pScene},
                          {"SceneInside.pkg", &m_pSceneInside},
                          {"Vesk.pkg", &m_pVesk},
                          {"Head.pkg", &m_pHead}};
    for (const Slot& slot : slots) {
        *slot.pPkg = std::make_unique<CPkgFile>(slot.pszName);
        if (!(*slot.pPkg)->Open()) {
            m_strError = (*slot.pPkg)->GetError();
            return false;
        }
    }

    Log("Effect.pkg...");
    const char* pszEffects = "Bmp\\Effect.pkg";
    const std::string strPath = pGameData && pGameData->szGamePath[0] ? pGameData->GamePath(pszEffects) : pszEffects;
    auto fail = [&](const std::string& why) {
        m_strError = pszEffects + (": " + why);
        Log("failed\r\n");
        m_effects = EffectIndex{};
        return false;
    };
    m_pEffectStream = OpenFile(strPath.c_str(), "rb");
    if (!m_pEffectStream) return fail(OpenFileError());
    std::string strWhy;
    if (!ReadEffectIndex(m_pEffectStream, &m_effects, &strWhy)) return fail(strWhy);
    ReportFileProblem(DescribeMissingEntries(pszEffects, m_effects.CountMissingFrames(), m_effects.frameSize.size()));
    m_effectFrames.clear();
    m_effectFrames.resize(m_effects.frameSize.size());
    m_badEffectFrames.assign(m_effects.frameSize.size(), false);
    m_bBadEffectSaid = false;
    Log("OK\r\n");
    return true;
}

int CBitmapData::GetEffectFrameCount(int nEffect) const {
    if (nEffect < 0 || size_t(nEffect) >= m_effects.frameCount.size()) return 0;
    return int(m_effects.frameCount[size_t(nEffect)]);
}

int CBitmapData::GetLoadedEffectFrames() const {
    int n = 0;
    for (const auto& p : m_effectFrames) n += p ? 1 : 0;
    return n;
}

bool CBitmapData::LoadEffectFrame(int n) {
    if (n < 0 || size_t(n) >= m_effectFrames.size() || !m_pEffectStream) return false;
    if (m_effectFrames[size_t(n)]) return true;
    if (m_badEffectFrames[size_t(n)] || !m_effects.FrameInFile(size_t(n))) return false;
    const DWORD dwOffset = m_effects.frameOffset[size_t(n)], dwSize = m_effects.frameSize[size_t(n)];
    auto pFrame = std::make_unique<CTgaFrame>();
    if (std::fseek(m_pEffectStream, long(dwOffset), SEEK_SET) != 0 || !pFrame->LoadFromFile(m_pEffectStream, dwSize)) {
        m_badEffectFrames[size_t(n)] = true;
        if (!m_bBadEffectSaid)
            ReportFileProblem("Bmp\\Effect.pkg: frames that do not decode are not drawn; the first: frame " +
                              std::to_string(n) + " at offset " + std::to_string(dwOffset) + " (" +
                              std::to_string(dwSize) + " bytes)");
        m_bBadEffectSaid = true;
        return false;
    }
    m_effectFrames[size_t(n)] = std::move(pFrame);
    return true;
}

int CBitmapData::DrawEffectFrame(int nEffect, int nFrame, int x, int y) {
    // Frame numbers outside the effect, or an effect whose frames pass the package's
    // frame total, draw nothing.
    if (nFrame < 0 || nFrame >= GetEffectFrameCount(nEffect)) return 0;
    const std::uint64_t n = std::uint64_t(m_effects.firstFrame[size_t(nEffect)]) + std::uint64_t(nFrame);
    if (n >= m_effectFrames.size() || !LoadEffectFrame(int(n))) return 0;
    return m_effectFrames[size_t(n)]->Draw(pBack, x, y, 0, 0, 0, 1);
}

void CBitmapData::FreeEffectFrames() {
    for (auto& p : m_effectFrames) p.reset();
}

void CBitmapData::LoadTx(int nFace) {
    MakeGameFolderCurrent();
    std::string strName = Format("TX%03d.bmp", nFace);
    if (!m_pHead || !m_pHead->Contains(strName.c_str())) strName = Format("TX%03d.bmp", 0);
    m_pFace.reset(LoadPkgSprite(m_pHead.get(), strName.c_str(), 148, 148, 1, 1));
    if (!m_pFace) return;
    m_pFace->SetColorKey();
    m_pFace->SetFrame(0);
    m_nFaceKey = nFace;
}

void CBitmapData::DrawTx(int nFace, int x, int y) {
    if (!m_pFace) LoadTx(nFace);
    if (!m_pFace) return;
    m_pFace->SetPos(x, y);
    m_pFace->Draw(pBack, 0, 0, BLT_KEYED);
}

void CBitmapData::FreeTx() {
    m_pFace.reset();
    m_nFaceKey = -1;
}

void CBitmapData::DrawItemIcon(int nItem, int x, int y) {
    if (m_nItemKey == nItem && m_pItemIcon) {
        // The cached icon is drawn where it is asked for: the cursor draws the carried
        // item here every frame, and the item follows the cursor.
        m_pItemIcon->SetPos(x, y);
        m_pItemIcon->Draw(pBack, 0, 0, BLT_KEYED);
        return;
    }
    m_pItemIcon.reset();
    m_nItemKey = -1;
    const std::string strName = Format("Item-%03d.bmp", nItem);
    std::unique_ptr<CDXSprite> pIcon(
        LoadPkgSprite(m_pMenu.get(), strName.c_str(), 134, 134, 1, pPictureHost->GetSurfaceMemory()));
    if (!pIcon) return;
    pIcon->SetColorKey();
    pIcon->SetFrame(0);
    pIcon->SetPos(x, y);
    m_pItemIcon = std::move(pIcon);
    m_nItemKey = nItem;
    m_pItemIcon->Draw(pBack, 0, 0, BLT_KEYED);
}

CDXSurface* LoadPkgSurface(CPkgFile* pPkg, const char* pszName, DWORD dwMemory, bool bCornerKey) {
    if (!pPkg || !pszName || !pScreen) return nullptr;
    int nSize = 0;
    FILE* pStream = pPkg->SeekPicture(pszName, &nSize);
    if (!pStream) return nullptr;
    auto pSurface = std::make_unique<CDXSurface>();
    if (pSurface->CreateFromStream(pScreen, DWORD(nSize), pStream, dwMemory) != 1) {
        pPkg->ReportNotPicture(pszName);
        return nullptr;
    }
    if (bCornerKey) pSurface->SetColorKeyFromCorner();
    return pSurface.release();
}

CDXSprite* LoadPkgSprite(CPkgFile* pPkg, const char* pszName, int nWidth, int nHeight, int nCount, DWORD dwMemory) {
    if (!pPkg || !pszName || !pScreen) return nullptr;
    int nSize = 0;
    FILE* pStream = pPkg->SeekPicture(pszName, &nSize);
    if (!pStream) return nullptr;
    auto pSprite = std::make_unique<CDXSprite>();
    if (pSprite->Create(pScreen, pStream, nWidth, nHeight, nCount, dwMemory) != 1 || !pSprite->GetTile()) {
        pPkg->ReportNotPicture(pszName);
        return nullptr;
    }
    return pSprite.release();
}

CDXSurface* CBitmapData::LoadMenuSurface(const char* pszName) { return LoadPkgSurface(m_pMenu.get(), pszName, 1, true); }

int CBitmapData::DrawCachedIcon(std::unique_ptr<CDXSurface>& pIcon, int& nKey, const char* pszFormat, int nNumber,
                                int x, int y) {
    if (nKey != nNumber || !pIcon) {
        pIcon.reset(LoadMenuSurface(Format(pszFormat, nNumber).c_str()));
        nKey = pIcon ? nNumber : -1;
        if (!pIcon) return 0;
    }
    return pBack ? pIcon->BlitKeyed(pBack, x, y) : 0;
}

int CBitmapData::DrawPropIcon(int nProp, int x, int y) {
    return DrawCachedIcon(m_pPropIcon, m_nPropKey, "DJ%03d.bmp", nProp, x, y);
}

int CBitmapData::DrawJlIcon(int nNumber, int x, int y) {
    return DrawCachedIcon(m_pJlIcon, m_nJlKey, "JL%03d.bmp", nNumber, x, y);
}

int CBitmapData::DrawSkillIconN(int nSkill, int x, int y) {
    return DrawCachedIcon(m_pSkillIconN, m_nSkillNKey, "skill-%02dn.bmp", nSkill, x, y);
}

void CBitmapData::DrawShortcutKey(int nSkill, int x, int y) {
    static const char* const names[5] = {"ShortCutY.bmp", "ShortCutU.bmp", "ShortCutI.bmp", "ShortCutO.bmp",
                                         "ShortCutP.bmp"};
    for (int k = 0; k < 5; ++k) {
        if (pPictureHost->GetHotKeySkill(k) != nSkill) continue;
        if (m_pShortcut[k]) {
            if (pBack) m_pShortcut[k]->BlitHalfAlphaKeyed(pBack, x, y);
            return;
        }
        m_pShortcut[k].reset(LoadMenuSurface(names[k]));
        if (!m_pShortcut[k]) return;
        if (pBack) m_pShortcut[k]->BlitHalfAlphaKeyed(pBack, x, y);
    }
}

int CBitmapData::DrawCharFrame(int nChar, int nAction, int nFrame, int x, int y, int nAddRed, int nAddGreen,
                               int nAddBlue, int nDirection) {
    if (!m_pNpcPkg) return 0;
    const int nCount = m_pNpcPkg->GetFrameCount(nChar, nAction);
    if (nCount <= 0 || nFrame < 0 || nFrame >= nCount || nDirection < 0 || nDirection >= kDirectionCount) return 0;
    const int nEntry = nDirection * nCount + nFrame;
    if (!m_pNpcPkg->LoadFrame(nChar, nAction, nEntry)) return 0;
    CTgaFrame* pFrame = m_pNpcPkg->GetFrame(nChar, nAction, nEntry);
    if (!pFrame || !pBack) return 0;
    const POINT anchor = pPictureHost->GetSculptAnchor(nChar);
    return pFrame->Draw(pBack, x + 200 - anchor.x, y + 170 - anchor.y, nAddRed, nAddGreen, nAddBlue, 0);
}

int CBitmapData::GetCharFrameCount(int nChar, int nAction) const {
    return m_pNpcPkg ? m_pNpcPkg->GetFrameCount(nChar, nAction) : 0;
}
