#include "ui/web/HtmlPage.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "ui/web/ConfigToolChannel.h"
#include "ui/web/JScriptCaller.h"

namespace {

// Schemes the browser loads itself; any other address is handed to the desktop.
bool IsBrowserScheme(const QString& scheme) {
    static const QStringList kSchemes{"http", "https", "file", "data", "about", "blob", "qrc"};
    return kSchemes.contains(scheme, Qt::CaseInsensitive);
}

// Reports every click on an element with an id (outside links, which report themselves) as a
// console message that the page hands on. A message, unlike a navigation, leaves the page's
// loading state alone, so script calls made in answer are not held up. It runs in its own
// script world, so the page's own script neither sees nor disturbs it.
const char* kActivationScript = R"(
document.addEventListener('click', function (event) {
    var element = event.target;
    if (!element || !element.id || (element.closest && element.closest('a[href]')))
        return;
    console.debug('hwc-activate:' + encodeURIComponent(element.id));
}, true);
)";

} // namespace

CHtmlWebPage::CHtmlWebPage(LinkHandler onModuleLink, QObject* parent)
    : QWebEnginePage(parent), m_onModuleLink(std::move(onModuleLink)) {
    // Module pages move the tool by script as well as by clicks, so addresses the browser does
    // not know must reach acceptNavigationRequest without a user gesture.
    settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowAllUnknownUrlSchemes);
    QWebEngineScript activation;
    activation.setName(QStringLiteral("hwc-activation"));
    activation.setSourceCode(QString::fromUtf8(kActivationScript));
    activation.setInjectionPoint(QWebEngineScript::DocumentCreation);
    activation.setWorldId(QWebEngineScript::ApplicationWorld);
    activation.setRunsOnSubFrames(false);
    scripts().insert(activation);
}

QString CHtmlWebPage::ActivatedElement(const QString& message) {
    const QString prefix = QLatin1String(kActivationPrefix);
    if (!message.startsWith(prefix))
        return {};
    return QUrl::fromPercentEncoding(message.mid(prefix.size()).toUtf8());
}

void CHtmlWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                            const QString& message, int lineNumber,
                                            const QString& sourceId) {
    const QString element = ActivatedElement(message);
    if (element.isEmpty()) {
        QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceId);
        return;
    }
    // Like a module link, the element is handled once the browser is done with the click.
    if (m_onElement) {
        QTimer::singleShot(0, this, [this, element] {
            if (m_onElement)
                m_onElement(element);
        });
    }
}

bool CHtmlWebPage::IsModuleLink(const QString& address) {
    return address.startsWith(QLatin1String("hwc:"), Qt::CaseInsensitive) ||
           address.startsWith(QLatin1String("hwcna:"), Qt::CaseInsensitive);
}

bool CHtmlWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    const QString address = url.toString();
    if (!IsModuleLink(address)) {
        // Other desktop programs (mail and the like) start only from a click of the user.
        if (!IsBrowserScheme(url.scheme()) && type != NavigationTypeLinkClicked)
            return false;
        const bool accepted = QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
        if (accepted && isMainFrame && m_onNavigation)
            m_onNavigation(url);
        return accepted;
    }
    // The handler may show another page; let the browser finish this request first.
    if (m_onModuleLink) {
        QTimer::singleShot(0, this, [this, address] {
            if (m_onModuleLink)
                m_onModuleLink(address);
        });
    }
    return false;
}

CHtmlPage::CHtmlPage(CHtmlModule& module, QWidget* parent) : QWidget(parent), m_module(&module) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_linkHandler = [this](const QString& link) {
        if (m_module)
            m_module->FollowLink(link.toStdString(), std::string());
    };
}

CHtmlPage::~CHtmlPage() {
    // Only a page with a browser has been installed in its module.
    if (m_view && m_module && m_module->Navigator() == this)
        m_module->SetNavigator(nullptr);
}

QWebEngineView* CHtmlPage::EnsureView() {
    if (m_view)
        return m_view;
    m_view = new QWebEngineView(this);
    auto* page = new CHtmlWebPage([this](const QString& link) { FollowModuleLink(link); }, m_view);
    page->SetElementHandler([this](const QString& elementId) { ReportElement(elementId); });
    m_view->setPage(page);
    if (!m_scriptObjectFolder.isEmpty()) {
        m_gate = new CConfigToolGate(page, m_module, m_scriptObjectFolder);
        page->SetNavigationHandler([gate = m_gate](const QUrl& url) { gate->Navigating(url); });
    }
    layout()->addWidget(m_view);
    connect(m_view, &QWebEngineView::loadStarted, this, [this] { m_documentComplete = false; });
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        m_documentComplete = true;
        // A navigation the page cancelled (a module link, a clicked element) ends here too, with
        // the page unchanged: the module hears only of pages that did load.
        if (!ok)
            return;
        // The module hears of it after the browser has finished its own work on the page.
        QTimer::singleShot(0, this, [this] {
            if (m_module)
                m_module->PageLoaded();
        });
    });
    if (m_module)
        m_module->SetNavigator(this);
    return m_view;
}

void CHtmlPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_view)
        QTimer::singleShot(0, this, [this] { EnsureView(); });
}

void CHtmlPage::ModuleDestroyed() {
    m_module = nullptr;
    if (m_gate)
        m_gate->ModuleDestroyed();
}

void CHtmlPage::LoadAddress(const std::string& address) {
    EnsureView();
    if (m_module && m_module->ExternalApp()) {
        OpenExternally(address);
        return;
    }
    m_documentComplete = false;
    QEventLoop wait;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &wait, &QEventLoop::quit);
    connect(m_view, &QWebEngineView::loadFinished, &wait, &QEventLoop::quit);
    m_view->load(QUrl::fromUserInput(QString::fromStdString(address)));
    limit.start(kLoadWaitMs);
    // User input is handled while waiting, as on any other slow page.
    if (!m_documentComplete)
        wait.exec();
}

void CHtmlPage::OpenExternally(const std::string& address) {
    const QUrl url = QUrl::fromUserInput(QString::fromStdString(address));
    const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
    if (path.isEmpty() || !QFileInfo(path).isFile() ||
        !QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        m_view->load(QUrl(QStringLiteral("about:blank")));
        return;
    }
    if (m_module && m_module->ShownAddress() == address)
        return;
    m_view->setHtml(QStringLiteral("<html><head></head><body>\nThe document file is opened "
                                   "externally. Please keep the HWC running until you close the "
                                   "external document.</body></html>\n"));
}

void CHtmlPage::Redraw() {
    if (m_view)
        m_view->update();
}

void CHtmlPage::FollowModuleLink(const QString& link) {
    if (m_linkHandler)
        m_linkHandler(link);
}

void CHtmlPage::ReportElement(const QString& elementId) {
    if (!m_module)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_module->ElementActivated(elementId.toStdString());
    QApplication::restoreOverrideCursor();
}

std::optional<std::string> CHtmlPage::CallScript(const std::string& function,
                                                 const std::vector<std::string>& arguments) {
    if (!m_view)
        return std::nullopt;
    QStringList texts;
    for (const std::string& argument : arguments)
        texts.push_back(QString::fromStdString(argument));
    CJScriptCaller caller(m_view);
    QString result;
    if (!caller.Call(QString::fromStdString(function), texts, &result))
        return std::nullopt;
    return result.toStdString();
}
