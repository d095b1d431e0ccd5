// The preloaded keyboard layout list over a map-backed registry.
#include "lan/KeyboardLayout.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const kPreload = "Keyboard Layout\\Preload";
const std::string kLayouts = "System\\CurrentControlSet\\Control\\Keyboard Layouts\\";

class CMapRegistry : public IRegistry {
public:
    // (root, key) -> value name -> text
    std::map<std::pair<ERegistryRoot, std::string>, std::map<std::string, std::string>> keys;

    bool HasKey(ERegistryRoot eRoot, const std::string& strKey) override { return keys.count({eRoot, strKey}) != 0; }
    bool QueryValue(ERegistryRoot eRoot, const std::string& strKey, const std::string& strName,
                    std::string* pValue) override {
        auto it = keys.find({eRoot, strKey});
        if (it == keys.end()) return false;
        auto value = it->second.find(strName);
        if (value == it->second.end()) return false;
        *pValue = value->second;
        return true;
    }
    void Preload(const std::string& strName, const std::string& strId) {
        keys[{ERegistryRoot::CurrentUser, kPreload}][strName] = strId;
    }
    void Layout(const std::string& strId, const std::string& strText) {
        keys[{ERegistryRoot::LocalMachine, kLayouts + strId}]["Layout text"] = strText;
    }
};

class CRecordingLayouts : public IKeyboardLayouts {
public:
    std::vector<std::string> loaded;
    std::vector<std::uintptr_t> activated;
    std::uintptr_t Load(const char* pszId) override {
        loaded.push_back(pszId);
        return std::string(pszId) == "00000409" ? 0x409 : 0;
    }
    bool Activate(std::uintptr_t h) override {
        activated.push_back(h);
        return true;
    }
};

std::vector<std::pair<std::string, std::string>> List(const CKeyboardLayout& layouts) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const KeyboardLayoutNode* p = layouts.GetFirst(); p != nullptr; p = p->pNext.get())
        out.emplace_back(p->szIdentifier, p->szName);
    return out;
}

}  // namespace

TEST(KeyboardLayout, ReadsPreloadInOrderSkippingNamelessAndStoppingAtAGap) {
    CMapRegistry registry;
    registry.Preload("1", "00000409");
    registry.Preload("2", "00000804");
    registry.Preload("3", "0000ffff");  // has no layout text: skipped, reading goes on
    registry.Preload("4", "00000411");  // read: 3 exists
    registry.Preload("6", "00000412");  // 5 is missing: never read
    registry.Layout("00000409", "US");
    registry.Layout("00000804", "Chinese");
    registry.Layout("00000411", "Japanese");
    registry.Layout("00000412", "Korean");
    CKeyboardLayout layouts(&registry, nullptr);
    EXPECT_EQ(List(layouts), (std::vector<std::pair<std::string, std::string>>{
                                 {"00000409", "US"}, {"00000804", "Chinese"}, {"00000411", "Japanese"}}));

    CMapRegistry gap;
    gap.Preload("1", "00000409");
    gap.Preload("3", "00000804");
    gap.Layout("00000409", "US");
    gap.Layout("00000804", "Chinese");
    CKeyboardLayout gapped(&gap, nullptr);
    EXPECT_EQ(List(gapped).size(), 1u);
}

TEST(KeyboardLayout, NoPreloadKeyAndTheSystemGiveAnEmptyList) {
    CMapRegistry empty;
    CKeyboardLayout layouts(&empty, nullptr);
    EXPECT_EQ(layouts.GetFirst(), nullptr);
    EXPECT_FALSE(layouts.EnumLayouts());
    CKeyboardLayout system;
    EXPECT_EQ(system.GetFirst(), nullptr);
    EXPECT_EQ(system.Activate("00000409"), 0);
}

TEST(KeyboardLayout, LongValuesAreCutToTheirBuffers) {
    CMapRegistry registry;
    std::string strLongId(40, '7');
    registry.Preload("1", strLongId);
    registry.Layout(strLongId.substr(0, 15), std::string(300, 'x'));
    CKeyboardLayout layouts(&registry, nullptr);
    auto list = List(layouts);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].first, std::string(15, '7'));
    EXPECT_EQ(list[0].second, std::string(99, 'x'));
}

TEST(KeyboardLayout, ActivateLoadsThenActivates) {
    CMapRegistry registry;
    CRecordingLayouts system;
    CKeyboardLayout layouts(&registry, &system);
    EXPECT_EQ(layouts.Activate(nullptr), 0);
    EXPECT_TRUE(system.loaded.empty());
    EXPECT_EQ(layouts.Activate("00000000"), 0);
    EXPECT_TRUE(system.activated.empty());
    EXPECT_EQ(layouts.Activate("00000409"), 1);
    EXPECT_EQ(system.activated, std::vector<std::uintptr_t>{0x409});
}
