#include "jobs/JobControl.h"

namespace jobs {

QString controlName(Control control)
{
#define ZORVANE_JOB_CONTROL_NAME(name, kind) QStringLiteral(#name),
    static const QString names[] = {ZORVANE_JOB_CONTROLS(ZORVANE_JOB_CONTROL_NAME)};
#undef ZORVANE_JOB_CONTROL_NAME
    return names[static_cast<int>(control)];
}

ControlKind controlKind(Control control)
{
#define ZORVANE_JOB_CONTROL_KIND(name, kind) ControlKind::kind,
    static const ControlKind kinds[] = {ZORVANE_JOB_CONTROLS(ZORVANE_JOB_CONTROL_KIND)};
#undef ZORVANE_JOB_CONTROL_KIND
    return kinds[static_cast<int>(control)];
}

QString timerName(JobTimer timer)
{
#define ZORVANE_JOB_TIMER_NAME(name) QStringLiteral(#name),
    static const QString names[] = {ZORVANE_JOB_TIMERS(ZORVANE_JOB_TIMER_NAME)};
#undef ZORVANE_JOB_TIMER_NAME
    return names[static_cast<int>(timer)];
}

} // namespace jobs
