#pragma once
// One running instance per project: every instance listens on a local socket named after its
// process id, and an instance that finds a project held by another asks the holder through that
// socket to bring its main window to the front.

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace hwc::ui {

// "hwc-<pid>".
QString InstanceSocketName(qint64 processId);

class CInstanceServer : public QObject {
    Q_OBJECT
public:
    explicit CInstanceServer(QObject* parent = nullptr);
    ~CInstanceServer() override;

    // Listens for this process; `activate` runs when another instance asks. False when the
    // socket cannot be created.
    bool Listen(std::function<void()> activate);

private:
    void OnConnection();

    QLocalServer* m_server = nullptr;
    std::function<void()> m_activate;
};

// Names a running instance for the user: "process 1234 (hwc)", or without the program name
// when it cannot be read.
QString DescribeInstance(qint64 processId);

// Asks the instance with that process id to activate its main window; false when it cannot be
// reached.
bool ActivateInstance(qint64 processId, int timeoutMs = 2000);

} // namespace hwc::ui
