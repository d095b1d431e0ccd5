#include "lan/KeyboardLayout.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Copies at most nBuffer - 1 bytes of the text and terminates it, as a fixed buffer would.
void CopyCut(char* pOut, size_t nBuffer, const std::string& strText) {
    size_t nLen = std::min(strText.size(), nBuffer - 1);
    std::memcpy(pOut, strText.data(), nLen);
    pOut[nLen] = 0;
}

}  // namespace

CKeyboardLayout::CKeyboardLayout(IRegistry* pRegistry, IKeyboardLayouts* pLayouts)
    : m_registry(pRegistry != nullptr ? *pRegistry : SystemRegistry()),
      m_layouts(pLayouts != nullptr ? *pLayouts : SystemKeyboardLayouts()) {
    EnumLayouts();
}

CKeyboardLayout::~CKeyboardLayout() {
    // Unlink node by node so a long list is not freed by deep recursion.
    while (m_pHead) m_pHead = std::move(m_pHead->pNext);
}

bool CKeyboardLayout::EnumLayouts() {
    const std::string strPreload = "Keyboard Layout\\Preload";
    if (!m_registry.HasKey(ERegistryRoot::CurrentUser, strPreload)) return m_pHead != nullptr;
    std::unique_ptr<KeyboardLayoutNode>* ppTail = &m_pHead;
    while (*ppTail) ppTail = &(*ppTail)->pNext;
    for (int n = 1;; ++n) {
        std::string strValue;
        if (!m_registry.QueryValue(ERegistryRoot::CurrentUser, strPreload, std::to_string(n), &strValue)) break;
        char szIdentifier[16];
        CopyCut(szIdentifier, sizeof(szIdentifier), strValue);
        std::string strKey = std::string("System\\CurrentControlSet\\Control\\Keyboard Layouts\\") + szIdentifier;
        std::string strName;
        if (!m_registry.QueryValue(ERegistryRoot::LocalMachine, strKey, "Layout text", &strName)) continue;
        auto pNode = std::make_unique<KeyboardLayoutNode>();
        std::memcpy(pNode->szIdentifier, szIdentifier, sizeof(szIdentifier));
        CopyCut(pNode->szName, 100, strName);
        *ppTail = std::move(pNode);
        ppTail = &(*ppTail)->pNext;
    }
    return m_pHead != nullptr;
}

int CKeyboardLayout::Activate(const char* pszIdentifier) {
    if (pszIdentifier == nullptr) return 0;
    std::uintptr_t hLayout = m_layouts.Load(pszIdentifier);
    if (hLayout == 0) return 0;
    m_layouts.Activate(hLayout);
    return 1;
}
