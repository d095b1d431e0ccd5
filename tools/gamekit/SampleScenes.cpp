#include "tools/gamekit/SampleScenes.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/Base.h"
#include "tools/gamekit/MapWriters.h"
#include "tools/gamekit/NpcRecordWriter.h"
#include "tools/gamekit/SampleArt.h"

namespace {

constexpr std::uint32_t kBlack = Argb(255, 0, 0, 0);
constexpr std::uint32_t kPureBlue = Argb(255, 0, 0, 255);

// Small deterministic noise for textures.
int Noise(int x, int y, int nSeed) {
    unsigned h = unsigned(x) * 374761393u + unsigned(y) * 668265263u + unsigned(nSeed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return int((h ^ (h >> 16)) & 0xFF);
}

std::uint32_t Shade(int r, int g, int b, int nNoise, int nAmount) {
    const int d = (nNoise * nAmount) / 255 - nAmount / 2;
    auto c = [&](int v) { return v + d < 0 ? 0 : v + d > 255 ? 255 : v + d; };
    return Argb(255, c(r), c(g), c(b));
}

PictureRgba Texture(int w, int h, int r, int g, int b, int nSeed) {
    PictureRgba pic(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pic.At(x, y) = Shade(r, g, b, Noise(x, y, nSeed), 40);
    // The corner must not be pure blue nor a colour used inside: it is the key.
    pic.At(0, 0) = Shade(r, g, b, 128, 40);
    return pic;
}

void Ellipse(PictureRgba& pic, int cx, int cy, int rx, int ry, std::uint32_t c) {
    for (int y = cy - ry; y <= cy + ry; ++y)
        for (int x = cx - rx; x <= cx + rx; ++x) {
            if (x < 0 || y < 0 || x >= pic.nWidth || y >= pic.nHeight) continue;
            const double dx = double(x - cx) / rx, dy = double(y - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) pic.At(x, y) = c;
        }
}

// Flowers on a pure-blue ground: a small tile drawn keyed over the grass.
PictureRgba Flowers() {
    PictureRgba pic(64, 64, kPureBlue);
    for (int i = 0; i < 6; ++i)
        Ellipse(pic, 8 + Noise(i, 1, 3) % 48, 8 + Noise(i, 2, 3) % 48, 3, 3, Argb(255, 240, 200 - 30 * i, 60 + 20 * i));
    return pic;
}

// A diamond tile of 64 x 32 whose corners are pure blue.
PictureRgba DiamondTile(int r, int g, int b, int nSeed) {
    PictureRgba pic(64, 32, kPureBlue);
    for (int y = 0; y < 32; ++y) {
        const int half = y < 16 ? 2 * y + 2 : 2 * (31 - y) + 2;
        for (int x = 32 - half; x < 32 + half; ++x) pic.At(x, y) = Shade(r, g, b, Noise(x, y, nSeed), 50);
    }
    return pic;
}

PictureRgba House(int r, int g, int b) {
    PictureRgba pic(128, 96, kBlack);
    pic.Fill(8, 16, 112, 80, Argb(255, r, g, b));
    pic.Fill(52, 52, 24, 44, Argb(255, 70, 40, 20));   // door
    pic.Fill(18, 40, 20, 16, Argb(255, 120, 170, 200));  // windows
    pic.Fill(90, 40, 20, 16, Argb(255, 120, 170, 200));
    return pic;
}

// The inn: a house whose door stands in the bottom row of cells (the doorway the heroine
// walks into) under a signboard with its name.
PictureRgba Inn() {
    PictureRgba pic = House(200, 160, 110);
    pic.Fill(52, 52, 24, 44, Argb(255, 200, 160, 110));
    pic.Fill(50, 64, 28, 32, Argb(255, 70, 40, 20));
    pic.Fill(30, 20, 68, 24, Argb(255, 90, 50, 30));
    PaintSampleLabel(pic, "悦来客栈", RECT{30, 20, 98, 44}, RGB(250, 220, 120), 14);
    pic.At(0, 0) = kBlack;
    return pic;
}

PictureRgba Roof(int r, int g, int b) {
    PictureRgba pic(160, 64, kBlack);
    for (int y = 0; y < 64; ++y)
        for (int x = 80 - y - 16; x < 80 + y + 16; ++x)
            if (x >= 0 && x < 160) pic.At(x, y) = Shade(r, g, b, Noise(x, y / 4, 9), 30);
    return pic;
}

// nFrames frames of w x h: a flame whose height changes with the frame.
PictureRgba Fire(int nFrames, int w, int h) {
    PictureRgba pic(nFrames * w, h, kBlack);
    for (int f = 0; f < nFrames; ++f) {
        pic.Fill(f * w + 4, h - 8, w - 8, 6, Argb(255, 90, 60, 40));
        Ellipse(pic, f * w + w / 2, h - 18 - 2 * f, w / 3, 10 + 3 * f, Argb(255, 250, 120 + 30 * f, 20));
        Ellipse(pic, f * w + w / 2, h - 16 - f, w / 6, 5 + f, Argb(255, 255, 240, 120));
    }
    return pic;
}

// A wheel with spokes turned by the frame.
PictureRgba Wheel(int nFrames, int nSize) {
    PictureRgba pic(nFrames * nSize, nSize, kBlack);
    for (int f = 0; f < nFrames; ++f) {
        const int cx = f * nSize + nSize / 2, cy = nSize / 2, rad = nSize / 2 - 3;
        Ellipse(pic, cx, cy, rad, rad, Argb(255, 120, 80, 40));
        Ellipse(pic, cx, cy, rad - 5, rad - 5, Argb(255, 60, 100, 160));
        for (int k = 0; k < 4; ++k) {
            const double a = (k * 90 + f * 30) * 3.14159265 / 180;
            for (int t = 0; t < rad; ++t)
                pic.At(cx + int(t * std::cos(a)), cy + int(t * std::sin(a))) = Argb(255, 120, 80, 40);
        }
    }
    return pic;
}

PictureRgba Lever() {
    PictureRgba pic(64, 32, kBlack);
    for (int f = 0; f < 2; ++f) {
        pic.Fill(f * 32 + 6, 24, 20, 6, Argb(255, 100, 100, 110));
        for (int t = 0; t < 18; ++t) {
            const int x = f * 32 + 16 + (f == 0 ? -t / 2 : t / 2);
            pic.Fill(x, 24 - t, 3, 1, Argb(255, 180, 150, 60));
        }
    }
    return pic;
}

PictureRgba Stone() {
    PictureRgba pic(32, 24, kBlack);
    Ellipse(pic, 16, 12, 12, 8, Argb(255, 130, 130, 125));
    Ellipse(pic, 13, 9, 5, 3, Argb(255, 170, 170, 165));
    return pic;
}

PictureRgba Table() {
    PictureRgba pic(96, 64, kBlack);
    pic.Fill(4, 12, 88, 28, Argb(255, 150, 95, 50));
    pic.Fill(10, 40, 8, 22, Argb(255, 110, 70, 35));
    pic.Fill(78, 40, 8, 22, Argb(255, 110, 70, 35));
    return pic;
}

// The town's well: a round stone rim, dark water inside, a roof on two posts.
PictureRgba Well() {
    PictureRgba pic(64, 72, kBlack);
    Ellipse(pic, 32, 54, 28, 14, Argb(255, 140, 140, 135));
    Ellipse(pic, 32, 52, 20, 9, Argb(255, 40, 70, 110));
    Ellipse(pic, 30, 50, 8, 3, Argb(255, 90, 130, 170));
    pic.Fill(6, 16, 4, 40, Argb(255, 100, 65, 35));
    pic.Fill(54, 16, 4, 40, Argb(255, 100, 65, 35));
    for (int y = 0; y < 16; ++y) pic.Fill(16 - y, 2 + y, 32 + 2 * y, 1, Argb(255, 150, 50, 40));
    pic.Fill(20, 22, 24, 2, Argb(255, 100, 65, 35));
    pic.Fill(31, 24, 2, 16, Argb(255, 200, 190, 160));  // the rope
    pic.Fill(27, 38, 10, 8, Argb(255, 120, 80, 40));    // the bucket
    return pic;
}

// The old wooden chest by the road: planks, iron bands and a lock.
PictureRgba Chest() {
    PictureRgba pic(48, 40, kBlack);
    pic.Fill(2, 12, 44, 26, Argb(255, 130, 80, 40));
    pic.Fill(4, 4, 40, 10, Argb(255, 150, 95, 50));
    for (int x : {4, 22, 40}) pic.Fill(x, 4, 4, 34, Argb(255, 90, 90, 95));
    pic.Fill(2, 14, 44, 2, Argb(255, 70, 45, 20));
    pic.Fill(21, 16, 6, 7, Argb(255, 230, 200, 60));
    return pic;
}

// The weather stone: a tall grey stone carved with a cloud and the sun.
PictureRgba WeatherStone() {
    PictureRgba pic(48, 72, kBlack);
    Ellipse(pic, 24, 64, 22, 7, Argb(255, 90, 85, 80));
    for (int y = 6; y < 66; ++y) {
        const int half = y < 18 ? 6 + y : 18;
        pic.Fill(24 - half, y, 2 * half, 1, Shade(150, 150, 160, Noise(0, y, 11), 30));
    }
    Ellipse(pic, 24, 26, 7, 7, Argb(255, 240, 190, 60));
    Ellipse(pic, 18, 40, 7, 4, Argb(255, 230, 235, 245));
    Ellipse(pic, 28, 40, 8, 5, Argb(255, 230, 235, 245));
    pic.Fill(14, 50, 2, 6, Argb(255, 80, 130, 220));
    pic.Fill(22, 50, 2, 6, Argb(255, 80, 130, 220));
    pic.Fill(30, 50, 2, 6, Argb(255, 80, 130, 220));
    return pic;
}

// The picture show's signboard on two posts, its name painted on it.
PictureRgba Signboard() {
    PictureRgba pic(64, 72, kBlack);
    pic.Fill(8, 30, 4, 42, Argb(255, 100, 65, 35));
    pic.Fill(52, 30, 4, 42, Argb(255, 100, 65, 35));
    pic.Fill(0, 4, 64, 32, Argb(255, 120, 30, 30));
    pic.Fill(3, 7, 58, 26, Argb(255, 200, 160, 80));
    PaintSampleLabel(pic, "西洋镜", RECT{3, 7, 61, 33}, RGB(120, 20, 20), 16);
    pic.At(0, 0) = kBlack;
    return pic;
}

// A patch of herbs: broad green leaves with small white flowers on a darker ground.
PictureRgba HerbPatch() {
    PictureRgba pic(96, 48, kBlack);
    Ellipse(pic, 48, 28, 46, 18, Argb(255, 70, 90, 40));
    for (int i = 0; i < 14; ++i) {
        const int x = 10 + Noise(i, 1, 21) % 76, y = 14 + Noise(i, 2, 21) % 26;
        Ellipse(pic, x - 4, y, 5, 3, Argb(255, 60, 170, 60));
        Ellipse(pic, x + 4, y - 1, 5, 3, Argb(255, 90, 200, 80));
        pic.Fill(x, y - 8, 1, 8, Argb(255, 50, 120, 40));
        Ellipse(pic, x, y - 9, 2, 2, Argb(255, 250, 250, 240));
    }
    return pic;
}

// A clump of bamboo: green stalks with joints and leaves at the top, the ground between
// the stalks left clear so that who stands behind it still shows.
PictureRgba Bamboo(int nSeed) {
    PictureRgba pic(64, 128, kBlack);
    for (int k = 0; k < 4; ++k) {
        const int x = 10 + 13 * k + Noise(k, 1, nSeed) % 6, top = 8 + Noise(k, 2, nSeed) % 30;
        const std::uint32_t green = Argb(255, 70 + 20 * (k % 2), 150 + Noise(k, 3, nSeed) % 50, 60);
        pic.Fill(x, top, 4, 124 - top, green);
        for (int y = top + 14; y < 120; y += 18) pic.Fill(x - 1, y, 6, 2, Argb(255, 40, 100, 40));
        for (int j = 0; j < 3; ++j) {
            const int ly = top + 4 + 10 * j, dir = (j + k) % 2 ? 1 : -1;
            for (int t = 0; t < 12; ++t) pic.Fill(x + 2 + dir * t, ly + t / 3, 2, 2, Argb(255, 60, 170 - t * 3, 50));
        }
    }
    pic.At(0, 0) = kBlack;
    return pic;
}

// Young bamboo, half as tall.
PictureRgba BambooShoots() {
    const PictureRgba tall = Bamboo(3);
    PictureRgba pic(64, 64, kBlack);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) pic.At(x, y) = tall.At(x, 2 * y);
    return pic;
}

// The inn's way out: a door mat marked with its word.
PictureRgba DoorMat() {
    PictureRgba pic(96, 32, Argb(255, 120, 30, 30));
    pic.Fill(3, 3, 90, 26, Argb(255, 160, 50, 40));
    PaintSampleLabel(pic, "出口", RECT{0, 4, 96, 28}, RGB(250, 220, 120), 18);
    return pic;
}

PictureRgba MarkPicture(std::uint32_t c) {
    PictureRgba pic(32, 32, kBlack);
    Ellipse(pic, 16, 16, 14, 14, c);
    Ellipse(pic, 16, 16, 9, 9, kBlack);
    return pic;
}

// Builds a map and setting model step by step.
class CSceneBuilder {
public:
    CSceneBuilder(SampleScene& scene, int nVersion, int nKind, int w, int h) : m_scene(scene) {
        MapFileData& map = scene.map;
        map.nVersion = nVersion;
        map.nGridKind = nKind;
        map.nWidth = w;
        map.nHeight = h;
        map.nCellSize = 32;
        MapGridSize(w, h, nKind, 32, &m_nGridWidth, &m_nGridHeight);
        map.cells.resize(size_t(m_nGridWidth) * size_t(m_nGridHeight));
        for (int y = 0; y < m_nGridHeight; ++y)
            for (int x = 0; x < m_nGridWidth; ++x) {
                SceneCell& cell = Cell(x, y);
                cell.nWall = 0;
                const POINT c = Centre(x, y);
                cell.nPointX = c.x;
                cell.nPointY = c.y;
            }
        scene.setting.regions.resize(map.cells.size());
        scene.setting.regionIndex.assign(map.cells.size(), -1);
    }
    SceneCell& Cell(int x, int y) { return m_scene.map.cells[size_t(x + m_nGridWidth * y)]; }
    int GridWidth() const { return m_nGridWidth; }
    int GridHeight() const { return m_nGridHeight; }
    POINT Centre(int cx, int cy) const {
        const MapFileData& map = m_scene.map;
        if (map.nGridKind == 0) return POINT{cx * 32 + 16, cy * 32 + 16};
        return POINT{(cx - cy) * 32 + map.nWidth * 32, (cx + cy) * 16 - map.nWidth * 16 + 16};
    }
    int Picture(const char* pszName, int nFrames, int w, int h, int nLayer, int nFootW = 1, int nFootH = 1,
                int nFootOffX = 0, int nFootOffY = 0) {
        ScenePicRecord p = ScenePicture(pszName, nFrames, w, h, nLayer);
        p.nFootprintWidth = nFootW;
        p.nFootprintHeight = nFootH;
        p.nFootprintOffsetX = nFootOffX;
        p.nFootprintOffsetY = nFootOffY;
        m_scene.map.pictures.push_back(p);
        return m_scene.map.PictureCount() - 1;
    }
    MapObjectRecord& Object(int nList, int nKind, int nId, int nPicture, int x, int y, int w, int h,
                            const char* pszName = "") {
        m_scene.map.lists[nList].push_back(MapObjectAt(nKind, nId, nPicture, x, y, w, h, pszName));
        return m_scene.map.lists[nList].back();
    }
    void Wall(int x, int y) { Cell(x, y).nWall = 1; }
    void Walls(int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Wall(x, y);
    }
    // Cells of a rectangle become the next region, which starts event nEvent.
    void Region(int x0, int y0, int x1, int y1, int nEvent) {
        const int r = m_nRegions++;
        RegionRecord& region = m_scene.setting.regions[size_t(r)];
        region.nEventCount = 1;
        region.nEvents[0] = nEvent;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) m_scene.setting.regionIndex[size_t(x + m_nGridWidth * y)] = r;
    }
    // Exits come first: exit r is region r and starts event r + 1 to another scene.
    void Exit(int x0, int y0, int x1, int y1, int nTarget, int nHeroX, int nHeroY) {
        m_scene.exits.push_back({nTarget, nHeroX, nHeroY});
        Region(x0, y0, x1, y1, int(m_scene.exits.size()));
    }

private:
    SampleScene& m_scene;
    std::int32_t m_nGridWidth = 0, m_nGridHeight = 0;
    int m_nRegions = 0;
};

void BuildTown(SampleScene& s) {
    CSceneBuilder b(s, 1, 0, 40, 30);  // 1280 x 960
    const int grass = b.Picture("grass.bmp", 1, 64, 64, 0);
    const int flowers = b.Picture("flowers.bmp", 1, 64, 64, 0);
    const int path = b.Picture("path.bmp", 1, 64, 64, 0);
    const int wall = b.Picture("wall.bmp", 1, 32, 32, 1);
    const int stone = b.Picture("stone.bmp", 1, 32, 24, 2);
    const int lever = b.Picture("lever.bmp", 2, 32, 32, 3);
    // A house stands on the row of cells of its front wall (its footprint, walls), so she
    // walks behind it drawn under it; the inn's front row holds its doorway, so the inn
    // stands on the row behind, with walls beside the door.
    const int house = b.Picture("house.bmp", 1, 128, 96, 5, 4, 1, 0, 80);
    const int inn = b.Picture("inn.bmp", 1, 128, 96, 5, 4, 1, 0, 48);
    const int roof = b.Picture("roof.bmp", 1, 160, 64, 6);
    const int fire = b.Picture("fire.bmp", 4, 32, 48, 5, 1, 1, 0, 40);
    const int wheel = b.Picture("wheel.bmp", 3, 64, 64, 5, 2, 1, 0, 48);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool bPath = y == 7 || x == 9;
            b.Object(kListA, 0, 0, bPath ? path : grass, x * 64, y * 64, 64, 64);
            if (!bPath && Noise(x, y, 5) % 5 == 0) b.Object(kListA, 0, 0, flowers, x * 64, y * 64, 64, 64);
        }
    // The L-shaped wall: its cells are walls and stone tiles show them.
    for (int x = 10; x <= 18; ++x) b.Wall(x, 20);
    for (int y = 12; y < 20; ++y) b.Wall(18, y);
    for (int y = 0; y < b.GridHeight(); ++y)
        for (int x = 0; x < b.GridWidth(); ++x)
            if (b.Cell(x, y).nWall == 1) b.Object(kListA, 0, 0, wall, x * 32, y * 32, 32, 32);
    for (int i = 0; i < 8; ++i) b.Object(kListB, 0, i, stone, 100 + 140 * i, 150 + 90 * (i % 3), 32, 24, "stone");
    b.Object(kListG, 2, 40, lever, 704, 420, 32, 32, "lever").nCellX = 22;
    s.map.lists[kListG].back().nCellY = 13;
    const int houses[3][2] = {{128, 96}, {832, 96}, {160, 576}};
    for (int i = 0; i < 3; ++i) {
        const int x = houses[i][0], y = houses[i][1];
        b.Object(kListD, 1, 10 + i, i == 0 ? inn : house, x, y, 128, 96, "house");
        b.Object(kListC, 0, 10 + i, roof, x - 16, y - 40, 160, 64, "roof");
    }
    // The houses' front rows are walls (drawn by the houses, so added after the wall
    // tiles); the inn's is its footprint's row and the cells beside its doorway.
    for (int i = 0; i < 3; ++i) b.Walls(houses[i][0] / 32, houses[i][1] / 32 + 2, houses[i][0] / 32 + 3, houses[i][1] / 32 + 2);
    b.Walls(4, 4, 7, 4);
    b.Cell(5, 5).nWall = b.Cell(6, 5).nWall = 0;
    // Crates use the built-in crate picture; its footprint origin is its centre.
    for (int i = 0; i < 4; ++i) b.Object(kListD, 3, 20 + i, 1, 416 + 64 * i, 640, 64, 64, "crate");
    for (int i = 0; i < 3; ++i) b.Object(kListD, 4, 30 + i, fire, 560 + 160 * i, 300, 32, 48, "fire").nFrame = i;
    b.Object(kListD, 5, 35, wheel, 1088, 704, 64, 64, "wheel");
    // What the story's places are, drawn on their regions' cells and standing on no cell
    // (no footprint), so that she walks onto them as before: the well west of the start,
    // the chest in the south-east, the weather stone in the south-west, the picture show's
    // signboard beside the game keeper and the combining table below the craftsmen.
    const int well = b.Picture("well.bmp", 1, 64, 72, 5, 0, 0);
    const int chest = b.Picture("chest.bmp", 1, 48, 40, 5, 0, 0);
    const int weather = b.Picture("wstone.bmp", 1, 48, 72, 5, 0, 0);
    const int sign = b.Picture("signboard.bmp", 1, 64, 72, 5, 0, 0);
    const int worktable = b.Picture("worktable.bmp", 1, 96, 64, 5, 0, 0);
    b.Object(kListD, 0, 80, well, 268, 364, 64, 72, "well");
    b.Object(kListD, 0, 81, chest, 1192, 812, 48, 40, "chest");
    b.Object(kListD, 0, 82, weather, 88, 800, 48, 72, "weather stone");
    b.Object(kListD, 0, 83, sign, 1088, 392, 64, 72, "signboard");
    b.Object(kListD, 0, 84, worktable, 1104, 216, 96, 64, "combining table");
    // Invisible objects: a sound spot and a spawn mark.
    b.Object(kListE, 0, 50, 0, 600, 600, 64, 96, "spot");
    b.Object(kListF, 0, 51, 0, 300, 800, 64, 96, "mark");
    // Exits: the east edge to the grove, three cells wide so that a click reaches it
    // where the view stops 70 pixels short of the edge; the inn's doorway and the cells
    // in front of it.
    b.Exit(37, 10, 39, 20, 1, 200, 300);
    b.Exit(5, 5, 6, 6, 100, 400, 400);
    // The story's regions: the greeting around the start point, the villager in front
    // of the second house, and the well (events of the sample story).
    b.Region(17, 15, 19, 16, kTownGreetingEvent);
    b.Region(27, 6, 28, 7, kTownVillagerEvent);
    b.Region(8, 12, 10, 13, kTownWellEvent);
    // The chest in the south-east corner and the weather stone in the south-west (fog,
    // rain, snow and stripes in turn), both off the roads the other errands take.
    b.Region(37, 25, 38, 26, kTownChestEvent);
    b.Region(2, 25, 4, 27, kTownWeatherEvent);
    // The signboard beside the game keeper runs the picture show.
    b.Region(34, 13, 35, 14, kTownSignboardEvent);
    b.Region(35, 7, 36, 8, kTownTableEvent);
    s.setting.nStartX = 600;
    s.setting.nStartY = 500;
}

