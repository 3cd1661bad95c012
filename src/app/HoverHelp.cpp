#include "app/HoverHelp.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

namespace app {

HoverHelp::HoverHelp(QObject *parent)
    : QObject(parent)
{}

void HoverHelp::watch(QWidget *target, const Entry &entry)
{
    target->setMouseTracking(true);
    target->installEventFilter(this);
    m_entries.insert(target, entry);
}

void HoverHelp::add(QWidget *control, const QList<QLabel *> &helpLines, const QString &text)
{
    Entry entry;
    for (QLabel *l : helpLines)
        entry.lines.append(l);
    entry.text = text;
    entry.widget = control;
    watch(control, entry);
    // Text boxes and documents receive the pointer in their viewport.
    if (auto *area = qobject_cast<QAbstractScrollArea *>(control))
        watch(area->viewport(), entry);
}

void HoverHelp::addBackground(QWidget *pane, QLabel *helpLine, const QString &text)
{
    Entry entry;
    entry.lines.append(helpLine);
    entry.text = text;
    entry.background = true;
    entry.widget = pane;
    watch(pane, entry);
}

bool HoverHelp::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        const auto it = m_entries.constFind(watched);
        if (it != m_entries.constEnd()) {
            const Entry &entry = it.value();
            const QPoint pos = static_cast<QMouseEvent *>(event)->position().toPoint();
            // Moves over a pane's labels and pictures reach the pane too; only
            // its bare background writes the resting text.
            if (!entry.background || !entry.widget->childAt(pos)) {
                for (const QPointer<QLabel> &line : entry.lines) {
                    if (line)
                        line->setText(entry.text);
                }
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app
