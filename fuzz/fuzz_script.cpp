#include <cstddef>
#include <cstdint>

#include "gamedata/ScriptData.h"
#include "platform/Stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    CByteReader reader(pData, nSize, "script.dat");
    CScriptData data;
    if (data.LoadEventTables(reader) && data.LoadScripts(reader)) {
        for (int s = 0; s < data.GetSceneScriptCount(); ++s)
            for (int k = 0; k < data.GetTextCount(s); ++k) (void)data.GetText(s, k);
    }
    return 0;
}
