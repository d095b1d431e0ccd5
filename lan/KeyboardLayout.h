// The keyboard layouts the user has preloaded, each with its display name, in preload
// order; a layout can be loaded and activated by its identifier.
#pragma once
#include "platform/Registry.h"

#include <memory>

struct KeyboardLayoutNode {
    char szIdentifier[16] = {};  // at most 15 characters
    char szName[101] = {};       // at most 99 characters (read through a 100-byte buffer)
    std::unique_ptr<KeyboardLayoutNode> pNext;
};

class CKeyboardLayout {
public:
    // Null interfaces mean the system's.
    explicit CKeyboardLayout(IRegistry* pRegistry = nullptr, IKeyboardLayouts* pLayouts = nullptr);
    virtual ~CKeyboardLayout();
    CKeyboardLayout(const CKeyboardLayout&) = delete;
    CKeyboardLayout& operator=(const CKeyboardLayout&) = delete;

    // Appends the preloaded layouts that have a name; true when the list is not empty.
    bool EnumLayouts();
    const KeyboardLayoutNode* GetFirst() const { return m_pHead.get(); }
    // 1 when the layout was loaded and activated; 0 for null or an unknown layout.
    int Activate(const char* pszIdentifier);

private:
    IRegistry& m_registry;
    IKeyboardLayouts& m_layouts;
    std::unique_ptr<KeyboardLayoutNode> m_pHead;
};
