#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEngineView>

#include "modules/framework/CHtmlModule.h"
#include "ui/web/HtmlPage.h"
#include "ui/web/JScriptCaller.h"
#include "ui/web/WebPageWait.h"

namespace {

class CpmWebPageTest : public CHtmlModule {
    HWC_DECLARE_MODULE_CLASS(CpmWebPageTest, CHtmlModule)
public:
    CpmWebPageTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CHtmlModule(parent, 0, descriptor, nullptr, 0) {}
    int loaded = 0;
    std::vector<std::string> activated;

protected:
    void OnPageLoaded() override { ++loaded; }
    bool OnElementActivated(const std::string& elementId) override {
        activated.push_back(elementId);
        return true;
    }
};

const char* kPage = R"(<html><body>
<a id="module" href="hwc:ADC_A/ADC/1466?tiptext=Hello">ADC</a>
<a id="quiet" href="HWCNA:ADC_A/ADC">ADC</a>
<input type="checkbox" id="GPIOXB_SCI_0__TXD"><label for="GPIOXB_SCI_0__TXD">TXD</label>
<span id="odd id?#&amp;">odd</span><span class="plain">plain</span>
<script>
function Join(a, b, c) { return a + "|" + b + "|" + c; }
function Nothing() {}
function Throws() { throw new Error("broken"); }
</script></body></html>)";

// A shown web page of a module, loaded with kPage; skipped where the web engine cannot run.
class HtmlPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_page = std::make_unique<CHtmlPage>(m_module);
        m_page->SetLinkHandler([this](const QString& link) { links.push_back(link); });
        QWebEngineView* view = m_page->EnsureView();
        QSignalSpy finished(view, &QWebEngineView::loadFinished);
        view->setHtml(QString::fromUtf8(kPage), QUrl("file:///hwc-test/page.htm"));
        if (!WaitFor([&] { return !finished.isEmpty(); }) || !finished.front().front().toBool())
            GTEST_SKIP() << "the web engine cannot load pages in this environment";
    }

    QString Script(const QString& code) { return RunPageScript(*m_page->View()->page(), code); }

    CModuleDescriptor m_descriptor{"PINOUT", "PINOUT"};
    CpmWebPageTest m_module{nullptr, &m_descriptor};
    std::unique_ptr<CHtmlPage> m_page;
    std::vector<QString> links;
};

TEST_F(HtmlPageTest, ModuleLinksAreCancelledAndHandedOn) {
    const QUrl before = m_page->View()->url();
    Script("document.getElementById('module').click(); 'ok'");
    ASSERT_TRUE(WaitFor([&] { return !links.empty(); }));
    EXPECT_EQ(links[0], "hwc:ADC_A/ADC/1466?tiptext=Hello");

    Script("window.location.href = 'HWCNA:ADC_A/ADC'; 'ok'");
    ASSERT_TRUE(WaitFor([&] { return links.size() == 2; }));
    EXPECT_TRUE(links[1].startsWith("hwcna:", Qt::CaseInsensitive));

    // The page stayed where it was and its script still answers.
    EXPECT_EQ(m_page->View()->url(), before);
    EXPECT_EQ(Script("typeof Join"), "function");
    EXPECT_TRUE(m_page->DocumentComplete());
    EXPECT_TRUE(WaitFor([&] { return m_module.loaded > 0; }));
}

TEST_F(HtmlPageTest, ScriptCallsReturnResultsOrTheirError) {
    CJScriptCaller caller(m_page->View());
    QString result;
    ASSERT_TRUE(caller.Call("Join", "a", "b", "c", &result)) << caller.LastError().toStdString();
    EXPECT_EQ(result, "a|b|c");
    ASSERT_TRUE(caller.Call("Nothing", QStringList{}, &result));
    EXPECT_EQ(result, "");

    EXPECT_FALSE(caller.Call("Missing", QStringList{}, &result));
    EXPECT_TRUE(caller.LastError().startsWith("JSCall Error:\n"));
    EXPECT_FALSE(caller.Call("Throws", QStringList{}));
    EXPECT_TRUE(caller.LastError().startsWith("JSCall Error:\n"));
    EXPECT_TRUE(caller.LastError().contains("broken"));
}

