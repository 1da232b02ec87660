#include "ui/web/JScriptCaller.h"

#include <memory>

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

// Runs the named global function with the arguments and reports {found, ok, value, error}.
QString CallScript(const QString& function, const QStringList& arguments) {
    const QString name =
        QString::fromUtf8(QJsonDocument(QJsonArray{function}).toJson(QJsonDocument::Compact));
    const QString args = QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact));
    return QStringLiteral(
               "(function(){var f=window[%1[0]];"
               "if(typeof f!=='function')return{found:false};"
               "try{var r=f.apply(window,%2);"
               "return{found:true,ok:true,value:(r===undefined||r===null)?'':String(r)};}"
               "catch(e){return{found:true,ok:false,error:String(e)};}})()")
        .arg(name, args);
}

} // namespace

CJScriptCaller::CJScriptCaller(QWebEngineView* view) : m_page(view ? view->page() : nullptr) {
    if (!view)
        Fail(QStringLiteral("NULL pointer"));
}

CJScriptCaller::CJScriptCaller(QWebEnginePage* page) : m_page(page) {
    if (!page)
        Fail(QStringLiteral("NULL pointer"));
}

bool CJScriptCaller::Fail(const QString& reason) {
    m_lastError = QStringLiteral("JSCall Error:\n") + reason;
    return false;
}

bool CJScriptCaller::Call(const QString& function, const QStringList& arguments, QString* result) {
    if (!m_page)
        return Fail(QStringLiteral("Cannot GetScript"));

    // The answer may come after the wait has given up: it then finds the loop gone.
    struct tPending {
        QVariant answer;
        bool answered = false;
        QPointer<QEventLoop> loop;
    };
    const auto pending = std::make_shared<tPending>();
    QEventLoop wait;
    pending->loop = &wait;
    QPointer<QWebEnginePage> page(m_page);
    m_page->runJavaScript(CallScript(function, arguments), [pending](const QVariant& value) {
        pending->answer = value;
        pending->answered = true;
        if (pending->loop)
            pending->loop->quit();
    });
    if (!pending->answered) {
        QTimer::singleShot(kCallWaitMs, &wait, &QEventLoop::quit);
        wait.exec();
    }
    const bool answered = pending->answered;
    const QVariant answer = pending->answer;
    if (!page) {
        m_page = nullptr;
        return Fail(QStringLiteral("Cannot GetScript"));
    }
    if (!answered)
        return Fail(QStringLiteral("The script did not answer in time."));

    const QVariantMap reply = answer.toMap();
    if (reply.isEmpty())
        return Fail(QStringLiteral("Cannot GetScript"));
    if (!reply.value(QStringLiteral("found")).toBool())
        return Fail(QStringLiteral("Unknown name."));
    if (!reply.value(QStringLiteral("ok")).toBool())
        return Fail(QStringLiteral("Exception occurred.\n") +
                    reply.value(QStringLiteral("error")).toString());
    if (result)
        *result = reply.value(QStringLiteral("value")).toString();
    m_lastError.clear();
    return true;
}

bool CJScriptCaller::Call(const QString& function, const QString& arg1, QString* result) {
    return Call(function, QStringList{arg1}, result);
}

bool CJScriptCaller::Call(const QString& function, const QString& arg1, const QString& arg2,
                          QString* result) {
    return Call(function, QStringList{arg1, arg2}, result);
}

bool CJScriptCaller::Call(const QString& function, const QString& arg1, const QString& arg2,
                          const QString& arg3, QString* result) {
    return Call(function, QStringList{arg1, arg2, arg3}, result);
}
