#include "app/InetTransfer.h"
#include "platform/Platform.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace app {

InetTransfer::InetTransfer(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("Inet1"));
    m_idle.setSingleShot(true);
    connect(&m_idle, &QTimer::timeout, this, [this] {
        if (StillExecuting()) {
            m_timedOut = true;
            m_reply->abort();
        }
    });
}

InetTransfer::~InetTransfer() { dropReply(); }

void InetTransfer::dropReply()
{
    m_idle.stop();
    if (!m_reply)
        return;
    m_reply->disconnect(this);
    if (!m_reply->isFinished())
        m_reply->abort();
    delete m_reply;
}

std::optional<QString> InetTransfer::OpenURL(const QUrl &address)
{
    Execute(address, "GET");
    if (!waitWhileExecuting())
        return std::nullopt;
    return QString::fromUtf8(m_reply->readAll());
}

void InetTransfer::Execute(const QUrl &address, const QByteArray &operation)
{
    dropReply();
    m_timedOut = false;
    m_interrupted = false;
    m_error.clear();

    QNetworkRequest request(address);
    // The body must arrive as stored, so that its length can be checked against
    // Content-Length; never let a cache answer for the update location.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setRawHeader("Cache-Control", "no-cache");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    m_reply = platform::Platform::network().send(request, operation);
    m_reply->setParent(this);

    const auto activity = [this] {
        if (StillExecuting())
            m_idle.start(m_timeoutMs);
    };
    connect(m_reply, &QNetworkReply::metaDataChanged, this, activity);
    connect(m_reply, &QNetworkReply::downloadProgress, this, activity);
    connect(m_reply, &QNetworkReply::uploadProgress, this, activity);
    connect(m_reply, &QNetworkReply::finished, this, &InetTransfer::onFinished);
    m_idle.start(m_timeoutMs);
}

bool InetTransfer::StillExecuting() const { return m_reply && !m_reply->isFinished(); }

bool InetTransfer::waitWhileExecuting()
{
    if (StillExecuting()) {
        QEventLoop loop;
        connect(this, &InetTransfer::ended, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // The loop also ends when the program is quitting; the transfer ends with it.
    if (StillExecuting()) {
        m_interrupted = true;
        m_reply->abort();
    }
    return m_reply && m_error.isEmpty();
}

QString InetTransfer::GetHeader(const QString &name) const
{
    return m_reply ? QString::fromLatin1(m_reply->rawHeader(name.toLatin1())) : QString();
}

QByteArray InetTransfer::GetChunk(qint64 size)
{
    return m_reply ? m_reply->read(size) : QByteArray();
}

void InetTransfer::onFinished()
{
    m_idle.stop();
    m_error = describeFailure();
    emit ended();
}

QString InetTransfer::describeFailure() const
{
    const QString file = m_reply->url().fileName();
    if (m_timedOut) {
        return QStringLiteral("The update server stopped answering: nothing arrived for %1 seconds "
                              "while fetching %2, so the transfer was given up. Check the internet "
                              "connection and try again later.")
            .arg(m_timeoutMs / 1000.0)
            .arg(file);
    }
    if (m_interrupted)
        return QStringLiteral("The transfer of %1 was interrupted.").arg(file);

    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        const QString reason =
            m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return QStringLiteral("The update server could not deliver %1: it answered \"%2 %3\".")
            .arg(file)
            .arg(status.toInt())
            .arg(reason);
    }
    if (m_reply->error() == QNetworkReply::NoError)
        return QString();

    bool known = false;
    const qint64 expected = m_reply->rawHeader("Content-Length").toLongLong(&known);
    if (known && status.isValid()) {
        return QStringLiteral("The transfer of %1 broke off after %2 of %3 bytes (%4). Try again "
                              "later.")
            .arg(file)
            .arg(m_reply->bytesAvailable())
            .arg(expected)
            .arg(m_reply->errorString());
    }
    return QStringLiteral("Could not fetch %1 from the update server at %2 (%3). Check the "
                          "internet connection and try again later.")
        .arg(file, m_reply->url().adjusted(QUrl::RemoveFilename).toDisplayString(),
             m_reply->errorString());
}

} // namespace app
