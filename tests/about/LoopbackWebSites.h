#pragma once
#include <QMap>
#include <QStringList>
#include <QTcpServer>

// Stand-in for the web sites the About window links to: a tiny HTTP server on
// 127.0.0.1 that answers each known path with a page of its own title, and 404
// otherwise. It records every path asked for.
class LoopbackWebSites : public QObject {
    Q_OBJECT
public:
    explicit LoopbackWebSites(QObject *parent = nullptr);
    bool start();
    // "127.0.0.1:<port>", the host part of every address it serves.
    QString hostAndPort() const;
    void addPage(const QString &path, const QString &title);

    QStringList requestedPaths;

private:
    void serve(class QTcpSocket *socket);

    QTcpServer m_server;
    QMap<QString, QString> m_titles;
};
