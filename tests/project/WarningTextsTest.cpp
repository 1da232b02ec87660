// Every warning a module of an example project can raise has a text: each setting of every
// module is driven through its values, and for each of them every other setting is driven
// through its values too, so that warnings which need two settings (a timer's clock source and
// the clock module's oscillator) are raised as well.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/AppFilePath.h"
#include "bindings/SetCtrl.h"
#include "bindings/SetValue.h"
#include "model/ModuleBase.h"
#include "model/ModuleSubDlg.h"
#include "project/ProjDoc.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

// One setting control and the module whose page holds it.
struct tAxis {
    IBinding* binding;
    CModuleBase* module;
    bool inSubPage; // a repeated row: an interrupt row, a port pin
};

// The page's settings; of its repeated rows (interrupt rows, port pins), which share their
// code, the first stands for the others.
void CollectAxes(const CPage& page, CModuleBase& module, std::vector<tAxis>& axes,
                 bool inSubPage = false) {
    for (IBinding* binding : page.Bindings())
        axes.push_back({binding, &module, inSubPage});
    for (CModuleSubDlg* subPage : page.SubPages()) {
        if (!subPage->Bindings().empty()) {
            CollectAxes(*subPage, module, axes, true);
            break;
        }
    }
}

// Warnings that need two settings pair a module's setting with one of its own or with a
// setting of the module it names as related in the architecture file (a timer and the clock
// module, the real-time counter and the power module). Repeated rows (interrupt rows, port
// pins), the system module's many enables and numeric fields are driven alone, and the choices
// are paired with each other: the full square of every setting of a large project would make
// the walk far too slow.
bool WorthPairing(const tAxis& first, const tAxis& second) {
    if (first.inSubPage || second.inSubPage ||
        first.module->TypeKey().substr(0, 4) == "SYS_" ||
        second.module->TypeKey().substr(0, 4) == "SYS_")
        return false;
    if (first.module != second.module && first.module->RelatedModule() != second.module &&
        second.module->RelatedModule() != first.module)
        return false;
    return !dynamic_cast<CSetValue*>(first.binding) && !dynamic_cast<CSetValue*>(second.binding);
}

// What runs after each step of the setting being driven; the bindings' self-test reports each
// step through the self-test sink.
std::function<void()> g_onStep;

void OnStep(std::string_view) {
    if (g_onStep)
        g_onStep();
}

class CStepSink {
public:
    CStepSink() { hwc::SetSelfTestSink(&OnStep); }
    ~CStepSink() {
        hwc::SetSelfTestSink(nullptr);
        g_onStep = nullptr;
    }
    CStepSink(const CStepSink&) = delete;
    CStepSink& operator=(const CStepSink&) = delete;
};

// Drives the setting through its values, running `step` after each.
void Drive(const tAxis& axis, std::function<void()> step) {
    std::function<void()> outer = std::move(g_onStep);
    g_onStep = std::move(step);
    axis.binding->SelfTest();
    g_onStep = std::move(outer);
}

class WarningTexts : public ::testing::Test {
protected:
    void SetUp() override { SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch"); }
    void TearDown() override { SetAppFolder(""); }

    // Lets the two modules react as after a user's change and notes every warning without text.
    void Check(CProjDoc& document, CModuleBase& first, CModuleBase& second) {
        first.CheckWarnings();
        if (&second != &first)
            second.CheckWarnings();
        ++m_checks;
        for (const auto& warning : document.Warnings().Items()) {
            if (warning->text.empty())
                m_empty.insert(warning->owner->InstanceName() + " control " +
                               std::to_string(warning->id));
            else
                m_raised.insert(warning->owner->InstanceName() + ": " + warning->text);
        }
    }

    CScriptedMessages m_messages;
    CTestFolder m_root{"hwc-warning-texts"};
    std::set<std::string> m_empty;
    std::set<std::string> m_raised;
    long m_checks = 0;
};

} // namespace

TEST_F(WarningTexts, EveryWarningOfEveryExampleModuleHasItsText) {
#if defined(__SANITIZE_ADDRESS__)
    // The walk takes minutes under the sanitizers; the modules' own tests run there.
    GTEST_SKIP() << "too slow under the sanitizers";
#endif
    std::size_t examples = 0;
    for (const auto& entry : fs::directory_iterator(HWC_TEST_SOURCE_DIR "/examples")) {
        // Folders that hold no project are not examples.
        if (!fs::exists(entry.path() / "ApplicationConfig/appconfig.h"))
            continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const fs::path project = m_root / name;
        fs::copy(entry.path(), project, fs::copy_options::recursive);
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject(project.string()));
        ++examples;

        std::vector<tAxis> axes;
        for (const auto& module : document.Modules()) {
            if (module->Page())
                CollectAxes(*module->Page(), *module, axes);
        }
        CStepSink sink;
        for (std::size_t i = 0; i < axes.size(); ++i) {
            Drive(axes[i], [&, i] {
                Check(document, *axes[i].module, *axes[i].module);
                for (std::size_t j = i + 1; j < axes.size(); ++j) {
                    if (!WorthPairing(axes[i], axes[j]))
                        continue;
                    Drive(axes[j],
                          [&, i, j] { Check(document, *axes[i].module, *axes[j].module); });
                }
            });
        }
        document.CheckAllWarnings();
    }
    EXPECT_EQ(examples, 13u);
    EXPECT_TRUE(m_empty.empty()) << *m_empty.begin();
    // The walk reaches the warnings that need two modules, such as a timer's clock source.
    const bool timerClockSource = std::any_of(m_raised.begin(), m_raised.end(), [](const auto& t) {
        return t.find("PIT0: Clock source is not available;") == 0;
    });
    EXPECT_TRUE(timerClockSource) << m_checks << " checks";
}
