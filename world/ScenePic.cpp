#include "world/ScenePic.h"

#include <string>
#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/DebugLog.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "shell/ShellGlobals.h"
#include "world/MapFile.h"
#include "world/SceneHost.h"

namespace {

// Pure blue in 16-bit colour: a small tile whose top-left pixel has it is keyed.
constexpr DWORD kSmallTileKey = 0x001F;
constexpr size_t kCopyLimit = size_t(64) << 20;

// Copies the loose picture into "pic1" once, for the option that collects the
// pictures a play-through uses.
void CopyToPic1(const std::string& strSource, const std::string& strName) {
    const std::string strTarget = "pic1\\" + strName;
    if (FileExists(strTarget.c_str())) return;
    // "pic1" and the name's own sub-folders, each made in turn.
    for (size_t n = strTarget.find_first_of("\\/"); n != std::string::npos; n = strTarget.find_first_of("\\/", n + 1))
        if (!MakeDirectory(strTarget.substr(0, n).c_str())) return;
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(strSource.c_str(), kCopyLimit, &bytes)) WriteFileAtomic(strTarget.c_str(), bytes);
}

}  // namespace

CScenePic::CScenePic() { bFromPackage = SceneHost().PicturesFromPackages() ? 1 : 0; }

CScenePic::~CScenePic() = default;

void CScenePic::Read(const ScenePicRecord& r) {
    nUseCount = r.nUseCount < 0 ? 0 : r.nUseCount;
    nLayer = r.nLayer;
    nFrameCount = r.nFrameCount;
    szFrame = SIZE{r.nFrameWidth, r.nFrameHeight};
    szFootprint = SIZE{r.nFootprintWidth, r.nFootprintHeight};
    ptFootprintOffset = POINT{r.nFootprintOffsetX, r.nFootprintOffsetY};
    ptDrawOffset = POINT{r.nDrawOffsetX, r.nDrawOffsetY};
    nKept8 = r.nKept8;
    nKept9 = r.nKept9;
    strName = r.strName;
}

void CScenePic::InitBuiltIn(const char* pszName, int nFrameWidth, int nFrameHeight, POINT ptOffset, int nPicLayer,
                            int nFrames, POINT ptDraw) {
    strName = pszName;
    szFrame = SIZE{nFrameWidth, nFrameHeight};
    szFootprint = SIZE{1, 1};
    ptFootprintOffset = ptOffset;
    nLayer = nPicLayer;
    nFrameCount = nFrames;
    ptDrawOffset = ptDraw;
    bBuiltIn = true;
}

bool CScenePic::LoadSurface() {
    if (strName.empty() || !pScreen || bLoadFailed) return false;
    timeIdleTest = timeDrawn = TimeGetTime();
    SetGameFolderCurrent();
    auto pNew = std::make_unique<CDXSurface>();
    const bool bInside = SceneHost().GetSceneNumber() >= 100;
    // A picture that does not load is said once and not tried again each frame.
    bLoadFailed = true;
    if (bBuiltIn) {
        if (pNew->CreateFromImageFile(pScreen, strName.c_str()) != 1) return false;
    } else if (!bFromPackage) {
        const std::string strPath = std::string(bInside ? "pic-inside\\" : "pic\\") + strName;
        if (SceneHost().CopyPictures()) CopyToPic1(strPath, strName);
        const bool bExists = FileExists(strPath.c_str());
        if (!bExists || pNew->CreateFromImageFile(pScreen, strPath.c_str()) != 1) {
            ReportFileProblem(TextToUtf8(strPath) + (bExists ? " is damaged or not a picture" : " is missing") +
                              "; the scene's objects that use it are not drawn");
            return false;
        }
    } else {
        pSurface.reset();
        CPkgFile* pPkg = nullptr;
        if (pBitmapData) pPkg = bInside ? pBitmapData->GetSceneInsidePkg() : pBitmapData->GetScenePkg();
        int nSize = 0;
        FILE* pStream = pPkg ? pPkg->SeekPicture(strName.c_str(), &nSize) : nullptr;
        if (pStream) {
            if (pNew->CreateFromStream(pScreen, DWORD(nSize), pStream) != 1) {
                pPkg->ReportNotPicture(strName.c_str());
                return false;
            }
        } else if (pNew->CreateFromImageFile(pScreen, "LITTEMOUSE") != 1) {
            return false;
        }
    }
    bLoadFailed = false;
    pNew->SetColorKeyFromCorner();
    pSurface = std::move(pNew);
    return true;
}

bool CScenePic::FrameRect(int nFrame, RECT* pRect) const {
    const int nFrames = DrawnFrameCount();
    if (!pSurface || nFrame < 0 || nFrame >= nFrames) return false;
    const int w = pSurface->GetWidth() / nFrames;
    *pRect = RECT{nFrame * w, 0, (nFrame + 1) * w, pSurface->GetHeight()};
    return w > 0;
}

void CScenePic::DrawFrame(int x, int y, int nFrame) {
    timeDrawn = timeIdleTest;
    if (!pSurface && !LoadSurface()) return;
    RECT rc;
    if (pBack && FrameRect(nFrame, &rc)) pSurface->BlitKeyed(pBack, x, y, &rc);
}

void CScenePic::DrawSmall(int x, int y, int nFrame) {
    timeDrawn = timeIdleTest;
    if (!pSurface && !LoadSurface()) return;
    RECT rc;
    if (!pBack || !FrameRect(nFrame, &rc)) return;
    bool bKeyed = false;
    if (!Failed(pSurface->Lock())) {
        bKeyed = pSurface->GetPixel(0, 0) == kSmallTileKey;
        pSurface->Unlock();
    }
    if (bKeyed) pSurface->BlitKeyed(pBack, x, y, &rc);
    else pSurface->BlitOpaque(pBack, x, y, &rc);
}

void CScenePic::DrawPlain(CDXSurface* pDest, int x, int y, int nFrame) {
    if (!pSprite || !pDest) return;
    pSprite->SetFrame(DWORD(nFrame));
    pSprite->SetPos(x + ptDrawOffset.x, y + ptDrawOffset.y);
    pSprite->Draw(pDest, 0, 0, BLT_HALFALPHAKEYED);
}

bool CScenePic::HitTestPixel(int x, int y, int nFrame) {
    const int px = x - ptDrawOffset.x, py = y - ptDrawOffset.y;
    if (ptDrawOffset.x < 0 || ptDrawOffset.y < 0 || px < 0 || py < 0) return false;
    RECT rc;
    if (!FrameRect(nFrame, &rc) || px >= rc.right - rc.left || py >= rc.bottom) return false;
    if (Failed(pSurface->Lock())) return false;
    const bool bOpaque = pSurface->GetPixel(rc.left + px, py) != pSurface->GetColorKey();
    pSurface->Unlock();
    return bOpaque;
}

void CScenePic::ReleaseIfIdle() {
    timeIdleTest = TimeGetTime();
    if (timeIdleTest - timeDrawn <= kPictureIdleMs) return;
    if (pSurface) pSurface.reset();
    else pSprite.reset();
}
