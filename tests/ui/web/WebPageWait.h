#pragma once
// Web-page tests wait for the browser, which works through the event loop.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QString>
#include <QVariant>
#include <QWebEnginePage>

// Runs the event loop until the condition holds or the time is up; the condition's last answer.
template <class Condition> bool WaitFor(Condition condition, int milliseconds = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return condition();
}

// Runs script code in the page and waits for its value, as text (empty when none came in time).
inline QString RunPageScript(QWebEnginePage& page, const QString& code) {
    QString answer;
    bool done = false;
    page.runJavaScript(code, [&](const QVariant& value) {
        answer = value.toString();
        done = true;
    });
    WaitFor([&] { return done; });
    return answer;
}
