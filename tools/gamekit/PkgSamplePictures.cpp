#include "tools/gamekit/PkgSamplePictures.h"

#include <algorithm>

#include <cctype>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "tools/gamekit/PkgWriters.h"
#include "tools/gamekit/TgaWriters.h"

namespace {

std::uint32_t Hash(const std::string& s) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : s) h = (h ^ c) * 16777619u;
    return h;
}

// A saturated colour from a number (never the black of colour keys).
std::uint32_t Hue(std::uint32_t n, int a = 255) {
    const int r = 64 + int(n % 7) * 30, g = 64 + int((n / 7) % 7) * 30, b = 64 + int((n / 49) % 7) * 30;
    return Argb(a, r, g, b);
}

// Interface picture names the panels, talk bars and the start-up ask for; each is put
// in menu.pkg and Vesk.pkg so either package finds it.
const char* const kInterfaceTga[] = {
    "ToolBar_BKGround.tga", "ToolBar_Button.tga", "ToolBar_Button[s].tga", "TalkBar.tga", "ItemMenu_BKGround.tga",
    "Item_Button.tga", "Item_Button[s].tga", "ItemBox_Button[s].tga", "SkillMenu_BKGround.tga", "Skill_Button.tga",
    "Skill_Button[s].tga", "SkillBox[s].tga", "StateMenu_BKGround.tga", "TaskMenu_BKGound.tga", "Task_Button.tga",
    "Task_Button[s].tga", "SysMenu_BKGround.tga", "Sys_Button.tga", "Sys_Button[s].tga", "SysSet.tga", "SysSet[s].tga",
    "SysSetMenu_BKGround.tga", "SaveAndLoadMenu_BKGround.tga", "SaveAndLoad_Panel.tga", "SaveGame.tga",
    "SaveGame[s].tga", "LoadGame.tga", "LoadGame[s].tga", "ReturnToGame.tga", "ReturnToGame[s].tga", "OverGame.tga",
    "OverGame[s].tga", "TradeMenu_BKGround.tga", "Menu_Combine_BKGround.tga", "Combine.tga", "Combine[s].tga",
    "OK.tga", "OK[s].tga", "Cancel.tga", "Cancel[s].tga", "Cancel_State.tga", "Cancel_State[s].tga",
    "OKCancel_OK.tga", "OKCancel_OK[s].tga", "OK_Cancel_BKGround1.tga", "Del.tga", "Del[s].tga", "LeftArrow[s].tga",
    "RightArrow[s].tga", "Blood.tga", "Blood[L].tga", "Blood[R].tga", "Mana.tga", "Mana[L].tga", "Mana[R].tga",
    "Handle.tga", "ThrowMoney.tga", "Connect.tga", "ButterFly.tga", "Ball_Down[s].tga", "Ball_Left[s].tga",
    "Ball_Right[s].tga", "Ball_Up[s].tga"};

const char* const kInterfaceBmp[] = {
    "mouse-1.bmp", "mouse-2.bmp", "mouse-3.bmp", "mouse-4.bmp", "ShortCutY.bmp", "ShortCutU.bmp", "ShortCutI.bmp",
    "ShortCutO.bmp", "ShortCutP.bmp", "UpHead.bmp", "ShowMoney.bmp", "MoveText.bmp", "BackUpText.bmp",
    "MadeInofback.bmp", "MadeInOfText.bmp", "EndText.bmp", "MessageBox.bmp", "YesOrNo.bmp", "TimeBar.bmp",
    "FightHead.bmp", "FightVir.bmp", "DecLife.bmp", "OtherLife.bmp", "OtherMana.bmp", "PlayerPos.bmp", "ItemPos.bmp",
    "MainMenu_BKGround.bmp", "MainMenu_Begin.bmp", "MainMenu_Begin[s].bmp", "MainMenu_End.bmp", "MainMenu_End[s].bmp",
    "MainMenu_Maker.bmp", "MainMenu_Maker[s].bmp", "MainMenu_Read.bmp", "MainMenu_Read[s].bmp",
    "MainMenu_SetGame.bmp", "MainMenu_SetGame[s].bmp", "ManufactureButton.bmp", "MenuAmor.bmp", "MenuHead.bmp",
    "MenuInlay.bmp", "MenuManufacture.bmp", "MenuShoot.bmp", "MenuWeapon.bmp", "PutDownItem.bmp", "PutInItem.bmp",
    "Smallpicture.bmp", "Success.bmp", "money.bmp", "head.bmp", "Icon.bmp", "KnockBack.bmp", "RL001.bmp"};

