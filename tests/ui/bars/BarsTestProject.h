#pragma once
// The project the bar tests work on: a copy of the inverter example, opened by a document whose
// clock module is a stand-in with registers of every kind the bars treat specially, published
// clocks the test sets, and an indicator control for warnings.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "base/AppFilePath.h"
#include "model/DialogTemplate.h"
#include "modules/framework/CModule.h"
#include "project/ProjDoc.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace barstest {

inline constexpr int kIndicatorId = 500;
inline constexpr int kSecondIndicatorId = 501;

// clang-format off
inline const CDialogTemplate kClockPage(9301, {
    dlg::Label("PLL", kIndicatorId),
    dlg::Label("VCO", kSecondIndicatorId),
});
// clang-format on

inline const tPerCfgDef kClockRegisters[] = {
    {"CTRL_INIT", 0, hwc::RegFlag::DW16},
    {"REQUIRED_LOCK_MODE", 0, hwc::RegFlag::DW8},
    {"PROT_INIT", 0, hwc::RegFlag::DW16 | hwc::RegFlag::NOSHOWLIST},
    {"-TRIM_INIT~lo", 0, hwc::RegFlag::DW16 | hwc::RegFlag::NOEDITLIST},
    {"-CLOCK_NOTE", 0, hwc::RegFlag::USERDEFINE | hwc::RegFlag::DECVALUE},
};

// The clock module's stand-in: it also lists the modulo register of timer PIT0 as borrowed.
class CpmBarsClock : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmBarsClock, CModule)
public:
    CpmBarsClock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 9301, descriptor, kClockRegisters, 5) {}
    const CDialogTemplate* DialogTemplate() const override { return &kClockPage; }
    void AfterLoad() override {
        CModule::AfterLoad();
        if (CModuleBase* timer = FindModule(Host(), "PIT0"))
            if (tPerCfgItem* modulo = timer->FindRegister("MOD_INIT"))
                ForeignItems().push_back(modulo);
    }
    float PublishedBusClock() const override { return busClock; }
    float PublishedOtherClock() const override { return otherClock; }
    float PublishedCoreClock() const override { return coreClock; }

    float busClock = 0;
    float otherClock = 0;
    float coreClock = 0;
};

// The product's document, with the clock stand-in or without any clock module.
class CBarsDoc : public CProjDoc {
public:
    explicit CBarsDoc(bool withClock = true) : m_withClock(withClock) {}

protected:
    const CRuntimeClass* ModuleClassFor(std::string_view typeKey) const override {
        if (typeKey == "OCCS")
            return m_withClock ? &CpmBarsClock::kRuntimeClass : nullptr;
        return CProjDoc::ModuleClassFor(typeKey);
    }

private:
    bool m_withClock;
};

// Copies the example into a fresh folder and opens it; the example itself is never written.
class BarsProjectTest : public ::testing::Test {
protected:
    void SetUp() override { SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch"); }
    void TearDown() override {
        m_document.reset();
        SetAppFolder("");
    }

    CBarsDoc& Open(bool withClock = true) {
        namespace fs = std::filesystem;
        const fs::path copy = m_folder / "inverter";
        fs::copy(fs::path(HWC_TEST_SOURCE_DIR) / "examples/K7Q5110-inverter", copy,
                 fs::copy_options::recursive);
        m_document = std::make_unique<CBarsDoc>(withClock);
        EXPECT_TRUE(m_document->OpenProject(copy.string()));
        return *m_document;
    }

    CpmBarsClock* Clock() const {
        return dynamic_cast<CpmBarsClock*>(m_document->FindModule("OCCS", "OCCS"));
    }
    CModuleBase& Module(const char* instanceName) const {
        CModuleBase* module = m_document->FindModule(instanceName);
        EXPECT_NE(module, nullptr) << instanceName;
        return *module;
    }
    // What the module tree does when the user selects a module.
    void Select(CModuleBase& module) {
        m_document->Tree().SelectModule(&module);
        m_document->UpdateAllViews(&module, 3, &module);
    }

    CScriptedMessages m_messages;
    CTestFolder m_folder{"hwc-bars"};
    std::unique_ptr<CBarsDoc> m_document;
};

} // namespace barstest
