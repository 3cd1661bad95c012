#include "app/JobControlMap.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

namespace app {

namespace {

bool isOfKind(QWidget *widget, jobs::ControlKind kind)
{
    switch (kind) {
    case jobs::ControlKind::Text: return qobject_cast<QLineEdit *>(widget) != nullptr;
    case jobs::ControlKind::Choice: {
        const auto *button = qobject_cast<QAbstractButton *>(widget);
        return button && button->isCheckable();
    }
    case jobs::ControlKind::Button: return qobject_cast<QAbstractButton *>(widget) != nullptr;
    case jobs::ControlKind::Plain: return true;
    }
    return false;
}

} // namespace

JobControlMap::JobControlMap(QWidget *window)
{
    for (int i = 0; i < jobs::kControlCount; ++i) {
        const auto control = static_cast<jobs::Control>(i);
        const QString name = jobs::controlName(control);
        QWidget *found = window->findChild<QWidget *>(name);
        if (!found)
            m_faults << QStringLiteral("no control named %1").arg(name);
        else if (!isOfKind(found, jobs::controlKind(control)))
            m_faults << QStringLiteral("%1 is a %2").arg(name, found->metaObject()->className());
        else
            m_widgets[static_cast<std::size_t>(i)] = found;
    }
    for (int i = 0; i < jobs::kJobTimerCount; ++i) {
        const QString name = jobs::timerName(static_cast<jobs::JobTimer>(i));
        m_timers[static_cast<std::size_t>(i)] = window->findChild<QTimer *>(name);
        if (!m_timers[static_cast<std::size_t>(i)])
            m_faults << QStringLiteral("no timer named %1").arg(name);
    }
}

} // namespace app
