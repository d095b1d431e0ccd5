#include "tools/gamekit/GameDataWriters.h"

#include "platform/Files.h"
#include "platform/Stream.h"

std::vector<std::uint8_t> BuildCaptionFile(const std::vector<std::string>& captions) {
    CByteWriter out;
    out.WriteI32(std::int32_t(captions.size()));
    for (const std::string& line : captions) {
        out.WriteU32(std::uint32_t(line.size()));
        for (char c : line) out.WriteU8(std::uint8_t(static_cast<unsigned char>(c) + 10));
    }
    return out.TakeBytes();
}

std::vector<std::uint8_t> BuildAreaPatternFile(const std::vector<AreaPatternModel>& patterns) {
    CByteWriter out;
    out.WriteI32(std::int32_t(patterns.size()));
    for (const AreaPatternModel& p : patterns) {
        char name[32] = {};
        for (size_t i = 0; i < p.strName.size() && i < sizeof(name); ++i) name[i] = p.strName[i];
        out.WriteBytes(name, sizeof(name));
        out.WriteI32(std::int32_t(p.cells.size()));
        out.WriteI32(p.nOriginX);
        out.WriteI32(p.nOriginY);
        for (const AreaCellModel& c : p.cells) {
            out.WriteI32(c.nX);
            out.WriteI32(c.nY);
            for (std::int32_t v : c.nStep) out.WriteI32(v);
        }
        for (std::int32_t v : p.nTail) out.WriteI32(v);
    }
    return out.TakeBytes();
}

bool WriteGameDataFiles(const char* pFolder, const GameModel& model, std::string* pError) {
    std::string folder = ResolvePath(pFolder);
    // Create the folder and any missing parents.
    for (size_t pos = folder.find('/', 1); pos != std::string::npos; pos = folder.find('/', pos + 1)) {
        MakeDirectory(folder.substr(0, pos).c_str());
    }
    if (!MakeDirectory(folder.c_str()) || !MakeDirectory((folder + "/data").c_str())) {
        if (pError != nullptr) *pError = folder + ": cannot create the game folder";
        return false;
    }
    std::string options = BuildOptionsFile(model.options);
    return WriteFileAtomic((folder + "/fenwik.ini").c_str(), options.data(), options.size(), pError) &&
           WriteFileAtomic((folder + "/data/Base.dat").c_str(), BuildBaseDat(model), pError) &&
           WriteFileAtomic((folder + "/data/vesk.dat").c_str(), BuildCaptionFile(model.captions), pError) &&
           WriteFileAtomic((folder + "/data/Vesk.Ayl").c_str(), BuildAreaPatternFile(model.areaPatterns), pError);
}