// The grove's open cells (everything else is bamboo, and walls): the clearing by the way
// back to the town where the road arrives (the companion, the beasts' ambush and the herb
// patch a few steps east of the arrival), a path running south-east below the fighters,
// and for each fighter a nook of its own at the end of a one-cell lane off that path.
// A fighter is scattered at load onto any open cell within five cells of its own in
// either direction: each nook's box of five cells holds only its own lane, so the
// fighters stand apart and none of them is ever placed near the clearing.
bool GroveOpen(int cx, int cy) {
    const int u = cx - cy, v = cx + cy;
    if (u >= -15 && u <= -5 && v >= 29 && v <= 38) return true;  // the clearing
    if (cx >= 8 && cx <= 10 && cy >= 19 && cy <= 21) return true;  // the beasts' nook
    if (cx >= 6 && cx <= 27 && cy >= 17 && cy <= 19) return true;  // the path
    for (int i = 0; i < kGroveFighterCount; ++i)
        if (cx == kGroveFighterCells[i][0] && cy >= kGroveFighterCells[i][1] && cy < 17) return true;
    return false;
}

void BuildGrove(SampleScene& s) {
    CSceneBuilder b(s, 0, 1, 16, 16);  // 1024 x 512 on a 32 x 32 diamond grid
    const int moss = b.Picture("dmoss.bmp", 1, 64, 32, 0);
    const int earth = b.Picture("dearth.bmp", 1, 64, 32, 0);
    // A clump stands on its cell (the footprint's cell at the picture's bottom middle),
    // so that it is drawn in front of who walks behind it.
    const int bamboo[2] = {b.Picture("bamboo1.bmp", 1, 64, 128, 5, 1, 1, 32, 120),
                           b.Picture("bamboo2.bmp", 1, 64, 128, 5, 1, 1, 32, 120)};
    // Young bamboo along the top, where a tall clump would rise above the map.
    const int shoots = b.Picture("bamboo3.bmp", 1, 64, 64, 5, 1, 1, 32, 56);
    const int herbs = b.Picture("herbs.bmp", 1, 96, 48, 5, 0, 0);
    for (int cy = 0; cy < b.GridHeight(); ++cy)
        for (int cx = 0; cx < b.GridWidth(); ++cx) {
            const bool bOpen = GroveOpen(cx, cy);
            if (!bOpen) b.Wall(cx, cy);
            const POINT c = b.Centre(cx, cy);
            if (c.x < 0 || c.y < 0 || c.x > 1024 || c.y > 512) continue;
            b.Object(kListA, 0, 0, bOpen ? earth : moss, c.x - 32, c.y - 16, 64, 32);
        }
    // Bamboo on every wall cell whose clump would not stand in front of an open cell: the
    // open ground, who stands on it and the herbs stay in sight, with moss left in front.
    std::vector<POINT> open;
    for (int cy = 0; cy < b.GridHeight(); ++cy)
        for (int cx = 0; cx < b.GridWidth(); ++cx)
            if (GroveOpen(cx, cy)) open.push_back(b.Centre(cx, cy));
    for (int cy = 0; cy < b.GridHeight(); ++cy)
        for (int cx = 0; cx < b.GridWidth(); ++cx) {
            const POINT c = b.Centre(cx, cy);
            if (GroveOpen(cx, cy) || c.x < 0 || c.y < 16 || c.x > 1024 || c.y > 560) continue;
            bool bHides = false;
            for (const POINT& o : open) bHides = bHides || (std::abs(o.x - c.x) < 48 && o.y < c.y && o.y > c.y - 128);
            if (bHides || c.y < 56) continue;
            if (c.y < 120) b.Object(kListD, 0, 0, shoots, c.x - 32, c.y - 56, 64, 64, "bamboo");
            else b.Object(kListD, 0, 0, bamboo[Noise(cx, cy, 7) % 2], c.x - 32, c.y - 120, 64, 128, "bamboo");
        }
    // The version-0.1 header counts list G objects the file does not hold.
    s.map.nHeaderCountG = 2;
    // The way back to the town, the row of cells at the clearing's west edge, west of where
    // the road from the town arrives.
    b.Exit(8, 21, 8, 23, 0, 1168, 496);
    // The greeting where the road from the town arrives (200, 300), and the herb patch a
    // few steps east of it, drawn on its cells.
    b.Region(11, 21, 13, 23, kGroveGreetingEvent);
    b.Region(14, 20, 15, 21, kHerbPatchEvent);
    const POINT patch = b.Centre(14, 21);
    b.Object(kListD, 0, 61, herbs, patch.x - 16, patch.y - 24, 96, 48, "herbs");
    // The start, where a fleeing fighter runs and beside which a ranged one keeps: the
    // archer's own cell.
    const POINT start = b.Centre(kGroveFighterCells[2][0], kGroveFighterCells[2][1]);
    s.setting.nStartX = start.x;
    s.setting.nStartY = start.y;
}

