// Up to 10,000 single-pixel particles moved and plotted on the back buffer: horizontal,
// vertical and diagonal streams in five depth bands of speed, and a star field flying from
// or towards a projection centre.
#pragma once
#include "platform/Base.h"

#include <array>
#include <cstddef>

class CDXScreen;

struct Particle {
    int x = 0, y = 0;
    int nDepth = 0;             // 0..255 (at least 1 in the star field)
    int nScreenX = 0, nScreenY = 0;
    int nColour = 0;
};

class CParticleField {
public:
    static constexpr int MAX_PARTICLES = 10000;
    // Motion modes: 0 horizontal, 1 vertical, 2 star field, 3 diagonal, 4 vertical in the area.
    static constexpr int MODE_COUNT = 5;

    explicit CParticleField(CDXScreen* pScreen);

    // Seeds the game's generator with the clock and places every particle for the mode.
    void Init();
    // Moves and plots every particle on the locked back buffer.
    void Draw();
    void Start() {
        Init();
        Draw();
    }
    // Clears the back buffer to 0 first when bClear is set, then draws.
    void Tick(bool bClear);
    void SetCount(int nCount);
    int GetCount() const { return m_nCount; }

    void SetMode(int nMode) { m_nMode = nMode >= 0 && nMode < MODE_COUNT ? nMode : m_nMode; }
    int GetMode() const { return m_nMode; }
    void SetSpeed(int nSpeed) { m_nSpeed = nSpeed; }
    void SetDirection(bool bSet) { m_bDirection = bSet; }
    void SetRandomColour(bool bSet) { m_bRandomColour = bSet; }
    void SetTwinkle(bool bSet) { m_bTwinkle = bSet; }
    void SetRandomBand(bool bSet) { m_bRandomBand = bSet; }
    // The area particles live in (left, right, top, bottom), kept inside the screen.
    void SetArea(int nLeft, int nRight, int nTop, int nBottom);
    const Particle& GetParticle(int i) const { return m_particles[std::size_t(i)]; }

private:
    int BandSpeed(int nDepth) const;
    int BandColour(int nDepth) const;
    void Place(Particle& p);
    void PlaceStar(Particle& p);
    // Moves a particle of a stream along x (or y) and wraps it at the area's edges.
    void MoveStream(Particle& p, bool bVertical);
    void Plot(BYTE* pBits, int nPitch, int x, int y);

    CDXScreen* m_pScreen;
    std::array<Particle, MAX_PARTICLES> m_particles{};
    int m_nCount = 200;
    int m_nSpeed = 2;
    int m_nWidth = 0, m_nHeight = 0;
    int m_nCentreX = 0, m_nCentreY = 0;
    int m_nLeft = 0, m_nRight = 0, m_nTop = 0, m_nBottom = 0;
    bool m_bRandomColour = false;
    int m_nMode = 1;
    bool m_bDirection = true;
    bool m_bTwinkle = false;
    bool m_bRandomBand = true;
    // The surface being plotted on while Draw holds its lock.
    int m_nBackWidth = 0, m_nBackHeight = 0, m_nBytes = 2;
};
