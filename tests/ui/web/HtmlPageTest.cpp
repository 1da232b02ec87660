#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEngineView>

#include "modules/framework/CHtmlModule.h"
#include "ui/web/HtmlPage.h"
#include "ui/web/JScriptCaller.h"

namespace {

class CpmWebPageTest : public CHtmlModule {
    HWC_DECLARE_MODULE_CLASS(CpmWebPageTest, CHtmlModule)
public:
    CpmWebPageTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CHtmlModule(parent, 0, descriptor, nullptr, 0) {}
    int loaded = 0;

protected:
    void OnPageLoaded() override { ++loaded; }
};

const char* kPage = R"(<html><body>
<a id="module" href="hwc:ADC_A/ADC/1466?tiptext=Hello">ADC</a>
<a id="quiet" href="HWCNA:ADC_A/ADC">ADC</a>
<script>
function Join(a, b, c) { return a + "|" + b + "|" + c; }
function Nothing() {}
function Throws() { throw new Error("broken"); }
</script></body></html>)";

// Runs the event loop until the condition holds or the time is up.
template <class Condition> bool WaitFor(Condition condition, int milliseconds = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return condition();
}

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

    QString Script(const QString& code) {
        QString answer;
        bool done = false;
        m_page->View()->page()->runJavaScript(code, [&](const QVariant& value) {
            answer = value.toString();
            done = true;
        });
        WaitFor([&] { return done; });
        return answer;
    }

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