TEST_F(HtmlPageTest, TheModuleCallsThePageScript) {
    // The browser installed itself as the module's navigator when it was made.
    ASSERT_EQ(m_module.Navigator(), m_page.get());
    EXPECT_EQ(m_module.CallScript("Join", {"a", "b", "c"}), std::optional<std::string>("a|b|c"));
    EXPECT_EQ(m_module.CallScript("Nothing"), std::optional<std::string>(""));
    EXPECT_EQ(m_module.CallScript("Missing"), std::nullopt);
    EXPECT_EQ(m_module.CallScript("Throws"), std::nullopt);
}

TEST_F(HtmlPageTest, ClickedElementsReachTheModule) {
    const QUrl before = m_page->View()->url();
    ASSERT_TRUE(WaitFor([&] { return m_module.loaded > 0; }));
    const int loaded = m_module.loaded;
    Script("document.getElementById('GPIOXB_SCI_0__TXD').click(); 'ok'");
    ASSERT_TRUE(WaitFor([&] { return !m_module.activated.empty(); }));
    EXPECT_EQ(m_module.activated[0], "GPIOXB_SCI_0__TXD");
    // The box still toggles as the user expects; the page stays.
    EXPECT_EQ(Script("String(document.getElementById('GPIOXB_SCI_0__TXD').checked)"), "true");
    // Ids are passed whatever characters they hold; elements without one are not reported.
    Script("document.querySelector('.plain').click(); "
           "document.getElementById('odd id?#&').click(); 'ok'");
    ASSERT_TRUE(WaitFor([&] { return m_module.activated.size() >= 2; }));
    EXPECT_EQ(m_module.activated.back(), "odd id?#&");
    // A link with an id is followed as a link, not reported as an element.
    Script("document.getElementById('module').click(); 'ok'");
    ASSERT_TRUE(WaitFor([&] { return !links.empty(); }));
    Script("document.getElementById('GPIOXB_SCI_0__TXD').click(); 'ok'");
    ASSERT_TRUE(WaitFor([&] { return m_module.activated.size() >= 3; }));
    EXPECT_EQ(m_module.activated,
              (std::vector<std::string>{"GPIOXB_SCI_0__TXD", "odd id?#&", "GPIOXB_SCI_0__TXD"}));
    EXPECT_EQ(m_page->View()->url(), before);
    EXPECT_EQ(Script("typeof Join"), "function");
    // The cancelled navigations that carried the clicks loaded nothing.
    EXPECT_EQ(m_module.loaded, loaded);
}

TEST(HtmlActivationTest, OnlyTheActivationMessageCarriesAnElement) {
    EXPECT_EQ(CHtmlWebPage::ActivatedElement("hwc-activate:GPIOXB_A__B%20C%3F"), "GPIOXB_A__B C?");
    EXPECT_EQ(CHtmlWebPage::ActivatedElement("hwc-activate:"), "");
    EXPECT_EQ(CHtmlWebPage::ActivatedElement("HWC-ACTIVATE:x"), "");
    EXPECT_EQ(CHtmlWebPage::ActivatedElement("log: hwc-activate:x"), "");
    // Without a browser a module calls nothing.
    CModuleDescriptor descriptor("PINOUT", "PINOUT");
    CpmWebPageTest module(nullptr, &descriptor);
    EXPECT_EQ(module.CallScript("Join"), std::nullopt);
    CHtmlPage page(module);
    EXPECT_EQ(page.CallScript("Join", {}), std::nullopt);
}

TEST(JScriptCallerTest, WithoutAPageNothingIsCalled) {
    CJScriptCaller caller(static_cast<QWebEngineView*>(nullptr));
    EXPECT_EQ(caller.LastError(), "JSCall Error:\nNULL pointer");
    EXPECT_FALSE(caller.Call("Join", QStringList{}));
    EXPECT_EQ(caller.LastError(), "JSCall Error:\nCannot GetScript");
}

TEST(HtmlPageStartTest, TheBrowserWaitsUntilThePageIsShown) {
    CModuleDescriptor descriptor("PINOUT", "PINOUT");
    CpmWebPageTest module(nullptr, &descriptor);
    CHtmlPage page(module);
    EXPECT_EQ(page.View(), nullptr);
    EXPECT_EQ(module.Navigator(), nullptr);
    EXPECT_TRUE(CHtmlWebPage::IsModuleLink("HWC:ADC_A"));
    EXPECT_TRUE(CHtmlWebPage::IsModuleLink("hwcna:ADC_A"));
    EXPECT_FALSE(CHtmlWebPage::IsModuleLink("http://hwc:80/"));
}

} // namespace
