// The sample game's sounds, music and opening videos.
#pragma once
#include <string>

// Writes into the game folder: the 15 effect files of "sound", the numbered skill
// sounds "Sound\jl00.wav".."jl29.wav" and character sounds "Npc00.wav".."Npc19.wav",
// the music package "data\veskmp3.dat" (tracks 1-5, 30, 31, 40 and 99) and the
// opening videos in "movie". False with a message on stderr when a file fails.
bool WriteSampleAudio(const std::string& gameDir);
