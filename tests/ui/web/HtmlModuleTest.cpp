#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modules/framework/CHtmlModule.h"

namespace {

class CpmWebTest : public CHtmlModule {
    HWC_DECLARE_MODULE_CLASS(CpmWebTest, CHtmlModule)
public:
    CpmWebTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CHtmlModule(parent, 0, descriptor, nullptr, 0) {}
    void MakePlugin() { SetPluginFlags(true, true, false); }
    int loaded = 0;

protected:
    void OnPageLoaded() override { ++loaded; }
};

// A browser that records what it was asked to do.
class CRecordingNavigator final : public CHtmlModule::INavigator {
public:
    void LoadAddress(const std::string& address) override { loads.push_back(address); }
    void Redraw() override { ++redraws; }
    void ModuleDestroyed() override { moduleGone = true; }
    std::vector<std::string> loads;
    int redraws = 0;
    bool moduleGone = false;
};

TEST(HtmlModuleTest, NavigationWaitsForTheBrowserAndRemembersTheAddress) {
    CModuleDescriptor descriptor("PINOUT", "PINOUT");
    CpmWebTest module(nullptr, &descriptor);
    module.SetPageAddress("file:///pinout.htm");

    // Without a browser only the wish is kept; the browser loads it when it comes.
    module.Navigate("file:///other.htm");
    EXPECT_EQ(module.ShownAddress(), "");
    CRecordingNavigator browser;
    module.SetNavigator(&browser);
    EXPECT_EQ(browser.loads, std::vector<std::string>{"file:///other.htm"});
    EXPECT_EQ(module.ShownAddress(), "file:///other.htm");
    EXPECT_EQ(CHtmlModule::Current(), &module);

    // A plain web-page module reloads the shown address; the browser reports completion.
    module.Navigate("file:///other.htm");
    EXPECT_EQ(browser.loads.size(), 2u);
    module.PageLoaded();
    EXPECT_EQ(module.loaded, 1);

    // A second browser starts from the page address.
    module.SetNavigator(nullptr);
    CRecordingNavigator second;
    module.SetNavigator(&second);
    EXPECT_EQ(second.loads, std::vector<std::string>{"file:///pinout.htm"});
    // The browser goes first here, as a page does that is closed before its module.
    module.SetNavigator(nullptr);
}

TEST(HtmlModuleTest, PluginModeOnlyRedrawsTheShownAddress) {
    CModuleDescriptor descriptor("PLUG", "PLUG");
    auto module = std::make_unique<CpmWebTest>(nullptr, &descriptor);
    module->MakePlugin();
    CRecordingNavigator browser;
    module->SetNavigator(&browser);
    module->Navigate("file:///a.htm");
    module->Navigate("file:///a.htm");
    EXPECT_EQ(browser.loads.size(), 1u);
    EXPECT_EQ(browser.redraws, 1);

    // A module that goes away leaves neither the browser nor the program pointing at it.
    EXPECT_EQ(CHtmlModule::Current(), module.get());
    module.reset();
    EXPECT_EQ(CHtmlModule::Current(), nullptr);
    EXPECT_TRUE(browser.moduleGone);
}

TEST(HtmlModuleTest, CommentBlockIndentsTheTrimmedComment) {
    const std::string dashes(44, '-');
    EXPECT_EQ(hwc::HtmlModuleCommentBlock("Pins", ""),
              "    Pins Software Module Configuration\n" + dashes);
    EXPECT_EQ(hwc::HtmlModuleCommentBlock("Pins", " \r\n \t"),
              "    Pins Software Module Configuration\n" + dashes);
    EXPECT_EQ(hwc::HtmlModuleCommentBlock("Pins", "\n  first\r\nsecond\rthird\n\nlast  \n"),
              "    Pins Software Module Configuration\n" + dashes +
                  "\n    first\n    second\n    third\n    \n    last");

    CModuleDescriptor descriptor("PLUG", "PLUG");
    descriptor.SetField(CModuleDescriptor::kDisplayName, "My plug-in");
    CpmWebTest module(nullptr, &descriptor);
    module.SetCommentText("uses PWM_A");
    std::string text = "/*.\n";
    module.GetSummary(text);
    EXPECT_EQ(text,
              "/*.\n    My plug-in Software Module Configuration\n" + dashes + "\n    uses PWM_A");
}

} // namespace
