#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEngineView>

#include "plugins/PluginFile.h"
#include "plugins/PluginModule.h"
#include "support/ModuleTestHost.h"
#include "ui/frame/PagePane.h"
#include "ui/web/ConfigToolChannel.h"
#include "ui/web/HtmlPage.h"
#include "ui/web/WebPageWait.h"

namespace {

const QString kExampleFolder = HWC_TEST_SOURCE_DIR "/examples/plugins/ApplicationConfig/demo-driver.hwc";

// The example plug-in's module (from a copy of its folder) in a document stand-in, its page
// shown in a browser that gives pages from the plug-in's folder the automation object; skipped
// where the web engine cannot run.
class PluginPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        m_folder = m_root.filePath("demo-driver.hwc");
        ASSERT_TRUE(QDir().mkpath(m_folder));
        for (const QString& name : QDir(kExampleFolder).entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(kExampleFolder + "/" + name, m_folder + "/" + name));
        ASSERT_TRUE(m_file.Load((m_folder + "/demo-driver.ini").toStdString()));
        ASSERT_FALSE(m_file.Plugins().empty());
        {
            hwc::ScopedHostBeingOpened opening(&m_host);
            auto module = std::make_unique<CPluginModule>(*m_file.Plugins().front());
            m_module = module.get();
            m_host.modules.push_back(std::move(module));
        }
        m_module->BindControls(&m_host);
        m_page = std::make_unique<CHtmlPage>(*m_module);
        m_page->SetScriptObjectFolder(QString::fromStdString(m_file.Folder()));
        // Making the browser navigates the module to its page and waits for it.
        m_page->EnsureView();
        if (!WaitFor([&] { return m_page->DocumentComplete(); }))
            GTEST_SKIP() << "the web engine cannot load pages in this environment";
        ASSERT_TRUE(WaitFor([&] { return Channel() && Channel()->PageAttached(); }));
    }

    CConfigToolChannel* Channel() const { return m_page->ScriptObjectGate()->Channel(); }
    tPerCfgItem& Register(const char* name) { return *m_module->FindRegister(name); }

    QString Script(const QString& code) { return RunPageScript(*m_page->View()->page(), code); }
    // Sets a control of the page as the user does.
    void Change(const QString& id, const QString& value) {
        Script(QStringLiteral("var e = document.getElementById('%1'); e.value = '%2';"
                              "e.dispatchEvent(new Event('change')); 'ok'")
                   .arg(id, value));
    }
    bool Load(const QString& path) {
        QSignalSpy finished(m_page->View(), &QWebEngineView::loadFinished);
        m_page->View()->load(QUrl::fromLocalFile(path));
        return WaitFor([&] { return !finished.isEmpty(); }) && finished.front().front().toBool();
    }

    QTemporaryDir m_root;
    QString m_folder;
    CPluginFile m_file; // outlives the module made from it
    hwc::test::CModuleTestHost m_host;
    CPluginModule* m_module = nullptr;
    std::unique_ptr<CHtmlPage> m_page;
};

TEST_F(PluginPageTest, ThePageReadsAndWritesRegistersThroughTheObject) {
    // The page read the registers when its object connected (the clock is the last it reads).
    ASSERT_TRUE(
        WaitFor([&] { return Script("document.getElementById('extclk').textContent") == "0"; }));
    EXPECT_EQ(Script("document.getElementById('baud').value"), "9600");
    EXPECT_EQ(Script("document.getElementById('port').value"), "demo");
    EXPECT_EQ(Script("document.getElementById('enable').checked"), "true");

    Change("baud", "57600");
    EXPECT_TRUE(WaitFor([&] { return Register("BAUD_RATE").dwValue == 57600u; }));
    // A signed register keeps all 32 bits; a text register takes the text.
    Change("trim", "-5");
    EXPECT_TRUE(WaitFor([&] { return Register("TRIM").dwValue == 0xFFFFFFFBu; }));
    Change("port", "uart2");
    EXPECT_TRUE(WaitFor([&] { return std::string(Register("PORT_NAME").szValue) == "uart2"; }));
    EXPECT_EQ(Register("PORT_NAME").dwValue, 1u);
}

