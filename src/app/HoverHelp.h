#pragma once
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class QLabel;
class QWidget;

namespace app {

// Writes a control's explanation into one or more Help lines on every movement
// of the pointer over the control. A pane's own background writes its resting
// text only where the pointer is not over one of the pane's controls.
class HoverHelp : public QObject {
    Q_OBJECT

public:
    explicit HoverHelp(QObject *parent = nullptr);

    void add(QWidget *control, const QList<QLabel *> &helpLines, const QString &text);
    void addBackground(QWidget *pane, QLabel *helpLine, const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry {
        QList<QPointer<QLabel>> lines;
        QString text;
        bool background = false;
        QWidget *widget = nullptr;
    };
    void watch(QWidget *target, const Entry &entry);

    QHash<QObject *, Entry> m_entries;
};

} // namespace app