void BuildInn(SampleScene& s) {
    CSceneBuilder b(s, 1, 0, 25, 19);  // 800 x 608
    const int floor = b.Picture("floor.bmp", 1, 64, 64, 0);
    const int table = b.Picture("table.bmp", 1, 96, 64, 5, 3, 1, 0, 48);
    const int lamp = b.Picture("fire.bmp", 4, 32, 48, 5, 1, 1, 0, 40);
    const int mat = b.Picture("mat.bmp", 1, 96, 32, 1);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 13; ++x) b.Object(kListA, 0, 0, floor, x * 64, y * 64, 64, 64);
    b.Object(kListB, 0, 0, mat, 352, 416, 96, 32, "mat");
    for (int i = 0; i < 3; ++i) b.Object(kListD, 1, 70 + i, table, 96 + 224 * i, 288, 96, 64, "table");
    b.Object(kListD, 4, 75, lamp, 736, 64, 32, 48, "lamp");
    // The room ends above the toolbar: the back wall and the rows under the toolbar are
    // walls, and the way out is the mat in the last row above it.
    for (int x = 0; x < 25; ++x) b.Wall(x, 0);
    b.Walls(0, 14, 24, 18);
    b.Exit(11, 13, 13, 13, 0, 370, 250);
    s.setting.nStartX = 400;
    s.setting.nStartY = 400;
}

}  // namespace

