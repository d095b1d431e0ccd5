#include "tools/gamekit/ScriptWriter.h"

#include "platform/Stream.h"

EventRecord OpenEventRecord() {
    EventRecord e{};
    for (auto& n : e.nPreScene) n = -1;
    for (auto& n : e.nPreEvent) n = -1;
    for (auto& n : e.nNeedItem) n = -1;
    e.nRunLimit = -1;
    e.nOnce = 0;
    return e;
}

namespace {

void WriteTable(CByteWriter& w, const std::vector<EventRecord>& events) {
    w.WriteI32(std::int32_t(events.size()));
    for (const EventRecord& e : events) {
        const std::int32_t* p = &e.nLead;
        for (int i = 0; i < 43; ++i) w.WriteI32(p[i]);
    }
}

void WriteScripts(CByteWriter& w, const std::vector<ScriptSceneModel>& scenes) {
    const size_t nBase = w.Size();
    w.WriteI32(std::int32_t(scenes.size()) - 1);
    for (size_t i = 0; i < scenes.size(); ++i) w.WriteI32(0);
    for (size_t i = 0; i < scenes.size(); ++i) {
        const ScriptSceneModel& s = scenes[i];
        if (!s.bHasBlock) continue;
        const size_t nBlock = w.Size();
        w.PatchU32(nBase + 4 + 4 * i, std::uint32_t(nBlock - nBase));
        w.WriteI32(std::int32_t(s.subEvents.size()));
        w.WriteI32(std::int32_t(s.commands.size()));
        w.WriteI32(std::int32_t(s.texts.size()));
        for (const SubEvent& e : s.subEvents) {
            w.WriteI32(e.nEvent);
            w.WriteI32(e.nFirstStep);
            w.WriteI32(e.nLastStep);
        }
        for (const ScriptCommand& c : s.commands) {
            const std::int32_t* p = &c.nCommand;
            for (int k = 0; k < 7; ++k) w.WriteI32(p[k]);
        }
        w.WriteI32(0);  // the word before the text entries is not read
        const size_t nEntries = w.Size();
        for (size_t k = 0; k < s.texts.size(); ++k) {
            w.WriteI32(0);
            w.WriteI32(std::int32_t(s.texts[k].size()));
            w.WriteI32(0);
        }
        for (size_t k = 0; k < s.texts.size(); ++k) {
            w.PatchU32(nEntries + 12 * k, std::uint32_t(w.Size() - nBlock));
            w.WriteText(s.texts[k]);
        }
    }
}

}  // namespace

std::vector<std::uint8_t> BuildScriptFile(const std::vector<ScriptSceneModel>& scenes) {
    CByteWriter w;
    const size_t nScenes = scenes.size();
    w.WriteI32(std::int32_t(nScenes));
    for (size_t i = 0; i < nScenes; ++i) w.WriteI32(0);
    // The scripts start where reading the last scene's table stopped: write the last
    // table just before them, or the scripts straight after the offsets when it has none.
    const bool bLastHasTable = nScenes > 0 && !scenes.back().events.empty();
    auto writeTables = [&](size_t nEnd) {
        for (size_t i = 0; i < nEnd; ++i) {
            if (scenes[i].events.empty()) continue;
            w.PatchU32(4 + 4 * i, std::uint32_t(w.Size()));
            WriteTable(w, scenes[i].events);
        }
    };
    if (bLastHasTable) {
        writeTables(nScenes);
        WriteScripts(w, scenes);
    } else {
        WriteScripts(w, scenes);
        writeTables(nScenes);
    }
    return w.Bytes();
}
