// The application object: the single-instance rule, the main window that runs the
// whole game inside its start-up routine, and the deletion of the global objects.
#pragma once
#include "platform/Base.h"

class CGameApp {
public:
    CGameApp();
    virtual ~CGameApp() = default;
    CGameApp(const CGameApp&) = delete;
    CGameApp& operator=(const CGameApp&) = delete;

    // Runs the game to its end; always FALSE (the process then exits).
    BOOL InitInstance();
    // Deletes the global objects; returns the process exit code: 0 after a normal
    // quit or a second start, 1 when start-up failed or the game ended in failure.
    int ExitInstance();
    int GetExitCode() const { return m_nExitCode; }

private:
    int m_nExitCode = 0;
};
