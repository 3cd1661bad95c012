#include "app/GenerationChooser.h"
#include "jobs/BackupChoices.h"
#include "platform/Platform.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace app {

namespace {

enum Role { Folder = Qt::UserRole, Location };

} // namespace

GenerationChooser::GenerationChooser(QWidget *pane, QComboBox *list, QPushButton *show,
                                     const QList<QLabel *> &busy, QObject *parent)
    : QObject(parent)
    , m_pane(pane)
    , m_list(list)
    , m_show(show)
    , m_busy(busy)
{
    m_pane->installEventFilter(this);
    for (QLabel *label : m_busy)
        label->installEventFilter(this);
    connect(m_show, &QPushButton::clicked, this, &GenerationChooser::showChosen);
    refresh();
}

void GenerationChooser::refresh()
{
    m_list->clear();
    // What the box shows of an entry: a long device name gives way in the
    // middle, the date and the sizes stay.
    QStyleOptionComboBox opt;
    opt.initFrom(m_list);
    const int room =
        m_list->style()
            ->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, m_list)
            .width();
    for (const jobs::BackupChoice &c : jobs::backupChoices()) {
        m_list->addItem(m_list->fontMetrics().elidedText(c.text, Qt::ElideMiddle, room));
        const int at = m_list->count() - 1;
        m_list->setItemData(at, c.folder, Folder);
        m_list->setItemData(at, c.location, Location);
        // The whole entry, where the box is too narrow for it.
        m_list->setItemData(at, c.details, Qt::ToolTipRole);
    }
    m_list->setCurrentIndex(m_list->count() > 0 ? 0 : -1);
    updateVisibility();
}

QString GenerationChooser::chosen() const
{
    return m_list->currentIndex() < 0 ? QString() : m_list->currentData(Folder).toString();
}

bool GenerationChooser::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_pane && type == QEvent::Show)
        refresh();
    else if (watched != m_pane && (type == QEvent::Show || type == QEvent::Hide))
        updateVisibility();
    return QObject::eventFilter(watched, event);
}

void GenerationChooser::updateVisibility()
{
    bool free = m_list->count() > 0;
    for (QLabel *label : m_busy)
        free = free && label->isHidden();
    m_list->setVisible(free);
    m_show->setVisible(free);
}

void GenerationChooser::showChosen()
{
    if (m_list->currentIndex() < 0)
        return;
    const QString folder = QDir(platform::Platform::app().workFolder())
                               .filePath(m_list->currentData(Location).toString());
    if (!platform::Platform::shell().openFolder(QDir::cleanPath(folder)))
        platform::warningBox(QStringLiteral("No file manager could be opened. The backup lies in "
                                            "the folder \"%1\".")
                                 .arg(QDir::cleanPath(folder)));
}

} // namespace app
