#include "app/InetTransfer.h"
#include "platform/Platform.h"

#include <QDir>
#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>

namespace app {

namespace {

// What is read from the network at a time: the reply buffers no more, so a
// body that never ends costs no memory.
constexpr qint64 kPieceSize = 64 * 1024;

QString duration(int ms)
{
    if (ms >= 120000)
        return QStringLiteral("%1 minutes").arg(ms / 60000.0);
    return QStringLiteral("%1 seconds").arg(ms / 1000.0);
}

// Why a redirection is not followed; empty when it may be.
QString redirectRefusal(const QUrl &from, const QUrl &to)
{
    const QString scheme = to.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return QStringLiteral("it is not a web address");
    if (from.scheme().toLower() == QLatin1String("https") && scheme == QLatin1String("http"))
        return QStringLiteral("it leaves the secure (https) address for an unencrypted one");
    return {};
}

} // namespace

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
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (StillExecuting()) {
            m_pastDeadline = true;
            m_reply->abort();
        }
    });
}

InetTransfer::~InetTransfer() { dropReply(); }

void InetTransfer::dropReply()
{
    m_idle.stop();
    m_deadline.stop();
    if (m_body) {
        m_body.reset();
        platform::Platform::files().deleteFile(m_bodyName);
    }
    if (!m_reply)
        return;
    m_reply->disconnect(this);
    if (!m_reply->isFinished())
        m_reply->abort();
    delete m_reply;
}

std::optional<QString> InetTransfer::OpenURL(const QUrl &address)
{
    start(address, "GET", kMaxTextBytes, std::min(m_deadlineMs, kTextDeadlineMs));
    if (!waitWhileExecuting())
        return std::nullopt;
    const QString text = QString::fromUtf8(GetChunk(m_received));
    dropReply();
    return text;
}

void InetTransfer::Execute(const QUrl &address, const QByteArray &operation, qint64 maxBytes)
{
    start(address, operation, maxBytes, m_deadlineMs);
}

void InetTransfer::start(const QUrl &address, const QByteArray &operation, qint64 maxBytes,
                         int deadlineMs)
{
    dropReply();
    m_timedOut = false;
    m_pastDeadline = false;
    m_tooLarge = false;
    m_interrupted = false;
    m_refusedRedirect.clear();
    m_writeError.clear();
    m_error.clear();
    m_maxBytes = maxBytes;
    m_received = 0;
    m_declared = -1;
    m_runningDeadlineMs = deadlineMs;

    // The body goes into the working folder, which is the user's alone; a
    // file left there by an earlier run is replaced, never written through.
    const QString name =
        address.fileName().isEmpty() ? QStringLiteral("transfer") : address.fileName();
    m_bodyName = QDir(platform::Platform::app().workFolder())
                     .absoluteFilePath(name + QStringLiteral(".part"));
    m_readOffset = 0;
    platform::FileSystem &files = platform::Platform::files();
    files.deleteFile(m_bodyName);
    m_body = files.createPrivate(m_bodyName, &m_writeError);
    if (!m_body && m_writeError.isEmpty())
        m_writeError = QStringLiteral("the file could not be made");

    QNetworkRequest request(address);
    // The body must arrive as stored, so that its length can be checked against
    // Content-Length; never let a cache answer for the update location.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setRawHeader("Cache-Control", "no-cache");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    m_reply = platform::Platform::network().send(request, operation);
    m_reply->setParent(this);
    m_reply->setReadBufferSize(kPieceSize);

    const auto activity = [this] {
        if (StillExecuting())
            m_idle.start(m_timeoutMs);
    };
    connect(m_reply, &QNetworkReply::metaDataChanged, this, activity);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &InetTransfer::onMetaData);
    connect(m_reply, &QNetworkReply::redirected, this, &InetTransfer::onRedirected);
    connect(m_reply, &QNetworkReply::downloadProgress, this, activity);
    connect(m_reply, &QNetworkReply::uploadProgress, this, activity);
    connect(m_reply, &QNetworkReply::readyRead, this, &InetTransfer::takeBody);
    connect(m_reply, &QNetworkReply::finished, this, &InetTransfer::onFinished);
    m_idle.start(m_timeoutMs);
    m_deadline.start(m_runningDeadlineMs);
    if (!m_writeError.isEmpty())
        m_reply->abort();
}

void InetTransfer::onMetaData()
{
    bool known = false;
    const qint64 declared = m_reply->rawHeader("Content-Length").trimmed().toLongLong(&known);
    m_declared = known ? declared : -1;
    // A body announced larger than the limit is not even begun.
    if (m_declared > m_maxBytes)
        giveUp();
}

