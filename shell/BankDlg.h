// The bank box: a modal box drawn by the game over the map (200 x 150, centred) with
// the bank's balance, the money on hand, an amount field that takes digits only, OK
// (deposit, labelled 存入) and Cancel (withdraw, labelled 取出). Enter answers OK, ESC answers Cancel. The box runs
// its own loop, one message a pass, and returns the answer; the main window moves the
// money (CMainFrame::OpenBank).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Base.h"

class CDXSurface;

constexpr int kBankDigitsMax = 10;

class CBankDlg {
public:
    enum Answer { kNone = 0, kOk = 1, kCancel = 2 };

    // The two texts (GBK) and the amount the field starts with.
    CBankDlg(std::string strBankText, std::string strMoneyText, std::int64_t nAmount);
    ~CBankDlg();
    CBankDlg(const CBankDlg&) = delete;
    CBankDlg& operator=(const CBankDlg&) = delete;

    // Runs the box until OK or Cancel answers it; kNone when the game stops meanwhile.
    int DoModal();
    // One message: digits and Backspace edit the field, Enter and ESC answer, a release
    // on a button answers. The answer, or kNone.
    int OnMessage(UINT message, WPARAM wParam, POINT ptCursor);
    // The amount as typed (at most ten digits, so it may exceed an int32).
    std::int64_t GetAmount() const;
    const std::string& GetDigits() const { return m_strDigits; }
    const RECT& GetOkRect() const { return m_rcOk; }
    const RECT& GetCancelRect() const { return m_rcCancel; }
    void Draw();

private:
    std::string m_strBankText;
    std::string m_strMoneyText;
    std::string m_strDigits;
    RECT m_rcBox{};
    RECT m_rcBankText{}, m_rcMoneyText{}, m_rcEdit{}, m_rcOk{}, m_rcCancel{};
    std::unique_ptr<CDXSurface> m_pPicture;
};
