#pragma once
#include <QMap>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// Stand-in for the update location: a small HTTP server on 127.0.0.1 that
// serves files by path and can misbehave the ways a real server or network
// does: error statuses, a body shorter than its Content-Length, no
// Content-Length at all, a transfer that stops half-way and stays silent, a
// body that never ends, a redirection, or an answer held back until the test
// releases it.
class UpdateServer : public QObject {
    Q_OBJECT

public:
    struct Response {
        int status = 200;
        QByteArray reason = "OK";
        QByteArray body;
        // Content-Length sent: -1 for the body's own size, -2 for none at all.
        qint64 contentLength = -1;
        // Send the body in chunked encoding (which overrides any Content-Length).
        bool chunked = false;
        // After the body, keep the connection open and send nothing more.
        bool stall = false;
        // Send nothing until release() is called.
        bool hold = false;
        // After the body, never end it: send more every so many ms (0: as fast
        // as the client takes it) until the client goes.
        int endlessEveryMs = -1;
        // A Location header (for a redirection status).
        QByteArray location;
    };

    explicit UpdateServer(QObject *parent = nullptr);
    bool start();
    // "http://127.0.0.1:<port>/updates/": the folder every file is served from.
    QString folder() const;

    void put(const QString &fileName, const Response &response);
    void putFile(const QString &fileName, const QByteArray &body);
    void putStatus(const QString &fileName, int status, const QByteArray &reason);

    // Sends the answers held back so far.
    void release();

    QStringList requested;

signals:
    void held(const QString &fileName);

private:
    void readRequest(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Response &response);

    QTcpServer m_server;
    QMap<QString, Response> m_files;
    QList<QPair<QTcpSocket *, Response>> m_held;
};
