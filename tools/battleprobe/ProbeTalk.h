// The battle probe's talk: the main window's script services and face talk bar that a
// battle's talk events need, the talk events it gives enemy rows and members, and what
// it reports of the talk as the battle runs.
#pragma once
#include <string>
#include <utility>
#include <vector>

class CFight;
class CFaceTalkBar;
class CMainFrame;
class CMenuManager;
class CShellUiLink;
class CBattleTalkLink;

struct ProbeTalkOptions {
    std::vector<std::pair<int, int>> tall;     // enemy row : event of its opening talk
    std::vector<std::pair<int, int>> delTall;  // member id : event of its last words
    int nScene = 0;                            // the scene whose events they are
    std::string strShotPrefix;                 // PREFIX-N.png for line N once typed
    bool Wanted() const { return !tall.empty() || !delTall.empty(); }
};

class CProbeTalk {
public:
    CProbeTalk();
    ~CProbeTalk();
    CProbeTalk(const CProbeTalk&) = delete;
    CProbeTalk& operator=(const CProbeTalk&) = delete;

    // Builds the main window (scene, party ids of the hero and the members) with its face
    // talk bar, loads the script file, sets the enemy rows' talks and installs the
    // battle's talk link. Needs the game data and the screen; before the hero is set.
    // False with the reason.
    bool SetUp(const ProbeTalkOptions& options, const std::vector<int>& members, std::string* pError);
    // Gives the members standing in the battle the events of their last words.
    void SetMemberTalks(CFight& fight) const;
    // Once a pass: a line "talk PASS FACE TEXT" when a line starts, "talk PASS end" when
    // the talk is over, a screenshot of each line once typed, and with bAuto a click
    // (the left button held for one frame) on a typed line.
    void OnPass(CFight& fight, bool bAuto);
    // "wide" or "narrow": the bar's layout as the map would find it.
    const char* BarLayout() const;
    void TearDown();

private:
    CFaceTalkBar* Bar() const;

    ProbeTalkOptions m_options;
    CShellUiLink* m_pUiLink = nullptr;
    CBattleTalkLink* m_pLink = nullptr;
    bool m_bShown = false;
    int m_nStep = -1;
    int m_nLines = 0;
    bool m_bShot = false;
    bool m_bButtonDown = false;
};