// Size of an interface picture, guessed from its name.
void SizeFor(const std::string& s, int* w, int* h) {
    *w = 96;
    *h = 32;
    if (s.find("BKGround") != std::string::npos || s.find("BKGound") != std::string::npos || s.find("Panel") != std::string::npos) {
        *w = 360;
        *h = 240;
    }
    if (s == "ToolBar_BKGround.tga") { *w = 800; *h = 145; }
    if (s == "TalkBar.tga") { *w = 640; *h = 150; }
    if (s == "MainMenu_BKGround.bmp") { *w = 800; *h = 600; }
    if (s.rfind("ShortCut", 0) == 0) { *w = 32; *h = 32; }
    if (s.find("Arrow") != std::string::npos || s.rfind("Ball_", 0) == 0) { *w = 24; *h = 24; }
}

PkgEntryData Entry(const std::string& name, std::vector<std::uint8_t> bytes) { return PkgEntryData{name, std::move(bytes)}; }

// A cursor strip: five frames side by side on the cursor's key colour (pure green), a
// white-edged shape whose colour pulses from frame to frame. mouse-1 is an arrow with
// its point at the top left, mouse-3 a finger pointing up from the top centre, mouse-2
// and mouse-4 cross-hairs round the centre.
PictureRgba PaintCursorStrip(const std::string& strName, int nSize) {
    PictureRgba pic(nSize * 5, nSize, Argb(255, 0, 255, 0));
    const int nShape = strName[6] - '0';
    for (int f = 0; f < 5; ++f) {
        const std::uint32_t body = Argb(255, 200 - f * 30, 60 + f * 30, 40 + f * 40);
        const std::uint32_t edge = Argb(255, 255, 255, 255);
        auto put = [&](int x, int y, std::uint32_t c) {
            if (x >= 0 && y >= 0 && x < nSize && y < nSize) pic.At(f * nSize + x, y) = c;
        };
        for (int y = 0; y < nSize; ++y)
            for (int x = 0; x < nSize; ++x) {
                bool bIn = false, bEdge = false;
                const int c = nSize / 2;
                if (nShape == 1) {
                    bIn = x <= y && x + y / 2 < nSize * 3 / 4;
                    bEdge = bIn && (x == 0 || x == y || x + y / 2 >= nSize * 3 / 4 - 1);
                } else if (nShape == 3) {
                    const int half = y / 3 + 1;
                    bIn = std::abs(x - c) <= half && y < nSize * 2 / 3;
                    bEdge = bIn && std::abs(x - c) == half;
                } else {
                    bIn = (std::abs(x - c) <= 2 || std::abs(y - c) <= 2) && std::abs(x - c) + std::abs(y - c) > 3;
                    bEdge = bIn && (std::abs(x - c) == 2 || std::abs(y - c) == 2);
                }
                if (bIn) put(x, y, bEdge ? edge : body);
            }
    }
    return pic;
}

PkgEntryData PanelEntry(const std::string& name) {
    if (name.rfind("mouse-", 0) == 0) {
        const int nSize = (name == "mouse-2.bmp" || name == "mouse-3.bmp") ? 30 : 40;
        return Entry(name, BuildBmp(PaintCursorStrip(name, nSize)));
    }
    int w, h;
    SizeFor(name, &w, &h);
    const bool bTga = name.size() > 4 && name.compare(name.size() - 4, 4, ".tga") == 0;
    if (bTga) return Entry(name, BuildRleTga32(PaintSoftPanel(name, w, h)));
    return Entry(name, BuildBmp(PaintPanel(name, w, h)));
}

bool Save(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes, std::string* pError) {
    if (bytes.empty() || !WriteBytesToFile(path.string().c_str(), bytes)) {
        if (pError) *pError = path.string() + ": cannot be written";
        return false;
    }
    return true;
}

}  // namespace

std::string Numbered(const char* pszFormat, int n) {
    char sz[64];
    std::snprintf(sz, sizeof sz, pszFormat, n);
    return sz;
}

PictureRgba PaintPanel(const std::string& strName, int nWidth, int nHeight) {
    const std::uint32_t h = Hash(strName);
    PictureRgba pic(nWidth, nHeight, Hue(h));
    const std::uint32_t stripe = Hue(h / 343 + 5);
    const int nPeriod = 6 + int(h % 11);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x) {
            if (((x + (h & 1 ? y : -y)) % nPeriod + nPeriod) % nPeriod < 2) pic.At(x, y) = stripe;
            if (x < 2 || y < 2 || x >= nWidth - 2 || y >= nHeight - 2) pic.At(x, y) = Argb(255, 250, 250, 250);
        }
    // The top-left pixel is the colour key of keyed pictures: black, not drawn.
    pic.At(0, 0) = Argb(255, 0, 0, 0);
    return pic;
}

