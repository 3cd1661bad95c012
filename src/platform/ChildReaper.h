#pragma once
#include <QList>
#include <QObject>

class QSocketNotifier;
class QTimer;

namespace platform {

// Collects the exit status of child processes that the program no longer waits
// for, so that finished commands never linger as zombies. It watches each child
// through a process descriptor and the event loop; where the system offers none,
// it looks again on a slow timer.
class ChildReaper : public QObject {
public:
    // The reaper of this application (created on first use, owned by the application).
    static ChildReaper &instance();

    // Takes over the child with this id: reaps it now if it has ended, otherwise
    // as soon as it ends.
    void adopt(qint64 pid);

    // Children adopted and not yet reaped.
    int pending() const;

private:
    explicit ChildReaper(QObject *parent);
    void reapPolled();

    int m_watched = 0;
    QList<qint64> m_polled;
    QTimer *m_pollTimer = nullptr;
};

} // namespace platform
