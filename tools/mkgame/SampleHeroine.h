// The heroine's own figure: she wears a crimson dress with a flared skirt, long black
// hair and a pink bow, so she stands out among the villagers (drawn from their looks)
// on the map and in battle. The enemies are beasts of their own. Fighters fall: action
// 8 tips them over and 9 lays them on the ground.
#pragma once
#include <cstdint>

#include "tools/gamekit/ImageWriters.h"

// The sculpt the heroine wears (member 0 wears sculpt 1).
constexpr int kHeroineSculpt = 1;
// Her dress colour, which no other sample character carries.
constexpr std::uint32_t kHeroineDress = Argb(255, 196, 40, 96);

// A frame of the heroine in an action, direction and frame, laid out like every
// character frame (256 x 180, feet at (128, 170)).
PictureRgba PaintHeroine(int nAction, int nDirection, int nFrame);
// The enemies' sculpts (the enemy table's 20..31): horned four-legged beasts, so that
// nobody takes them for villagers.
constexpr int kFirstBeastSculpt = 20;
constexpr int kLastBeastSculpt = 31;
// The master's training statues wear one of those sculpts but are carved people, not
// beasts: they stand and fall as grey stone figures.
constexpr int kStatueSculpt = 28;
PictureRgba PaintBeast(int nSculpt, int nAction, int nDirection, int nFrame);
// The sample game's character frames: the heroine's for her sculpt, the beasts' for the
// enemies' sculpts, each villager's from their look (the shared block figure for a
// sculpt without one); falling and fallen frames lie down.
PictureRgba PaintSampleCharacter(int nSculpt, int nAction, int nDirection, int nFrame);
