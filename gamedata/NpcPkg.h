// The character sprite package "npc.pkg": 300 sculpts of up to 27 actions, each a row
// of frames for 8 directions. The index is read at start-up; each frame (a run-length
// 32-bit TGA) loads on its first draw and stays for the run. Frames draw plain,
// tinted by a colour add, or blended at a fixed alpha through a work surface.
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include "platform/Base.h"

class CDXSurface;
class CTgaFrame;

// What the picture store and the sprite package ask of the main window, the scene
// and the controlled hero. The shell installs its own; the default answers as a game
// without them would: system memory, anchor (128, 170), no hovered actor, no hot keys.
class CPictureHost {
public:
    virtual ~CPictureHost() = default;
    // Skill on hot key k (0..4 for Y, U, I, O, P) of the controlled hero; -1 for none.
    virtual int GetHotKeySkill(int nKey) const;
    // Surface memory choice of the main window's settings.
    virtual DWORD GetSurfaceMemory() const;
    // Anchor point of a sculpt: the frame is drawn at the position minus the anchor.
    virtual POINT GetSculptAnchor(int nSculpt) const;
    // Id of the actor under the cursor in the scene, -1 for none.
    virtual int GetHoverActorId() const;
};
// Never null; points at the default host until the shell installs its own.
extern CPictureHost* pPictureHost;
// Installs a host (null: the default).
void SetPictureHost(CPictureHost* pHost);

constexpr int kSculptCount = 300;
constexpr int kActionCount = 27;
constexpr int kDirectionCount = 8;

class CNpcPkg {
public:
    CNpcPkg();
    virtual ~CNpcPkg();
    CNpcPkg(const CNpcPkg&) = delete;
    CNpcPkg& operator=(const CNpcPkg&) = delete;

    // Opens "bmp\npc.pkg" of the game folder, reads the whole index and creates the
    // 256 x 256 work surface. False when the file cannot be opened or its index is
    // damaged (GetError says where).
    bool Open();
    // The same for a package at a path of its own (tools and tests).
    bool OpenPath(const char* pszPath);

    // Frames per direction of a sculpt's action; 0 when the action does not exist or
    // the numbers are out of range.
    int GetFrameCount(int nSculpt, int nAction) const;
    // Loads entry n (direction x count + frame) of an action; true when it is cached. The
    // first entry of the package that does not decode is said once; such entries are not
    // read again.
    bool LoadFrame(int nSculpt, int nAction, int nEntry);
    // Decodes every frame the index names (none is kept): empty when all decode, else
    // "n of m frames do not decode; the first: ...", a frame past the end of the file
    // counted as one that does not decode (the check of a dump tool).
    std::string FindBadFrames();
    // The cached frame of an entry, or null.
    CTgaFrame* GetFrame(int nSculpt, int nAction, int nEntry) const;

    // Draws on the back buffer at (x, y) minus the anchor; when the cursor hits it and
    // the character is the hovered actor, draws it again with the mode's tint. False
    // when nothing was hit (or the frame does not exist).
    bool DrawFrame(int nSculpt, int nAction, int nDirection, int nFrame, int x, int y, int nTint, int nCharId);
    // Draws once with the mode's tint; the hit result.
    bool DrawFrameTinted(int nSculpt, int nAction, int nDirection, int nFrame, int x, int y, int nTint);
    // Draws through the work surface, blended onto the back buffer at alpha 178: the
    // blit's result, or -1 when the frame does not exist.
    int DrawFrameBlended(int nSculpt, int nAction, int nDirection, int nFrame, int x, int y);

    const std::string& GetError() const { return m_strError; }
    CDXSurface* GetWorkSurface() const { return m_pWork; }

private:
    struct Action {
        int nCount = 0;
        std::vector<DWORD> offsets;
        std::vector<DWORD> sizes;
        std::vector<std::unique_ptr<CTgaFrame>> frames;
        // Entries whose bytes did not decode: not read again.
        std::vector<bool> bad;
        // The part of the work surface each frame covers, found on its first blended
        // draw; empty until then.
        std::vector<RECT> covered;
    };
    bool ReadIndex();
    bool OpenAs(const char* pszPath, const std::string& strShown);
    // Whether an entry has a picture that lies inside the file; an entry without one
    // (offset or size below 1 as signed numbers) is not cut short, only empty.
    static bool HasPicture(DWORD dwOffset, DWORD dwSize);
    bool PictureInFile(DWORD dwOffset, DWORD dwSize) const;
    // Reads the frame whose bytes lie at the offset; false when they do not decode.
    bool ReadFrame(DWORD dwOffset, DWORD dwSize, CTgaFrame* pFrame);
    // "sculpt s action a direction d frame f at offset o (n bytes)" of an existing entry.
    std::string DescribeEntry(int nSculpt, int nAction, int nEntry) const;
    // The rectangle of the work surface holding the non-zero pixels just drawn there.
    RECT FindCovered() const;
    void Close();
    // The loaded frame for a draw, or null when the numbers are out of range or it has no picture.
    CTgaFrame* Prepare(int nSculpt, int nAction, int nDirection, int nFrame);

    CDXSurface* m_pWork = nullptr;
    std::vector<Action> m_actions;  // kSculptCount x kActionCount, sculpt-major
    FILE* m_pStream = nullptr;
    long m_nFileLength = 0;
    std::string m_strError;
    // The package as messages name it, and whether a frame that does not decode was said.
    std::string m_strShown;
    bool m_bBadFrameSaid = false;
};
