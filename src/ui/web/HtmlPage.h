#pragma once
// The page of a web-page module: an embedded browser that fills the module page. The browser is
// created only when the page is first shown, so that the program starts without loading the web
// engine. Links to "hwc:" and "hwcna:" addresses never load: they go to the module's link
// handler, which moves the tool to the module and control they name. Clicks on page elements
// that have an id reach the module too, and the module calls the page's script functions.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QWebEnginePage>
#include <QWidget>

#include "modules/framework/CHtmlModule.h"

class CConfigToolGate;
class QWebEngineView;

// The browser page: cancels module links and hands them on.
class CHtmlWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    using LinkHandler = std::function<void(const QString& link)>;
    using ElementHandler = std::function<void(const QString& elementId)>;
    using NavigationHandler = std::function<void(const QUrl& url)>;

    explicit CHtmlWebPage(LinkHandler onModuleLink, QObject* parent = nullptr);

    // True for the addresses that name a module page ("hwc:..." and "hwcna:...", any case).
    static bool IsModuleLink(const QString& address);
    // The console message by which the page reports a clicked element: this prefix and the
    // element's id, percent-encoded. A script installed in every page of the browser sends it.
    static constexpr const char* kActivationPrefix = "hwc-activate:";
    // The element id an activation message carries; empty for any other message.
    static QString ActivatedElement(const QString& message);
    // Where the ids of clicked elements go.
    void SetElementHandler(ElementHandler handler) { m_onElement = std::move(handler); }
    // Told of every navigation of the main frame the browser goes on with, before it loads.
    void SetNavigationHandler(NavigationHandler handler) { m_onNavigation = std::move(handler); }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;

private:
    LinkHandler m_onModuleLink;
    ElementHandler m_onElement;
    NavigationHandler m_onNavigation;
};

class CHtmlPage : public QWidget, public CHtmlModule::INavigator {
    Q_OBJECT
public:
    explicit CHtmlPage(CHtmlModule& module, QWidget* parent = nullptr);
    ~CHtmlPage() override;

    // The page's module; null once the module has been destroyed.
    CHtmlModule* Module() const { return m_module; }
    // The browser, or null before the page was first shown.
    QWebEngineView* View() const { return m_view; }
    // Creates the browser now (showing the page does it too).
    QWebEngineView* EnsureView();
    // True once the last navigation has completed.
    bool DocumentComplete() const { return m_documentComplete; }

    // Pages loaded from this folder (a plug-in's) get the automation object; set before the
    // browser is created. Without it no page gets the object.
    void SetScriptObjectFolder(const QString& folder) { m_scriptObjectFolder = folder; }
    // What publishes the object; null for a page without a script-object folder or browser.
    CConfigToolGate* ScriptObjectGate() const { return m_gate; }

    // Where module links go; by default the module's own link handler.
    void SetLinkHandler(CHtmlWebPage::LinkHandler handler) { m_linkHandler = std::move(handler); }

    // --- CHtmlModule::INavigator ---
    void LoadAddress(const std::string& address) override;
    void Redraw() override;
    void ModuleDestroyed() override;
    std::optional<std::string> CallScript(const std::string& function,
                                          const std::vector<std::string>& arguments) override;

    // How long a navigation waits for the page to load.
    static constexpr int kLoadWaitMs = 5000;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FollowModuleLink(const QString& link);
    // A plug-in that asks for it shows its page in the desktop's own program for the file.
    void OpenExternally(const std::string& address);
    // Hands a clicked element to the module, with the wait cursor while it works.
    void ReportElement(const QString& elementId);

    CHtmlModule* m_module;
    QWebEngineView* m_view = nullptr;
    CHtmlWebPage::LinkHandler m_linkHandler;
    QString m_scriptObjectFolder;
    CConfigToolGate* m_gate = nullptr;
    bool m_documentComplete = false;
};