void InetTransfer::onRedirected(const QUrl &target)
{
    const QString refusal = redirectRefusal(m_reply->url(), target);
    if (refusal.isEmpty()) {
        emit m_reply->redirectAllowed();
        return;
    }
    m_refusedRedirect = QStringLiteral("\"%1\", which Zorvane does not follow: %2")
                            .arg(target.toDisplayString(), refusal);
    m_reply->abort();
}

void InetTransfer::takeBody()
{
    while (m_reply && m_reply->bytesAvailable() > 0) {
        const QByteArray piece = m_reply->read(kPieceSize);
        m_received += piece.size();
        if (m_received > m_maxBytes) {
            giveUp();
            return;
        }
        if (!m_body || !m_body->write(piece)) {
            if (m_body)
                m_writeError = m_body->errorString();
            m_reply->abort();
            return;
        }
    }
}

void InetTransfer::giveUp()
{
    m_tooLarge = true;
    if (StillExecuting())
        m_reply->abort();
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
    if (!m_reply || !m_body)
        return {};
    const QByteArray piece = m_body->readAt(m_readOffset, size);
    m_readOffset += piece.size();
    return piece;
}

void InetTransfer::onFinished()
{
    m_idle.stop();
    m_deadline.stop();
    if (!m_tooLarge && m_writeError.isEmpty())
        takeBody();
    // Each write reached the file at once; the body is read from its start.
    m_readOffset = 0;
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
    if (m_pastDeadline) {
        return QStringLiteral("Fetching %1 from the update server took longer than %2 in all, so "
                              "the transfer was given up. Try again later.")
            .arg(file, duration(m_runningDeadlineMs));
    }
    if (m_tooLarge) {
        const QString what =
            m_declared > m_maxBytes
                ? QStringLiteral("announced %1 bytes for %2, more than the %3 bytes Zorvane "
                                 "accepts for it")
                      .arg(m_declared)
                : QStringLiteral("sent more than the %3 bytes Zorvane accepts for %2");
        return QStringLiteral("The update server %1, so the transfer was given up and nothing of "
                              "it was kept. Try again later.")
            .arg(what.arg(file).arg(m_maxBytes));
    }
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool redirection = status.isValid() && status.toInt() >= 300 && status.toInt() <= 399;
    if (!m_refusedRedirect.isEmpty() || redirection) {
        QString where = m_refusedRedirect;
        if (where.isEmpty()) {
            const QUrl target = m_reply->url().resolved(
                QUrl::fromEncoded(m_reply->rawHeader("Location"), QUrl::StrictMode));
            QString why = redirectRefusal(m_reply->url(), target);
            if (m_reply->error() == QNetworkReply::TooManyRedirectsError)
                why = QStringLiteral("it was sent on more than %1 times").arg(kMaxRedirects);
            else if (m_reply->rawHeader("Location").isEmpty())
                why = QStringLiteral("the server named no address");
            where = QStringLiteral("\"%1\", which Zorvane does not follow: %2")
                        .arg(target.toDisplayString(), why);
        }
        return QStringLiteral("The update server sent the request for %1 on to %2. Nothing was "
                              "fetched; try again later.")
            .arg(file, where);
    }
    if (!m_writeError.isEmpty()) {
        return QStringLiteral("Could not save %1 in Zorvane's working folder \"%2\" (%3). "
                              "Nothing was installed; make room on this computer's disk, then "
                              "try again.")
            .arg(m_bodyName.section(QLatin1Char('/'), -1), platform::Platform::app().workFolder(),
                 m_writeError);
    }
    if (m_interrupted)
        return QStringLiteral("The transfer of %1 was interrupted. Nothing was installed; try "
                              "again.")
            .arg(file);

    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        const QString reason =
            m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return QStringLiteral("The update server could not deliver %1: it answered \"%2 %3\". "
                              "Nothing was installed; try again later.")
            .arg(file)
            .arg(status.toInt())
            .arg(reason);
    }
    if (m_reply->error() == QNetworkReply::NoError)
        return QString();

    if (m_declared >= 0 && status.isValid()) {
        return QStringLiteral("The transfer of %1 broke off after %2 of %3 bytes (%4). Try again "
                              "later.")
            .arg(file)
            .arg(m_received)
            .arg(m_declared)
            .arg(m_reply->errorString());
    }
    return QStringLiteral("Could not fetch %1 from the update server at %2 (%3). Check the "
                          "internet connection and try again later.")
        .arg(file, m_reply->url().adjusted(QUrl::RemoveFilename).toDisplayString(),
             m_reply->errorString());
}

} // namespace app
