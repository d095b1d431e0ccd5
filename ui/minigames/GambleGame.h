// The gamble game: pick a side, pay a stake of 100, 200 or 500, start the roll, watch
// its 70 pictures and see the outcome; a win pays back twice the stake. One roll per
// game; the click after the outcome ends it.
#pragma once
#include <memory>
#include <string>

#include "platform/Base.h"
#include "ui/minigames/MiniGameKit.h"

class CDXSprite;
class CDXSurface;

// The gamble's pictures. Row 0 the background, 1 the two side buttons, 2 the start button, 3 unused, 4 the
// stake panel.
extern const MiniGamePicture BetPictures[5];

constexpr int kGambleSlots = 91;

class CGambleGame {
public:
    CGambleGame();
    virtual ~CGambleGame();
    CGambleGame(const CGambleGame&) = delete;
    CGambleGame& operator=(const CGambleGame&) = delete;

    // The game's loop: 1 after the outcome was clicked away, 0 after the not-enough-money
    // message was, or when a quit or a close stopped it. A stake paid without a roll that
    // decided it is given back.
    int Run();

    int m_bNoMoney = 0;
    int m_bResult = 0;
    int m_bChoosingStake = 0;
    int m_nSide = 0;
    int m_nStake = 0;
    int m_bRolling = 0;
    int m_nFrame = 11;
    std::unique_ptr<CDXSprite> m_pSprites[kGambleSlots];
    std::unique_ptr<CDXSurface> m_pBack;
    int m_bRunning = 0;
    // The outcome text written while the outcome is shown (GBK).
    std::string m_strText;

private:
    // A click at pt: 1 or 0 when it ends the game with that result, else -1.
    int OnClick(POINT pt);
    void ChooseStake(POINT pt);
    void Settle(int c);
    void DrawSprites() const;
    void WriteText(const std::string& strText) const;
};
