#pragma once
#include <QString>

namespace jobs {

// What the jobs do with a control: read its text, read whether it is chosen,
// start a job when it is pressed, or only show, hide, enable or disable it.
enum class ControlKind { Text, Choice, Button, Plain };

// The main window's controls that the jobs read or change, each named as on
// the window (the name is also the control's objectName there), with its kind.
#define ZORVANE_JOB_CONTROLS(CONTROL)                                                              \
    CONTROL(Text2, Text)                                                                           \
    CONTROL(Text3, Text)                                                                           \
    CONTROL(optYes, Choice)                                                                        \
    CONTROL(optNo, Choice)                                                                         \
    CONTROL(Check1, Choice)                                                                        \
    CONTROL(chkQuickRepeat, Choice)                                                                \
    CONTROL(cmdAgree, Button)                                                                      \
    CONTROL(GIF1, Plain)                                                                           \
    CONTROL(Label7, Plain)                                                                         \
    CONTROL(Check2, Choice)                                                                        \
    CONTROL(Command5, Button)                                                                      \
    CONTROL(GIF2, Plain)                                                                           \
    CONTROL(Label8, Plain)                                                                         \
    CONTROL(DXAnimatedGIF3, Plain)                                                                 \
    CONTROL(DXAnimatedGIF1, Plain)                                                                 \
    CONTROL(DXAnimatedGIF2, Plain)                                                                 \
    CONTROL(DXAnimatedGIF5, Plain)                                                                 \
    CONTROL(Command10, Button)                                                                     \
    CONTROL(Command7, Button)                                                                      \
    CONTROL(Command8, Button)                                                                      \
    CONTROL(Command9, Button)

#define ZORVANE_JOB_CONTROL_ENUMERATOR(name, kind) name,
enum class Control { ZORVANE_JOB_CONTROLS(ZORVANE_JOB_CONTROL_ENUMERATOR) };
#undef ZORVANE_JOB_CONTROL_ENUMERATOR

#define ZORVANE_JOB_CONTROL_COUNT(name, kind) +1
constexpr int kControlCount = 0 ZORVANE_JOB_CONTROLS(ZORVANE_JOB_CONTROL_COUNT);
#undef ZORVANE_JOB_CONTROL_COUNT

// The main window's timers that the jobs start and stop, each named as on the
// window (its objectName there).
#define ZORVANE_JOB_TIMERS(TIMER) TIMER(Timer1)

#define ZORVANE_JOB_TIMER_ENUMERATOR(name) name,
enum class JobTimer { ZORVANE_JOB_TIMERS(ZORVANE_JOB_TIMER_ENUMERATOR) };
#undef ZORVANE_JOB_TIMER_ENUMERATOR

#define ZORVANE_JOB_TIMER_COUNT(name) +1
constexpr int kJobTimerCount = 0 ZORVANE_JOB_TIMERS(ZORVANE_JOB_TIMER_COUNT);
#undef ZORVANE_JOB_TIMER_COUNT

// The name on the window (objectName) of a control or timer.
QString controlName(Control control);
ControlKind controlKind(Control control);
QString timerName(JobTimer timer);

} // namespace jobs
