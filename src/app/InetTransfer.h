#pragma once
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <optional>

class QNetworkReply;

namespace platform {
class ScratchFile;
}

namespace app {

// The internet transfer control of the main window (`Inet1`): fetches files
// from the update location over HTTP(S). Waiting runs the window's own events,
// so the window stays usable while a transfer runs. A transfer fails when
// nothing arrives for the time-out, when it takes longer than its deadline in
// all, when the body grows past its size limit, when the server sends it on
// to an address Zorvane does not follow, when the connection fails or breaks
// off, and when the server answers with anything but success.
//
// The body never piles up in memory: it is written, as it arrives, into a
// file in the current (working) folder, the fetched file's name with ".part",
// which goes when the response is dropped. It is made, written, read and
// deleted through the platform's file system.
class InetTransfer : public QObject {
    Q_OBJECT

public:
    static constexpr int kDefaultTimeoutMs = 30000;
    // The longest any transfer may take in all, however steadily bytes arrive.
    static constexpr int kDefaultDeadlineMs = 30 * 60 * 1000;
    // The text files of the update location hold a version or a few lines.
    static constexpr qint64 kMaxTextBytes = 64 * 1024;
    static constexpr int kTextDeadlineMs = 60 * 1000;
    static constexpr int kMaxRedirects = 5;

    explicit InetTransfer(QObject *parent = nullptr);
    ~InetTransfer() override;

    // How long a transfer may go without any answer before it is given up.
    void setTimeout(int ms) { m_timeoutMs = ms; }
    int timeout() const { return m_timeoutMs; }
    // The longest a transfer may take in all.
    void setDeadline(int ms) { m_deadlineMs = ms; }

    // Fetches a whole small file (at most kMaxTextBytes) and returns its body
    // as text; waits with the window working. Nothing on failure, with
    // errorDescription() saying why.
    std::optional<QString> OpenURL(const QUrl &address);

    // Starts a request with the operation ("GET"), dropping any earlier
    // response; a body of more than maxBytes is refused.
    void Execute(const QUrl &address, const QByteArray &operation, qint64 maxBytes = kMaxTextBytes);
    // True while the request started by Execute runs.
    bool StillExecuting() const;
    // Runs the window's events until the request has ended. True when the whole
    // response arrived with a success status.
    bool waitWhileExecuting();

    // A header of the finished response as text; empty when it has none.
    QString GetHeader(const QString &name) const;
    // The next at most size bytes of the finished response's body.
    QByteArray GetChunk(qint64 size);
    // Drops the response and its body file.
    void discardResponse() { dropReply(); }

    // Why the last transfer failed, in words for the user; empty after success.
    QString errorDescription() const { return m_error; }

signals:
    void ended();

private:
    void start(const QUrl &address, const QByteArray &operation, qint64 maxBytes, int deadlineMs);
    void dropReply();
    void onMetaData();
    void onRedirected(const QUrl &target);
    void takeBody();
    void giveUp();
    void onFinished();
    QString describeFailure() const;

    QPointer<QNetworkReply> m_reply;
    std::unique_ptr<platform::ScratchFile> m_body;
    QString m_bodyName;      // the body file's path
    qint64 m_readOffset = 0; // where GetChunk reads next
    QTimer m_idle;
    QTimer m_deadline;
    int m_timeoutMs = kDefaultTimeoutMs;
    int m_deadlineMs = kDefaultDeadlineMs;
    int m_runningDeadlineMs = 0;
    qint64 m_maxBytes = kMaxTextBytes;
    qint64 m_received = 0;
    qint64 m_declared = -1;
    bool m_timedOut = false;
    bool m_pastDeadline = false;
    bool m_tooLarge = false;
    bool m_interrupted = false;
    QString m_refusedRedirect; // where to, and why not
    QString m_writeError;
    QString m_error;
};

} // namespace app
