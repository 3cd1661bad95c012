#pragma once
#include <QList>
#include <QObject>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace app {

// The Restore pane's choice of the backup to restore: the newest, chosen
// whenever the list is made, or an older one kept; and "Show in file
// manager", which opens the chosen backup's folder. Shown only while older
// backups are kept and no job's caption or progress line lies in its place;
// the list is made anew each time the pane is shown.
class GenerationChooser : public QObject {
    Q_OBJECT

public:
    // `pane` is the Restore pane; `busy` the controls that, shown, take the
    // chooser's place (the busy caption and the progress line).
    GenerationChooser(QWidget *pane, QComboBox *list, QPushButton *show,
                      const QList<QLabel *> &busy, QObject *parent = nullptr);

    void refresh();
    // The folder in Generations of the backup chosen; empty for the newest.
    QString chosen() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showChosen();
    void updateVisibility();

    QWidget *m_pane;
    QComboBox *m_list;
    QPushButton *m_show;
    QList<QLabel *> m_busy;
};

} // namespace app
