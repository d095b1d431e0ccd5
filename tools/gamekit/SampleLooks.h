// The looks of the sample game's people: one table of hair, clothes, hat and what they
// carry, by sculpt number, that both the sprite frames (npc.pkg) and the portraits
// (the talk faces "TX%03d.bmp", the panels' "CTX%03d.tga" and the toolbar's
// "GTX%03d.tga") are drawn from, so a talk line shows the face of the sculpt that
// speaks it. Sculpt 1 is the heroine, 2..19 and 89 the villagers (2..5 also the party
// members who join), 0 a traveller; the beasts (20..31) have figures of their own.
#pragma once
#include <cstdint>
#include <span>

#include "tools/gamekit/ImageWriters.h"

enum class Hair { Bald, Short, Long, Bun, TwinBuns, Topknot, Ponytail };
enum class Garment { Tunic, Robe, Dress };
enum class Hat { None, Straw, Conical, ScholarCap, RoundCap, Headscarf, Helmet, Headband, Bow };
enum class Prop { None, Staff, Sword, Fan, Basket, Hoe, FishingRod, Abacus, Spear, Hammer, Axe, Book, Lantern };

struct Look {
    int nSculpt;
    Hair hair;
    std::uint32_t crHair;
    Garment garment;
    std::uint32_t crClothes;  // tunic, robe or dress
    std::uint32_t crTrim;     // collar, belt and cuffs
    std::uint32_t crLegs;     // trousers (or stockings under a dress)
    Hat hat;
    std::uint32_t crHat;
    Prop prop;
    bool bBeard;
    bool bApron;
};

// The look of a sculpt; null for a sculpt without one (the beasts).
const Look* FindLook(int nSculpt);
// Every look, in table order (one a sculpt).
std::span<const Look> AllLooks();

// The sculpt party member m (0 the heroine) wears: the one the battle draws it with, so
// a member looks the same on the map, in the battle and in its portraits.
constexpr int kMemberSculpt[4] = {1, 0, 2, 3};

// The look a party portrait shows: portraits 1..4 are members 0..3 in their sculpts
// (the heroine first); portrait 5 is the heroine in her other clothes.
Look PortraitLook(int nPortrait);
// A standing or walking frame of the look in a direction (0 down, then clockwise) and
// frame: 256 x 180 with the feet at (128, 170), like every character frame.
PictureRgba PaintPerson(const Look& look, int nAction, int nDirection, int nFrame);
// Head and shoulders of the look, filling the rectangle (x, y, w, h) of the picture.
void PaintBust(PictureRgba& pic, const Look& look, int x, int y, int w, int h);
// A framed portrait of w x h: a frame in crFrame (nBottom pixels deep below, 4 on the
// other sides) round the bust on a plain ground of crGround.
PictureRgba PaintPortrait(const Look& look, int w, int h, std::uint32_t crFrame, std::uint32_t crGround, int nBottom);
// The picture in greys of the same lightness, its alpha kept (a member not met yet).
void MakeGrey(PictureRgba& pic);
