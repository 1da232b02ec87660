#pragma once
// The page of a web-page module: an embedded browser that fills the module page. The browser is
// created only when the page is first shown, so that the program starts without loading the web
// engine. Links to "hwc:" and "hwcna:" addresses never load: they go to the module's link
// handler, which moves the tool to the module and control they name.

#include <functional>
#include <string>

#include <QWebEnginePage>
#include <QWidget>

#include "modules/framework/CHtmlModule.h"

class QWebEngineView;

// The browser page: cancels module links and hands them on.
class CHtmlWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    using LinkHandler = std::function<void(const QString& link)>;

    explicit CHtmlWebPage(LinkHandler onModuleLink, QObject* parent = nullptr);

    // True for the addresses that name a module page ("hwc:..." and "hwcna:...", any case).
    static bool IsModuleLink(const QString& address);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    LinkHandler m_onModuleLink;
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

    // Where module links go; by default the module's own link handler.
    void SetLinkHandler(CHtmlWebPage::LinkHandler handler) { m_linkHandler = std::move(handler); }

    // --- CHtmlModule::INavigator ---
    void LoadAddress(const std::string& address) override;
    void Redraw() override;
    void ModuleDestroyed() override { m_module = nullptr; }

    // How long a navigation waits for the page to load.
    static constexpr int kLoadWaitMs = 5000;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FollowModuleLink(const QString& link);

    CHtmlModule* m_module;
    QWebEngineView* m_view = nullptr;
    CHtmlWebPage::LinkHandler m_linkHandler;
    bool m_documentComplete = false;
};
