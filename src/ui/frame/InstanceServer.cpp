#include "ui/frame/InstanceServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

namespace hwc::ui {

namespace {

constexpr char kActivateRequest[] = "activate\n";

} // namespace

QString InstanceSocketName(qint64 processId) {
    return QStringLiteral("hwc-%1").arg(processId);
}

CInstanceServer::CInstanceServer(QObject* parent) : QObject(parent) {}

CInstanceServer::~CInstanceServer() = default;

bool CInstanceServer::Listen(std::function<void()> activate) {
    m_activate = std::move(activate);
    const QString name = InstanceSocketName(QCoreApplication::applicationPid());
    // A socket file left by a crashed process of the same id would block listening.
    QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CInstanceServer::OnConnection);
    return m_server->listen(name);
}

void CInstanceServer::OnConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // Requests are short lines; anything longer is not ours.
            if (socket->bytesAvailable() > 64) {
                socket->abort();
                return;
            }
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine();
            if (line == kActivateRequest && m_activate)
                m_activate();
            socket->disconnectFromServer();
        });
    }
}

QString DescribeInstance(qint64 processId) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(processId));
    QString program;
    if (comm.open(QIODevice::ReadOnly))
        program = QString::fromLocal8Bit(comm.read(64)).trimmed();
    if (program.isEmpty())
        return QStringLiteral("process %1").arg(processId);
    return QStringLiteral("process %1 (%2)").arg(processId).arg(program);
}

bool ActivateInstance(qint64 processId, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(InstanceSocketName(processId));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kActivateRequest);
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return sent;
}

} // namespace hwc::ui
