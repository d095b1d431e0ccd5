#include "world/TgaAnimation.h"

#include <cstdio>

#include "gamedata/BitmapData.h"
#include "media/TgaFrame.h"
#include "platform/Clock.h"

CTgaAnimation::CTgaAnimation() = default;
CTgaAnimation::~CTgaAnimation() = default;

int CTgaAnimation::Load(int nGroup, int nRow) {
    for (auto& p : pFrames) p.reset();
    nFrames = 0;
    nCurrent = 0;
    CPkgFile* pPkg = pBitmapData ? pBitmapData->GetVeskPkg() : nullptr;
    for (int i = 0; pPkg && i < kMaxNames && nFrames < kMaxFrames; ++i) {
        char szName[48];
        std::snprintf(szName, sizeof szName, "%02d-%02d%02d.tga", nGroup, nRow + 1, i);
        const int nSize = pPkg->GetSize(szName);
        FILE* pStream = nSize > 0 ? pPkg->Seek(szName) : nullptr;
        if (!pStream) break;
        auto pFrame = std::make_unique<CTgaFrame>();
        if (!pFrame->LoadFromFile(pStream, DWORD(nSize))) {
            pPkg->ReportNotPicture(szName);
            break;
        }
        pFrames[nFrames++] = std::move(pFrame);
    }
    timeNow = timeStep = TimeGetTime();
    return nFrames;
}

void CTgaAnimation::Draw() {
    if (nFrames <= 0) return;
    if (nCurrent < 0 || nCurrent >= nFrames) nCurrent = 0;
    pFrames[nCurrent]->Draw(nullptr, ptPos.x - 64, ptPos.y - 128, 0, 0, 0, 0);
    timeNow = TimeGetTime();
    if (DWORD(timeNow - timeStep) > kFrameTime) {
        timeStep = timeNow;
        nCurrent = nCurrent + 1 < nFrames ? nCurrent + 1 : 0;
    }
}
