#include "platform/Registry.h"

namespace {

class CNoRegistry : public IRegistry {
public:
    bool HasKey(ERegistryRoot, const std::string&) override { return false; }
    bool QueryValue(ERegistryRoot, const std::string&, const std::string&, std::string*) override { return false; }
};

class CNoKeyboardLayouts : public IKeyboardLayouts {
public:
    std::uintptr_t Load(const char*) override { return 0; }
    bool Activate(std::uintptr_t) override { return false; }
};

}  // namespace

IRegistry& SystemRegistry() {
    static CNoRegistry registry;
    return registry;
}

IKeyboardLayouts& SystemKeyboardLayouts() {
    static CNoKeyboardLayouts layouts;
    return layouts;
}
