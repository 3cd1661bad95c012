#pragma once
#include <QObject>

namespace platform {

// Turns SIGTERM and SIGHUP (the session ending, `kill`) into a Qt signal on
// the event loop, so the program can end a running job safely before it
// quits. The handler only writes a byte to a pipe that the event loop reads.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // The application's one instance; installs the handlers on first use.
    static TerminationSignals &instance();

signals:
    // Delivered on the event loop, once per signal received.
    void requested();

private:
    explicit TerminationSignals(QObject *parent);
};

} // namespace platform
