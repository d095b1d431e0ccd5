// The sample game's pictures: every package the start-up opens and the loose pictures.
#pragma once
#include <string>

// Writes the packages into "<game>/bmp" and the loose pictures; false on failure
// (the message goes to the standard error).
bool WritePictureContent(const std::string& gameDir);