TEST_F(PluginPageTest, EventsWhoseOutcomeTheToolReadsWaitForThePage) {
    CConfigToolChannel* channel = Channel();
    Change("port", "uart1");
    // The comment is there as soon as the event returns, though the page sets it by a call
    // that crosses to the tool and back.
    channel->OnGenerateComment();
    EXPECT_NE(m_module->CommentText().find("on port \"uart1\""), std::string::npos)
        << m_module->CommentText();
    // The page names its own warnings' detail and leaves the others to the tool.
    EXPECT_EQ(channel->OnShowToolTip(1, "too fast", "Warning detail"), 1);
    EXPECT_EQ(channel->OnShowToolTip(7, "other", "Warning detail"), 0);
    EXPECT_EQ(Script("document.getElementById('warning').textContent.indexOf('too fast') >= 0"),
              "true");

    // The store event waits until the page has written every control.
    Script("document.getElementById('rx' + 'buffer').value = '300'; 'ok'");
    channel->OnUpdateAll();
    EXPECT_EQ(Register("RX_BUFFER").dwValue, 300u);
}

TEST_F(PluginPageTest, OnlyPagesFromThePluginsFolderGetTheObject) {
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString copy = elsewhere.filePath("page.htm");
    ASSERT_TRUE(QFile::copy(m_folder + "/page.htm", copy));

    // Navigating away loses the object; the copy outside the folder never sees it.
    ASSERT_TRUE(Load(copy));
    EXPECT_EQ(Channel(), nullptr);
    EXPECT_EQ(Script("typeof window.HWC + ',' + typeof window.qt"), "undefined,undefined");

    // Back in the folder (a sub-folder counts too) a fresh object is there.
    ASSERT_TRUE(QDir(m_folder).mkpath("sub"));
    const QString nested = m_folder + "/sub/nested.htm";
    const QString framed = elsewhere.filePath("framed.htm");
    {
        QFile file(nested);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html><body><script>function OnRefreshAll() { document.title = 'fresh'; }"
                   "window.addEventListener('message', function (e) { window.framed = e.data; });"
                   "</script><iframe src='" +
                   QUrl::fromLocalFile(framed).toEncoded() + "'></iframe></body></html>");
        QFile frame(framed);
        ASSERT_TRUE(frame.open(QIODevice::WriteOnly));
        frame.write("<html><body><script>parent.postMessage(typeof window.qt + ',' + "
                    "typeof window.HWC, '*');</script></body></html>");
    }
    ASSERT_TRUE(Load(nested));
    ASSERT_NE(Channel(), nullptr);
    EXPECT_TRUE(WaitFor([&] { return Script("document.title") == "fresh"; }));
    // A frame inside the page, from elsewhere, gets nothing.
    ASSERT_TRUE(WaitFor([&] { return Script("String(window.framed)") != "undefined"; }));
    EXPECT_EQ(Script("window.framed"), "undefined,undefined");
}

TEST_F(PluginPageTest, APageThatLeavesDuringAWaitEndsTheWaitAndItsObject) {
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString outside = elsewhere.filePath("outside.htm");
    {
        QFile file(outside);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html><body>outside</body></html>");
    }
    // A handler that moves the page away and never finishes.
    Script(QStringLiteral("window.OnUpdateAll = function () { location.href = '%1';"
                          "return new Promise(function () {}); }; 'ok'")
               .arg(QUrl::fromLocalFile(outside).toString()));
    QPointer<CConfigToolChannel> channel = Channel();
    channel->OnUpdateAll();
    // The wait ended with the page's departure, and the object goes once it is no longer busy.
    EXPECT_EQ(Channel(), nullptr);
    // (Outside a running event loop deferred deletions are made by hand.)
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(channel.isNull());
    EXPECT_TRUE(WaitFor([&] { return m_page->View()->url() == QUrl::fromLocalFile(outside); }));
}

