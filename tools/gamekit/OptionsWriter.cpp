#include "tools/gamekit/GameDataWriters.h"

#include <sstream>

std::string BuildOptionsFile(const OptionsModel& o) {
    std::ostringstream out;
    out << "; Options of the game\r\n"
        << "[Option]\r\n"
        << "Terrain=" << o.nTerrain << "\r\n"
        << "FullScreen=" << o.nFullScreen << "\r\n"
        << "ScreenWidth=" << o.nScreenWidth << "\r\n"
        << "ScreenHeight=" << o.nScreenHeight << "\r\n"
        << "ScreenBPP=" << o.nScreenBPP << "\r\n"
        << "ScreenMode=" << o.nScreenMode << "\r\n"
        << "CanScroll=" << o.nCanScroll << "\r\n"
        << "DataFrom=" << o.nDataFrom << "\r\n"
        << "PlayLeader=" << o.nPlayLeader << "\r\n"
        << "ShowEventPoint=" << o.nShowEventPoint << "\r\n"
        << "Music=" << o.nMusic << "\r\n"
        << "Copy=" << o.nCopy << "\r\n"
        << "Scenepkg=" << o.nScenepkg << "\r\n"
        << "\r\n"
        << "[NewGame]\r\n"
        << "Scene=" << o.nScene << "\r\n"
        << "PlayerX=" << o.nPlayerX << "\r\n"
        << "PlayerY=" << o.nPlayerY << "\r\n"
        << "PlayerSpeed=" << o.nPlayerSpeed << "\r\n"
        << "PlayerCloth=" << o.nPlayerCloth << "\r\n"
        << "PlayerRunSpeed=" << o.nPlayerRunSpeed << "\r\n";
    return out.str();
}
