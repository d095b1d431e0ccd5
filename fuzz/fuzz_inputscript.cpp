// Feeds arbitrary text to the headless driver's input-script reader: every line is
// either an event or a named error, and every event it accepts is well formed.
#include "platform/InputScript.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    const std::string strText(reinterpret_cast<const char*>(pData), nSize);
    const ParsedScript parsed = ParseInputScript(strText, "fuzz.txt");
    for (const ScriptEvent& ev : parsed.events) {
        if (ev.nLine < 1) __builtin_trap();
        if (ev.bAtFrame && (ev.dwWhen == 0 || ev.action != ScriptAction::Shot)) __builtin_trap();
        if (ev.action == ScriptAction::Key && (ev.nKey <= 0 || ev.nKey >= 255)) __builtin_trap();
    }
    for (const std::string& e : parsed.errors)
        if (e.rfind("fuzz.txt line ", 0) != 0) __builtin_trap();
    ParseKeyName(strText);
    return 0;
}
