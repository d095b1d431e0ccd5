// The knock game: Space presses fill a power bar before a time bar runs full. Eleven
// pictures show the struggle (0..4), the win (5..7) or the loss (8..10).
#pragma once
#include <memory>

class CDXSprite;
class CDXSurface;

constexpr int kKnockFrameSlots = 100;
constexpr int kKnockPictures = 11;
constexpr int kKnockFull = 640;

class CKnockGame {
public:
    CKnockGame();
    virtual ~CKnockGame();
    CKnockGame(const CKnockGame&) = delete;
    CKnockGame& operator=(const CKnockGame&) = delete;

    // The game's loop: 1 when won, 0 when lost or stopped by a quit or a close.
    int Run();

    int m_nPower = 0;  // power bar length, 0..642
    int m_nTicks = 0;  // frames run so far, also the time bar's length
    // The bar picture: its rows 10..19 draw the time bar, its rows 0..9 the power bar.
    std::unique_ptr<CDXSurface> m_pTimeBar;
    std::unique_ptr<CDXSprite> m_pKnockFrames[kKnockFrameSlots];
    std::unique_ptr<CDXSprite> m_pLittle;
    std::unique_ptr<CDXSurface> m_pBack;
    int m_bRunning = 0;
    // The knock picture drawn in the frame (0..10).
    int m_nPicture = 0;

private:
    void TakeSpace();
    void Draw() const;
    // The picture steps of a fifth frame; the result when the game ends there, else -1.
    int StepPicture();
};
