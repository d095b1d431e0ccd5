// Loading of the event-script data "data\script.dat" into pScriptData.
#include <memory>

#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "platform/Window.h"

namespace {
// A script file beyond this size is not a script file.
constexpr size_t kScriptLimit = size_t(256) << 20;
}

bool CGameData::LoadScript() {
    if (szGamePath[0] != '\0') SetCurrentDirectory(szGamePath);
    FreeScriptData();
    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!ReadWholeFile("data\\script.dat", kScriptLimit, &bytes, &why)) {
        if (pDebugLog != nullptr) pDebugLog->Write("Can not open Script file .........script\\script.bin");
        return Fail(why);
    }
    if (pDebugLog != nullptr) pDebugLog->Write("Read Script file...");
    auto pData = std::make_unique<CScriptData>();
    CByteReader reader(bytes, "script.dat");
    if (!pData->LoadEventTables(reader) || !pData->LoadScripts(reader)) {
        if (pDebugLog != nullptr) pDebugLog->Write("failed\r\n");
        if (pData->HasErrorMark()) MessageBox(nullptr, "Wrong Script data", "", MB_OK);
        return Fail(pData->GetError());
    }
    if (pDebugLog != nullptr) pDebugLog->Write("OK\r\n");
    pScriptData = pData.release();
    return true;
}

void CGameData::FreeScriptData() {
    delete pScriptData;
    pScriptData = nullptr;
}
