#include "media/MediaHost.h"

#include "platform/Files.h"

IMediaHost* pMediaHost = nullptr;

std::string MediaGameFolder() { return pMediaHost ? pMediaHost->GetGameFolder() : GetCurrentDirectory(); }
bool MediaSoundOn() { return pMediaHost ? pMediaHost->IsSoundOn() : true; }
int MediaSoundVolume() { return pMediaHost ? pMediaHost->GetSoundVolume() : 90; }
