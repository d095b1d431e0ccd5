// Pictures drawn by code for the sample game's packages: every picture gets its own
// colours and pattern from its name, so a screenshot shows which one was drawn.
#pragma once
#include <map>
#include <string>
#include <vector>
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/PkgWriters.h"

// A picture's name from a printf format with one number ("Knock%04d.bmp", 3).
std::string Numbered(const char* pszFormat, int n);
// A flat picture with a border and a pattern chosen by the name (alpha 255).
PictureRgba PaintPanel(const std::string& strName, int nWidth, int nHeight);
// An interface picture with soft, partly transparent edges.
PictureRgba PaintSoftPanel(const std::string& strName, int nWidth, int nHeight);
// A character of a sculpt in an action, direction and frame, 256 x 180 with its feet
// at (128, 170): body colour by sculpt, a pattern by action, a pointer towards the
// direction and a step by frame.
PictureRgba PaintCharacter(int nSculpt, int nAction, int nDirection, int nFrame);

struct SamplePictureOptions {
    int nItemCount = 100;                 // "Item-%03d.bmp" and "DJ%03d.bmp" for 0..count-1
    int nFaceCount = 20;                  // "TX%03d.bmp"
    int nSceneCount = 10;                 // scene tiles
    std::vector<int> sculpts;             // sprite package sculpts (empty: 0..9 and 20..31)
    int nActions = 9;                     // actions 0..n-1 of each sculpt
    int nFramesPerDirection = 2;
    int nEffects = 8;
    int nEffectFrames = 8;
    // More entries per package file name ("menu.pkg", "Head.pkg", ...), written with the
    // drawn ones; an entry replaces a drawn one of the same name (case ignored).
    std::map<std::string, std::vector<PkgEntryData>> extraEntries;
    // Sculpts with actions 0..nPlainActions-1 only: villagers who stand, wander, chase
    // and take the pose a script gives them (action 3) but never fight.
    std::vector<int> plainSculpts{};
    int nPlainActions = 4;
    // Sculpts drawn with their own action and frame counts (the heroes' walk cycles).
    std::vector<int> heroSculpts{};
    int nHeroActions = 10;
    int nHeroFrames = 4;
    // More sprite actions (sculpt, action), written with the drawn ones; an action here
    // replaces a drawn one.
    NpcPkgModel extraNpc{};
    // Draws the characters' frames (sculpt, action, direction, frame).
    PictureRgba (*pfnPaintCharacter)(int, int, int, int) = &PaintCharacter;
};

// Writes the sample game's picture packages into "<game>/bmp" (menu.pkg, Scene.pkg,
// SceneInside.pkg, Vesk.pkg, Head.pkg, Effect.pkg, npc.pkg) and the loose pictures
// (the notice picture "bmp\jiankanyouxi.bmp"). False with a message on failure.
bool WriteSamplePictures(const std::string& strGameDir, const SamplePictureOptions& options, std::string* pError);
