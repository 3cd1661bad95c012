#pragma once
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <optional>

class QNetworkReply;

namespace app {

// The internet transfer control of the main window (`Inet1`): fetches files
// from the update location over HTTP(S). Waiting runs the window's own events,
// so the window stays usable while a transfer runs. A transfer fails when
// nothing arrives for the time-out, when the connection fails or breaks off,
// and when the server answers with anything but success.
class InetTransfer : public QObject {
    Q_OBJECT

public:
    static constexpr int kDefaultTimeoutMs = 30000;

    explicit InetTransfer(QObject *parent = nullptr);
    ~InetTransfer() override;

    // How long a transfer may go without any answer before it is given up.
    void setTimeout(int ms) { m_timeoutMs = ms; }
    int timeout() const { return m_timeoutMs; }

    // Fetches a whole small file and returns its body as text; waits with the
    // window working. Nothing on failure, with errorDescription() saying why.
    std::optional<QString> OpenURL(const QUrl &address);

    // Starts a request with the operation ("GET"), dropping any earlier response.
    void Execute(const QUrl &address, const QByteArray &operation);
    // True while the request started by Execute runs.
    bool StillExecuting() const;
    // Runs the window's events until the request has ended. True when the whole
    // response arrived with a success status.
    bool waitWhileExecuting();

    // A header of the finished response as text; empty when it has none.
    QString GetHeader(const QString &name) const;
    // The next at most size bytes of the finished response's body.
    QByteArray GetChunk(qint64 size);

    // Why the last transfer failed, in words for the user; empty after success.
    QString errorDescription() const { return m_error; }

signals:
    void ended();

private:
    void dropReply();
    void onFinished();
    QString describeFailure() const;

    QPointer<QNetworkReply> m_reply;
    QTimer m_idle;
    int m_timeoutMs = kDefaultTimeoutMs;
    bool m_timedOut = false;
    bool m_interrupted = false;
    QString m_error;
};

} // namespace app
