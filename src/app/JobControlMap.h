#pragma once
#include "jobs/JobControl.h"

#include <QStringList>
#include <array>

class QTimer;
class QWidget;

namespace app {

// The window's widgets and timers that the jobs' `Control` and `JobTimer`
// names stand for, found once by objectName among the window's children. A
// name without a widget of its kind (a line edit for a text, a checkable
// button for a choice) or without a timer is listed in faults().
class JobControlMap {
public:
    explicit JobControlMap(QWidget *window);

    // Found (never null) when faults() is empty.
    QWidget *widget(jobs::Control control) const
    {
        return m_widgets[static_cast<std::size_t>(control)];
    }
    QTimer *timer(jobs::JobTimer timer) const { return m_timers[static_cast<std::size_t>(timer)]; }

    // What is missing or of another kind, one line each; empty when all is found.
    const QStringList &faults() const { return m_faults; }

private:
    std::array<QWidget *, jobs::kControlCount> m_widgets{};
    std::array<QTimer *, jobs::kJobTimerCount> m_timers{};
    QStringList m_faults;
};

} // namespace app
