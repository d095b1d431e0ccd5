// Short AVI videos for the sample game and the tests: solid-coloured pictures (with an
// optional moving bar) encoded with the system's MPEG-4 part 2 encoder, and an
// optional PCM tone track.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct AviSpec {
    int nWidth = 160;
    int nHeight = 120;
    int nFps = 10;
    // One entry per picture: 0xRRGGBB.
    std::vector<std::uint32_t> colours;
    // Draws a white bar that moves across the pictures (sample content only).
    bool bMovingBar = false;
    // A tone of this frequency as a 22050 Hz mono PCM track; 0 for no sound track.
    double dToneHz = 0;
};

// Writes the video to a real file path. False with a message on failure.
bool WriteAvi(const std::string& path, const AviSpec& spec, std::string* pError = nullptr);
