// Loading of the event-script data "data\script.dat" into pScriptData. The reader
// of the file's content belongs to CScriptData; until it is part of the build the
// file is found but reported as unreadable, so start-up stops with a clear reason.
#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "platform/Files.h"

bool CGameData::LoadScript() {
    if (szGamePath[0] != '\0') SetCurrentDirectory(szGamePath);
    FreeScriptData();
    if (!FileExists("data\\script.dat")) {
        if (pDebugLog != nullptr) pDebugLog->Write("Can not open Script file .........script\\script.bin");
        m_strError = "data\\script.dat: cannot open";
        return false;
    }
    if (pDebugLog != nullptr) pDebugLog->Write("Read Script file...");
    if (pDebugLog != nullptr) pDebugLog->Write("failed\r\n");
    m_strError = "data\\script.dat: no script data reader in this build";
    return false;
}

void CGameData::FreeScriptData() {
    // No script data object is ever created without its reader.
    pScriptData = nullptr;
}
