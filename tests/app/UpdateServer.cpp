#include "UpdateServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace {
const QString kFolder = QStringLiteral("/updates/");
}

UpdateServer::UpdateServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool UpdateServer::start() { return m_server.listen(QHostAddress::LocalHost); }

QString UpdateServer::folder() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()) + kFolder;
}

void UpdateServer::put(const QString &fileName, const Response &response)
{
    m_files.insert(kFolder + fileName, response);
}

void UpdateServer::putFile(const QString &fileName, const QByteArray &body)
{
    Response r;
    r.body = body;
    put(fileName, r);
}

void UpdateServer::putStatus(const QString &fileName, int status, const QByteArray &reason)
{
    Response r;
    r.status = status;
    r.reason = reason;
    r.body = "<html><body>" + reason + "</body></html>";
    put(fileName, r);
}

void UpdateServer::release()
{
    const auto held = m_held;
    m_held.clear();
    for (const auto &[socket, response] : held)
        answer(socket, response);
}

void UpdateServer::readRequest(QTcpSocket *socket)
{
    // Collect the whole request head; only its first line matters.
    const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
    requested.append(path);

    Response response;
    if (m_files.contains(path)) {
        response = m_files.value(path);
    } else {
        response.status = 404;
        response.reason = "Not Found";
        response.body = "<html><body>Not Found</body></html>";
    }
    if (response.hold) {
        m_held.append({socket, response});
        emit held(path.mid(kFolder.size()));
        return;
    }
    answer(socket, response);
}

void UpdateServer::answer(QTcpSocket *socket, const Response &response)
{
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + response.reason
                       + "\r\nContent-Type: application/octet-stream\r\n";
    if (!response.location.isEmpty())
        reply += "Location: " + response.location + "\r\n";
    if (response.contentLength != -2) {
        const qint64 length =
            response.contentLength == -1 ? response.body.size() : response.contentLength;
        reply += "Content-Length: " + QByteArray::number(length) + "\r\n";
    }
    if (response.chunked) {
        reply += "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                 + QByteArray::number(response.body.size(), 16) + "\r\n" + response.body
                 + "\r\n0\r\n\r\n";
    } else {
        reply += "Connection: close\r\n\r\n" + response.body;
    }
    socket->write(reply);
    if (response.endlessEveryMs >= 0) {
        // A little more whenever the client has taken what was sent: the
        // server itself never holds much.
        auto *more = new QTimer(socket);
        const int piece = response.endlessEveryMs == 0 ? 16384 : 1024;
        connect(more, &QTimer::timeout, socket, [socket, piece] {
            if (socket->state() == QAbstractSocket::ConnectedState
                && socket->bytesToWrite() < 4 * piece)
                socket->write(QByteArray(piece, 'z'));
        });
        more->start(response.endlessEveryMs);
        return;
    }
    if (!response.stall)
        socket->disconnectFromHost();
}
