// What the media classes ask of the main window: the game folder, the sound switch
// and the sound-effect volume. The main window implements it and sets pMediaHost;
// without a host the current folder, sound on and volume 90 are used.
#pragma once
#include <string>

class IMediaHost {
public:
    virtual ~IMediaHost() = default;
    // The game folder, without a trailing separator.
    virtual std::string GetGameFolder() const = 0;
    virtual bool IsSoundOn() const = 0;
    // Sound-effect volume in percent.
    virtual int GetSoundVolume() const = 0;
};

extern IMediaHost* pMediaHost;

// The helpers the media classes use.
std::string MediaGameFolder();
bool MediaSoundOn();
int MediaSoundVolume();