PictureRgba PaintSoftPanel(const std::string& strName, int nWidth, int nHeight) {
    PictureRgba pic = PaintPanel(strName, nWidth, nHeight);
    pic.At(0, 0) = pic.At(1, 0);
    // Alpha falls off over the outer 4 pixels; the corners are cut away.
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x) {
            const int d = std::min(std::min(x, y), std::min(nWidth - 1 - x, nHeight - 1 - y));
            int a = d >= 4 ? 255 : 60 + d * 48;
            if ((x < 3 || x >= nWidth - 3) && (y < 3 || y >= nHeight - 3)) a = 0;
            pic.At(x, y) = (pic.At(x, y) & 0xFFFFFF) | (std::uint32_t(a) << 24);
        }
    return pic;
}

namespace {

// Frame f of an effect: a ring that grows with the frame number.
PictureRgba PaintEffectFrame(int nEffect, int nFrame, int nFrames) {
    PictureRgba pic(128, 128, 0);
    const std::uint32_t c = Hue(std::uint32_t(nEffect) * 37 + 11) & 0xFFFFFF;
    const double r = 10.0 + 50.0 * (nFrame + 1) / (nFrames > 0 ? nFrames : 1);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const double d = std::fabs(std::hypot(x - 64.0, y - 64.0) - r);
            if (d < 6.0) pic.At(x, y) = c | (std::uint32_t(d < 3.0 ? 255 : 140) << 24);
        }
    // A marker square in the middle shows the effect number as its size.
    pic.Fill(64 - 2 - nEffect, 64 - 2 - nEffect, 4 + 2 * nEffect, 4 + 2 * nEffect, Argb(255, 255, 255, 255));
    return pic;
}

}  // namespace

PictureRgba PaintCharacter(int nSculpt, int nAction, int nDirection, int nFrame) {
    PictureRgba pic(256, 180, 0);
    const std::uint32_t body = Hue(std::uint32_t(nSculpt) * 53 + 3);
    const std::uint32_t mark = Hue(std::uint32_t(nAction) * 97 + 29);
    const int nStep = nFrame % 2 ? 3 : 0;
    // Shadow, legs, body, head.
    for (int y = 164; y < 176; ++y)
        for (int x = 108; x < 148; ++x)
            if ((x - 128) * (x - 128) / 4 + (y - 170) * (y - 170) < 36) pic.At(x, y) = Argb(110, 0, 0, 0);
    pic.Fill(118 - nStep, 140, 8, 30, body);
    pic.Fill(130 + nStep, 140, 8, 30, body);
    pic.Fill(112, 96, 32, 46, body);
    pic.Fill(116, 104 + nAction % 4 * 8, 24, 6, mark);  // action band
    pic.Fill(118, 72, 20, 22, Argb(255, 240, 200, 160));
    // A pointer from the body centre towards the direction (0 down, then clockwise).
    static const int dx[8] = {0, -1, -1, -1, 0, 1, 1, 1}, dy[8] = {1, 1, 0, -1, -1, -1, 0, 1};
    for (int i = 0; i < 34; ++i) pic.Fill(128 + dx[nDirection] * i - 2, 119 + dy[nDirection] * i - 2, 5, 5, Argb(255, 255, 255, 40));
    return pic;
}

namespace {

// The drawn entries of a package plus the caller's extra ones, which win on equal names.
std::vector<PkgEntryData> WithExtras(std::vector<PkgEntryData> entries, const SamplePictureOptions& o, const char* pszPkg) {
    auto it = o.extraEntries.find(pszPkg);
    if (it == o.extraEntries.end()) return entries;
    auto same = [](const std::string& a, const std::string& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
        return true;
    };
    for (const PkgEntryData& extra : it->second) {
        std::erase_if(entries, [&](const PkgEntryData& e) { return same(e.strName, extra.strName); });
        entries.push_back(extra);
    }
    return entries;
}

}  // namespace