void WriteFile(const QString& path, const char* text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

TEST(PluginEarlyLoadTest, EarlyPagesLoadWhenTheFirstModuleOfAProjectIsShown) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid() && QDir(root.path()).mkpath("x.hwc"));
    const QString folder = root.filePath("x.hwc");
    WriteFile(folder + "/x.ini", "[hwc_plugins]\nplugin1=EARLY\nplugin2=LATE\nplugin3=OUTSIDE\n"
                                 "[EARLY]\nmaindoc=early.htm\nearlyload=1\n"
                                 "[LATE]\nmaindoc=late.htm\n"
                                 "[OUTSIDE]\nmaindoc=outside.htm\nearlyload=yes\nexternalapp=1\n");
    WriteFile(folder + "/early.htm", "<html><body>early</body></html>");
    WriteFile(folder + "/late.htm", "<html><body>late</body></html>");
    CPluginFile file;
    ASSERT_TRUE(file.Load((folder + "/x.ini").toStdString()));
    ASSERT_EQ(file.Plugins().size(), 3u);
    hwc::test::CModuleTestHost host;
    std::vector<CPluginModule*> modules;
    {
        hwc::ScopedHostBeingOpened opening(&host);
        for (const auto& info : file.Plugins()) {
            host.modules.push_back(std::make_unique<CPluginModule>(*info));
            modules.push_back(static_cast<CPluginModule*>(host.modules.back().get()));
        }
    }
    for (auto& module : host.modules)
        module->BindControls(&host);

    CPagePane pane;
    pane.ShowModule(modules[1]);
    // The early page is made and loading though another page is shown; a page opened by the
    // desktop's own program is not.
    auto* early = qobject_cast<CHtmlPage*>(pane.ViewOf(modules[0]));
    ASSERT_NE(early, nullptr);
    EXPECT_NE(early->View(), nullptr);
    EXPECT_EQ(modules[0]->ShownAddress(), modules[0]->PageAddress());
    EXPECT_EQ(pane.ViewOf(modules[2]), nullptr);
    // Not again within the same project.
    pane.ShowModule(modules[0]);
    EXPECT_EQ(pane.ViewOf(modules[0]), early);
    pane.Forget();
}

TEST(PluginExternalPageTest, AMissingExternalDocumentShowsAnEmptyPage) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid() && QDir(root.path()).mkpath("x.hwc"));
    const QString folder = root.filePath("x.hwc");
    WriteFile(folder + "/x.ini",
              "[hwc_plugins]\nplugin1=EXT\n[EXT]\nmaindoc=gone.pdf\nexternalapp=1\n");
    CPluginFile file;
    ASSERT_TRUE(file.Load((folder + "/x.ini").toStdString()));
    hwc::test::CModuleTestHost host;
    hwc::ScopedHostBeingOpened opening(&host);
    CPluginModule module(*file.Plugins().front());
    CHtmlPage page(module);
    page.SetScriptObjectFolder(folder);
    QWebEngineView* view = page.EnsureView();
    if (!WaitFor([&] { return page.DocumentComplete(); }))
        GTEST_SKIP() << "the web engine cannot load pages in this environment";
    EXPECT_EQ(view->url(), QUrl("about:blank"));
    EXPECT_EQ(page.ScriptObjectGate()->Channel(), nullptr);
}

