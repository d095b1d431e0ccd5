// MP3 encoding and the music package "veskmp3.dat": count, then per entry a 0-ended
// name, offset and size (in 4-byte units), sorted by name without regard to case;
// each track is padded to a multiple of 4 bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Encodes 16-bit mono samples as a constant-bit-rate MP3. Empty on failure.
std::vector<std::uint8_t> EncodeMp3(const std::vector<std::int16_t>& samples, int nRate, int nKbps = 64);

struct MusicTrack {
    std::string name;  // "99.mp3"
    std::vector<std::uint8_t> bytes;
};
std::vector<std::uint8_t> BuildMusicPackage(std::vector<MusicTrack> tracks);
