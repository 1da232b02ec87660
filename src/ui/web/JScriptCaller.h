#pragma once
// Calls a function of a web page's script and waits for its result; failures leave a text that
// begins with "JSCall Error:\n".

#include <QString>
#include <QStringList>

class QWebEnginePage;
class QWebEngineView;

class CJScriptCaller {
public:
    explicit CJScriptCaller(QWebEngineView* view);
    explicit CJScriptCaller(QWebEnginePage* page);

    // Calls the page's global function with up to three text arguments; with `result` its return
    // value as text. False when the page has no script, the function does not exist, it threw,
    // or it did not answer within the wait limit.
    bool Call(const QString& function, const QStringList& arguments = {},
              QString* result = nullptr);
    bool Call(const QString& function, const QString& arg1, QString* result = nullptr);
    bool Call(const QString& function, const QString& arg1, const QString& arg2,
              QString* result = nullptr);
    bool Call(const QString& function, const QString& arg1, const QString& arg2,
              const QString& arg3, QString* result = nullptr);

    const QString& LastError() const { return m_lastError; }

    static constexpr int kCallWaitMs = 5000;

private:
    bool Fail(const QString& reason);

    QWebEnginePage* m_page = nullptr;
    QString m_lastError;
};