TEST(ConfigToolGateTest, OnlyFilesInsideTheFolderCount) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath("drv.hwc/pages") && dir.mkpath("drv.hwc-other"));
    for (const char* name :
         {"drv.hwc/a.htm", "drv.hwc/pages/b.htm", "drv.hwc-other/c.htm", "d.htm"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString folder = dir.filePath("drv.hwc");
    auto url = [&](const char* name) { return QUrl::fromLocalFile(dir.filePath(name)); };
    EXPECT_TRUE(CConfigToolGate::IsInFolder(url("drv.hwc/a.htm"), folder));
    EXPECT_TRUE(CConfigToolGate::IsInFolder(url("drv.hwc/pages/b.htm"), folder + "/"));
    // A sibling whose name merely begins alike, a way out by "..", the folder itself, missing
    // files, remote and host-named addresses are all outside.
    EXPECT_FALSE(CConfigToolGate::IsInFolder(url("drv.hwc-other/c.htm"), folder));
    EXPECT_FALSE(CConfigToolGate::IsInFolder(url("drv.hwc/../d.htm"), folder));
    EXPECT_FALSE(CConfigToolGate::IsInFolder(QUrl::fromLocalFile(folder), folder));
    EXPECT_FALSE(CConfigToolGate::IsInFolder(url("drv.hwc/missing.htm"), folder));
    EXPECT_FALSE(
        CConfigToolGate::IsInFolder(QUrl("https://example.invalid/drv.hwc/a.htm"), folder));
    EXPECT_FALSE(
        CConfigToolGate::IsInFolder(QUrl("file://server" + url("drv.hwc/a.htm").path()), folder));
    EXPECT_FALSE(CConfigToolGate::IsInFolder(url("drv.hwc/a.htm"), QString()));
    // A link inside the folder that leads out of it is outside.
    ASSERT_TRUE(QFile::link(dir.filePath("d.htm"), dir.filePath("drv.hwc/link.htm")));
    EXPECT_FALSE(CConfigToolGate::IsInFolder(url("drv.hwc/link.htm"), folder));
}

TEST(ConfigToolChannelTest, ScriptValuesConvertOrRefuse) {
    EXPECT_EQ(CConfigToolChannel::ToScriptValue(QVariant()), tScriptValue{});
    EXPECT_EQ(CConfigToolChannel::ToScriptValue(QVariant::fromValue(nullptr)), tScriptValue{});
    EXPECT_EQ(CConfigToolChannel::ToScriptValue(true), tScriptValue{true});
    EXPECT_EQ(CConfigToolChannel::ToScriptValue(74565), tScriptValue{74565.0});
    EXPECT_EQ(CConfigToolChannel::ToScriptValue(-1.5), tScriptValue{-1.5});
    EXPECT_EQ(CConfigToolChannel::ToScriptValue(QString("CTRL")),
              tScriptValue{std::string("CTRL")});
    EXPECT_EQ(CConfigToolChannel::ToScriptValue(QJsonValue(12.0)), tScriptValue{12.0});
    EXPECT_EQ(CConfigToolChannel::ToScriptValue(QJsonValue()), tScriptValue{});
    EXPECT_FALSE(CConfigToolChannel::ToScriptValue(QVariantList{1, 2}));
    EXPECT_FALSE(CConfigToolChannel::ToScriptValue(QVariantMap{{"a", 1}}));
    EXPECT_FALSE(CConfigToolChannel::ToScriptValue(QJsonArray{1}));

    EXPECT_EQ(CConfigToolChannel::FromScriptValue(tScriptValue{}).typeId(), QMetaType::Nullptr);
    EXPECT_EQ(CConfigToolChannel::FromScriptValue(std::string("x")), QVariant(QString("x")));
    EXPECT_EQ(CConfigToolChannel::FromScriptValue(2.0), QVariant(2.0));

    // A call whose argument does not convert is refused before it reaches the tool; without a
    // page, events wait for nobody.
    CConfigToolChannel channel(nullptr);
    const QVariantMap refused = channel.SetReg(QVariantList{1}, 5);
    EXPECT_FALSE(refused.value("ok").toBool());
    EXPECT_EQ(refused.value("error").toString(), "invalid argument");
    EXPECT_FALSE(channel.SetWarning(1, 1, QVariantMap{}).value("ok").toBool());
    EXPECT_FALSE(channel.PageAttached());
    channel.OnGenerateComment();
    EXPECT_EQ(channel.OnShowToolTip(1, "text", "title"), 0);
}

} // namespace
