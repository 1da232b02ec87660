#pragma once
// Shared by the tests of the value, mode and enumerated bindings: a page that belongs to a
// module of a document recording update hints, register items and a self-test line collector.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/FixedText.h"
#include "bindings/SetCtrl.h"
#include "model/ModuleBase.h"
#include "model/RegisterItem.h"

namespace bindtest {

class CHintHost : public IModuleHost {
public:
    std::size_t ModuleCount() const override { return 0; }
    CModuleBase* ModuleAt(std::size_t) const override { return nullptr; }
    bool GenerateComments() const override { return true; }
    bool GenerateDefaults() const override { return false; }
    bool KeepUserComments() const override { return false; }
    void RegisterItem(const tPerCfgItem&, CModuleBase&) override {}
    void UpdateAllViews(CModuleBase*, int hint, const void* object) override {
        hints.push_back({hint, object});
    }
    std::vector<std::pair<int, const void*>> hints;
};

inline tPerCfgItem MakeItem(const char* name, std::uint32_t value, std::uint32_t flags) {
    tPerCfgItem item{};
    hwc::CopyCut(item.szName, name);
    item.dwValue = value;
    item.dwFlags = flags;
    return item;
}

struct CPageFixture {
    explicit CPageFixture(const CDialogTemplate& dialogTemplate)
        : module(MakeModule(host)), page(dialogTemplate) {
        page.SetModule(module.get());
    }
    static std::unique_ptr<CModuleBase> MakeModule(CHintHost& host) {
        hwc::ScopedHostBeingOpened opening(&host);
        return std::make_unique<CModuleBase>(nullptr, 1, nullptr, nullptr, 0);
    }
    CPageControl& Control(int id) { return *page.FindControl(id); }

    CHintHost host;
    std::unique_ptr<CModuleBase> module;
    CPage page;
};

// Collects self-test lines while it lives.
class CLineCollector {
public:
    CLineCollector() {
        s_lines.clear();
        hwc::SetSelfTestSink(&Collect);
    }
    ~CLineCollector() { hwc::SetSelfTestSink(nullptr); }
    const std::vector<std::string>& Lines() const { return s_lines; }

private:
    static void Collect(std::string_view line) { s_lines.emplace_back(line); }
    static inline std::vector<std::string> s_lines;
};

} // namespace bindtest
