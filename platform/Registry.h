// Per-user and machine settings stores and keyboard-layout switching. This system keeps
// neither: the system instances find no value and load no layout. Tests use fakes.
#pragma once
#include <cstdint>
#include <string>

enum class ERegistryRoot { CurrentUser, LocalMachine };

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // True when the key exists under the root (and may be read).
    virtual bool HasKey(ERegistryRoot eRoot, const std::string& strKey) = 0;
    // Reads a text value of a key; false when the key or the value is missing.
    virtual bool QueryValue(ERegistryRoot eRoot, const std::string& strKey, const std::string& strName,
                            std::string* pValue) = 0;
};

class IKeyboardLayouts {
public:
    virtual ~IKeyboardLayouts() = default;
    // Loads a layout by its identifier text; 0 when it cannot be loaded.
    virtual std::uintptr_t Load(const char* pszIdentifier) = 0;
    // Makes a loaded layout the process's layout.
    virtual bool Activate(std::uintptr_t hLayout) = 0;
};

IRegistry& SystemRegistry();
IKeyboardLayouts& SystemKeyboardLayouts();
