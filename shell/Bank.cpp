// The bank of the main window: the balance moves to and from the controlled hero's
// money through the bank box. Amounts that are negative, more than there is, or that
// would overflow a balance are refused with a notice and move nothing.
#include <climits>
#include <cstdio>
#include <string>

#include "platform/Charset.h"
#include "platform/Resources.h"
#include "shell/BankDlg.h"
#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"
#include "ui/boxes/MessageBoxes.h"
#include "world/Player.h"

namespace {

bool Fits(std::int64_t nAmount, std::int32_t nTo) { return nAmount >= 0 && nAmount <= std::int64_t(INT_MAX) - nTo; }

void ShowBankNotice(const char* pszText) {
    CNoticeBox box;
    box.LoadButtons();
    box.Run(pszText, 1, 282, 225);
}

std::string Format(const char* pszUtf8, int n) {
    char szText[96];
    std::snprintf(szText, sizeof szText, Utf8ToText(pszUtf8).c_str(), n);
    return szText;
}

}  // namespace

bool CMainFrame::Deposit(int nAmount) {
    if (!pPlayer || nAmount < 0 || nAmount > pPlayer->nMoney || !Fits(nAmount, m_nBankMoney)) return false;
    m_nBankMoney += nAmount;
    pPlayer->nMoney -= nAmount;
    return true;
}

bool CMainFrame::Withdraw(int nAmount) {
    if (!pPlayer || nAmount < 0 || nAmount > m_nBankMoney || !Fits(nAmount, pPlayer->nMoney)) return false;
    pPlayer->nMoney += nAmount;
    m_nBankMoney -= nAmount;
    return true;
}

void CMainFrame::OpenBank() {
    if (!pPlayer) return;
    CBankDlg dlg(Format("銀行中的錢財: %d", m_nBankMoney), Format("身上的錢數: %d", pPlayer->nMoney), m_nBankAmount);
    const int nAnswer = dlg.DoModal();
    if (nAnswer == CBankDlg::kNone) return;
    const std::int64_t nTyped = dlg.GetAmount();
    const int nAmount = nTyped > INT_MAX ? -1 : int(nTyped);
    m_nBankAmount = nAmount < 0 ? 0 : nAmount;
    const bool bDeposit = nAnswer == CBankDlg::kOk;
    if (bDeposit ? Deposit(nAmount) : Withdraw(nAmount)) return;
    ShowBankNotice(bDeposit ? "You have no money" : "Bank have no money");
    m_nBankAmount = 0;
}