bool WriteSamplePictures(const std::string& strGameDir, const SamplePictureOptions& o, std::string* pError) {
    namespace fs = std::filesystem;
    const fs::path bmp = fs::path(strGameDir) / "bmp";
    std::error_code ec;
    fs::create_directories(bmp, ec);

    std::vector<PkgEntryData> menu;
    for (const char* p : kInterfaceTga) menu.push_back(PanelEntry(p));
    for (const char* p : kInterfaceBmp) menu.push_back(PanelEntry(p));
    const std::vector<PkgEntryData> shared = menu;
    for (int i = 0; i < o.nItemCount; ++i) {
        menu.push_back(Entry(Numbered("Item-%03d.bmp", i), BuildBmp(PaintPanel(Numbered("Item-%03d.bmp", i), 134, 134))));
        menu.push_back(Entry(Numbered("DJ%03d.bmp", i), BuildBmp(PaintPanel(Numbered("DJ%03d.bmp", i), 32, 32))));
    }
    for (int i = 0; i < 100; ++i) {
        menu.push_back(Entry(Numbered("JL%03d.bmp", i), BuildBmp(PaintPanel(Numbered("JL%03d.bmp", i), 32, 32))));
        menu.push_back(Entry(Numbered("skill-%02dn.bmp", i), BuildBmp(PaintPanel(Numbered("skill-%02dn.bmp", i), 24, 24))));
        menu.push_back(Entry(Numbered("Skill-%02d.bmp", i), BuildBmp(PaintPanel(Numbered("Skill-%02d.bmp", i), 40, 40))));
    }
    if (!Save(bmp / "menu.pkg", BuildPkg(WithExtras(menu, o, "menu.pkg")), pError)) return false;
    if (!Save(bmp / "Vesk.pkg", BuildPkg(WithExtras(shared, o, "Vesk.pkg")), pError)) return false;

    std::vector<PkgEntryData> head;
    for (int i = 0; i < o.nFaceCount; ++i)
        head.push_back(Entry(Numbered("TX%03d.bmp", i), BuildBmp(PaintPanel(Numbered("TX%03d.bmp", i), 148, 148))));
    if (!Save(bmp / "Head.pkg", BuildPkg(WithExtras(head, o, "Head.pkg")), pError)) return false;

    std::vector<PkgEntryData> scene, inside;
    for (int i = 0; i < o.nSceneCount; ++i) {
        scene.push_back(Entry(Numbered("scene%03d.bmp", i), BuildBmp(PaintPanel(Numbered("scene%03d.bmp", i), 200, 150))));
        scene.push_back(Entry(Numbered("Backbmp%02d.bmp", i), BuildBmp(PaintPanel(Numbered("Backbmp%02d.bmp", i), 160, 120))));
        inside.push_back(Entry(Numbered("scene%03d.bmp", i), BuildBmp(PaintPanel(Numbered("in-scene%03d.bmp", i), 200, 150))));
        for (int k = 0; k < 4; ++k) {
            const std::string obj = Numbered("%02d-", i) + Numbered("%02d", k) + "00.tga";
            scene.push_back(Entry(obj, BuildRleTga32(PaintSoftPanel(obj, 48 + 16 * k, 64))));
        }
    }
    if (!Save(bmp / "Scene.pkg", BuildPkg(scene), pError)) return false;
    if (!Save(bmp / "SceneInside.pkg", BuildPkg(inside), pError)) return false;

    std::vector<std::vector<std::vector<std::uint8_t>>> effects(size_t(o.nEffects));
    for (int e = 0; e < o.nEffects; ++e)
        for (int f = 0; f < o.nEffectFrames; ++f) effects[size_t(e)].push_back(BuildRleTga32(PaintEffectFrame(e, f, o.nEffectFrames)));
    if (!Save(bmp / "Effect.pkg", BuildEffectPkg(effects), pError)) return false;

    std::vector<int> sculpts = o.sculpts;
    if (sculpts.empty()) {
        for (int s = 0; s < 10; ++s) sculpts.push_back(s);
        for (int s = 20; s < 32; ++s) sculpts.push_back(s);
    }
    NpcPkgModel npc;
    for (int s : sculpts) {
        const bool bHero = std::find(o.heroSculpts.begin(), o.heroSculpts.end(), s) != o.heroSculpts.end();
        const bool bPlain = std::find(o.plainSculpts.begin(), o.plainSculpts.end(), s) != o.plainSculpts.end();
        const int nActions = bHero ? o.nHeroActions : bPlain ? o.nPlainActions : o.nActions;
        const int nFrames = bHero ? o.nHeroFrames : o.nFramesPerDirection;
        for (int a = 0; a < nActions; ++a) {
            NpcActionFrames& act = npc[{s, a}];
            act.nCount = nFrames;
            for (int d = 0; d < 8; ++d)
                for (int f = 0; f < nFrames; ++f)
                    act.frames.push_back(BuildRleTga32(o.pfnPaintCharacter(s, a, d, f)));
        }
    }
    for (const auto& [key, frames] : o.extraNpc) npc[key] = frames;
    if (!Save(bmp / "npc.pkg", BuildNpcPkg(npc), pError)) return false;

    return Save(bmp / "jiankanyouxi.bmp", BuildBmp(PaintPanel("jiankanyouxi.bmp", 800, 600)), pError);
}
