#pragma once
// The automation object of plug-in pages on the desktop. The page's script reaches the
// toolkit-free CConfigToolObj through a QObject published over QWebChannel under the name "HWC"
// (PluginObject.js turns it into window.HWC with promise-returning methods), and the object's
// events reach the page's global handler functions. Events whose outcome the tool reads wait
// for the page's handlers, handling user input meanwhile, up to a time limit.
//
// Only pages from the plug-in's own folder get the object: CConfigToolGate publishes a fresh
// object for every navigation of the browser to such a page and withdraws it on any other
// navigation, so that a remote page, or a page navigated to later, never reaches the tool.

#include <map>
#include <memory>
#include <optional>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include "plugins/ConfigToolObj.h"

class CHtmlModule;
class QEventLoop;
class QUrl;
class QWebChannel;
class QWebEnginePage;

class CConfigToolChannel : public QObject, public IConfigToolEvents {
    Q_OBJECT
public:
    // The new object is assigned to the page's module (CHtmlModule::Current() when the page has
    // none) and hears its events.
    explicit CConfigToolChannel(CHtmlModule* pageModule, QObject* parent = nullptr);
    ~CConfigToolChannel() override;

    CConfigToolObj& Object() { return *m_object; }
    // True once the page's script has connected and its handlers can be called.
    bool PageAttached() const { return m_attached; }
    // The page is gone: events no longer reach it and waits for it end now.
    void Detach();
    // Detaches and deletes the object once no wait for the page is running in it any more (the
    // tool's call that raised the event still runs through it).
    void Retire();

    // How long an event whose outcome the tool reads waits for the page.
    static constexpr int kEventWaitMs = 5000;

    // The script's calls. Each answers {ok: true, value} or {ok: false, error} (an argument
    // that does not convert; nothing was changed).
    Q_INVOKABLE QVariantMap AssignModule(const QVariant& modulePrefix);
    Q_INVOKABLE QVariantMap SetReg(const QVariant& name, const QVariant& value);
    Q_INVOKABLE QVariantMap GetReg(const QVariant& name);
    Q_INVOKABLE QVariantMap SetWarning(const QVariant& id, const QVariant& set,
                                       const QVariant& text);
    Q_INVOKABLE QVariantMap NavigatePage(const QVariant& url, const QVariant& tipText);
    Q_INVOKABLE QVariantMap SetComment(const QVariant& comment);
    // The page's script is connected; it hears OnRefreshAll at once, as a page does when it is
    // created.
    Q_INVOKABLE void attachPage();
    // The page's handler of event `seq` has finished with that result.
    Q_INVOKABLE void eventDone(int seq, const QVariant& result);

    // A script value as the core object takes it; no value for one that does not convert (an
    // array or an object).
    static std::optional<tScriptValue> ToScriptValue(const QVariant& value);
    static QVariant FromScriptValue(const tScriptValue& value);

    // --- IConfigToolEvents ---
    void OnRefreshAll() override;
    void OnUpdateAll() override;
    void OnCheckWarnings() override;
    std::int32_t OnShowToolTip(std::int32_t tipId, const std::string& text,
                               const std::string& title) override;
    void OnGenerateComment() override;
    void OnProjectClosing() override;

signals:
    // An event for the page: PluginObject.js calls the page's function `name` with the
    // arguments and answers with eventDone(seq, result).
    void scriptEvent(int seq, const QString& name, const QVariantList& arguments);

private:
    struct tPendingEvent {
        bool answered = false;
        QVariant result;
        QPointer<QEventLoop> loop;
    };
    // Sends the event to an attached page; with `wait`, returns the handler's result once it
    // answered, or an invalid value after the time limit.
    QVariant Raise(const QString& name, const QVariantList& arguments, bool wait);

    std::unique_ptr<CConfigToolObj> m_object;
    std::map<int, std::shared_ptr<tPendingEvent>> m_pending;
    int m_lastSeq = 0;
    int m_waits = 0;
    bool m_attached = false;
    bool m_detached = false;
    bool m_retired = false;
};

// Publishes the automation object to the pages of one browser page that come from a plug-in's
// folder, and to no other page.
class CConfigToolGate : public QObject {
    Q_OBJECT
public:
    // `folder`: the folder holding the plug-in's description file.
    CConfigToolGate(QWebEnginePage* page, CHtmlModule* module, const QString& folder);
    ~CConfigToolGate() override;

    // True for a file address inside the folder (or a folder below it), links resolved.
    static bool IsInFolder(const QUrl& url, const QString& folder);

    // The browser is about to load the address in its main frame.
    void Navigating(const QUrl& url);
    // The page's module is being destroyed.
    void ModuleDestroyed();
    // The object the shown page holds; null when it holds none.
    CConfigToolChannel* Channel() const { return m_object; }

private:
    void Withdraw();

    QWebEnginePage* m_page;
    CHtmlModule* m_module;
    QString m_folder;
    QWebChannel* m_channel;
    CConfigToolChannel* m_object = nullptr;
};