void AddScenePerson(SampleScene& s, NpcRecordModel npc) {
    std::int32_t nGridWidth = 0, nGridHeight = 0;
    MapGridSize(s.map.nWidth, s.map.nHeight, s.map.nGridKind, s.map.nCellSize, &nGridWidth, &nGridHeight);
    const SceneCell& cell = s.map.cells[size_t(npc.nCellX + nGridWidth * npc.nCellY)];
    npc.nBoxX = cell.nPointX;
    npc.nBoxY = cell.nPointY;
    s.setting.npcs.push_back(BuildNpcRecord(npc));
}

const std::vector<int>& SampleSceneNumbers() {
    static const std::vector<int> numbers{0, 1, 100};
    return numbers;
}

SampleScene BuildSampleScene(int nNumber) {
    SampleScene s;
    s.nNumber = nNumber;
    if (nNumber == 0) BuildTown(s);
    else if (nNumber == 1) BuildGrove(s);
    else BuildInn(s);
    for (const NpcRecordModel& npc : SamplePeople(nNumber)) AddScenePerson(s, npc);
    return s;
}

std::vector<SamplePicture> SampleScenePictures() {
    std::vector<SamplePicture> out;
    auto add = [&](const char* pszFolder, const char* pszName, PictureRgba pic) {
        out.push_back({pszFolder, pszName, std::move(pic)});
    };
    add("pic", "grass.bmp", Texture(64, 64, 70, 140, 60, 1));
    add("pic", "flowers.bmp", Flowers());
    add("pic", "path.bmp", Texture(64, 64, 180, 160, 110, 2));
    add("pic", "wall.bmp", Texture(32, 32, 110, 110, 120, 3));
    add("pic", "stone.bmp", Stone());
    add("pic", "lever.bmp", Lever());
    add("pic", "house.bmp", House(190, 150, 100));
    add("pic", "inn.bmp", Inn());
    add("pic", "roof.bmp", Roof(150, 50, 40));
    add("pic", "fire.bmp", Fire(4, 32, 48));
    add("pic", "wheel.bmp", Wheel(3, 64));
    add("pic", "dmoss.bmp", DiamondTile(60, 120, 70, 4));
    add("pic", "dearth.bmp", DiamondTile(140, 110, 70, 5));
    add("pic", "well.bmp", Well());
    add("pic", "chest.bmp", Chest());
    add("pic", "wstone.bmp", WeatherStone());
    add("pic", "signboard.bmp", Signboard());
    add("pic", "worktable.bmp", Table());
    add("pic", "herbs.bmp", HerbPatch());
    add("pic", "bamboo1.bmp", Bamboo(1));
    add("pic", "bamboo2.bmp", Bamboo(2));
    add("pic", "bamboo3.bmp", BambooShoots());
    add("pic-inside", "floor.bmp", Texture(64, 64, 150, 110, 70, 6));
    add("pic-inside", "table.bmp", Table());
    add("pic-inside", "fire.bmp", Fire(4, 32, 48));
    add("pic-inside", "mat.bmp", DoorMat());
    add("otherMenubmp", "Effect1.bmp", MarkPicture(Argb(255, 80, 220, 80)));
    add("otherMenubmp", "Effect2.bmp", MarkPicture(Argb(255, 230, 60, 60)));
    return out;
}

bool WriteSampleScenes(const std::string& strGameDir, std::string* pError) {
    for (int n : SampleSceneNumbers()) {
        const SampleScene s = BuildSampleScene(n);
        if (!WriteSceneFiles(strGameDir, n, s.map, s.setting, pError)) return false;
    }
    for (const SamplePicture& p : SampleScenePictures()) {
        std::error_code ec;
        std::filesystem::create_directories(strGameDir + "/" + p.strFolder, ec);
        const std::string strPath = strGameDir + "/" + p.strFolder + "/" + p.strName;
        if (!WriteBytesToFile(strPath.c_str(), BuildBmp(p.picture))) {
            if (pError) *pError = "cannot write " + strPath;
            return false;
        }
    }
    return true;
}
