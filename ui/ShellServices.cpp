#include "ui/ShellServices.h"

namespace {
CUiShell g_neutralShell;
CUiShell* g_pShell = &g_neutralShell;
}  // namespace

CUiShell* UiShell() { return g_pShell; }

void SetUiShell(CUiShell* pShell) { g_pShell = pShell ? pShell : &g_neutralShell; }
