#include "LoopbackWebSites.h"

#include <QTcpSocket>

LoopbackWebSites::LoopbackWebSites(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool LoopbackWebSites::start() { return m_server.listen(QHostAddress::LocalHost); }

QString LoopbackWebSites::hostAndPort() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort());
}

void LoopbackWebSites::addPage(const QString &path, const QString &title)
{
    m_titles.insert(path, title);
}

void LoopbackWebSites::serve(QTcpSocket *socket)
{
    // Wait for the whole request head; only its first line matters.
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
    requestedPaths.append(path);

    QByteArray status = "200 OK";
    QByteArray body;
    if (m_titles.contains(path)) {
        body = "<html><head><title>" + m_titles.value(path).toUtf8() + "</title></head><body><p>"
               + path.toUtf8() + "</p></body></html>";
    } else {
        status = "404 Not Found";
        body = "<html><head><title>Not found</title></head><body></body></html>";
    }
    socket->write("HTTP/1.1 " + status
                  + "\r\nContent-Type: text/html; charset=utf-8\r\n"
                    "Content-Length: "
                  + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}
