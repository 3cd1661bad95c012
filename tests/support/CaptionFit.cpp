#include "support/CaptionFit.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QStyleOptionTitleBar>
#include <QTextDocument>

namespace captionfit {

namespace {

QString describe(const QWidget *control, const QString &caption, const QSize &needed,
                 const QRect &room)
{
    return QStringLiteral("%1 \"%2\": needs %3x%4 px, has %5x%6 px")
        .arg(control->objectName(), caption)
        .arg(needed.width())
        .arg(needed.height())
        .arg(room.width())
        .arg(room.height());
}

// One line of text: its advance and its inked extent, whichever is wider.
QSize lineSize(const QFontMetrics &fm, const QString &text)
{
    return {qMax(fm.horizontalAdvance(text), fm.boundingRect(text).width()), fm.height()};
}

QString buttonOverflow(const QAbstractButton *button)
{
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.text = button->text();
    opt.icon = button->icon();
    opt.iconSize = button->iconSize();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox *>(button)) {
        contents = QStyle::SE_CheckBoxContents;
    } else if (qobject_cast<const QRadioButton *>(button)) {
        contents = QStyle::SE_RadioButtonContents;
    } else if (auto *push = qobject_cast<const QPushButton *>(button)) {
        if (push->autoDefault())
            opt.features |= QStyleOptionButton::AutoDefaultButton;
        if (push->isDefault())
            opt.features |= QStyleOptionButton::DefaultButton;
        if (push->isFlat())
            opt.features |= QStyleOptionButton::Flat;
    }
    QRect room = button->style()->subElementRect(contents, &opt, button);
    if (!opt.icon.isNull() && contents == QStyle::SE_PushButtonContents)
        room.setWidth(room.width() - opt.iconSize.width() - 4);
    const QSize needed = lineSize(button->fontMetrics(), button->text());
    if (needed.width() <= room.width() && needed.height() <= room.height())
        return {};
    return describe(button, button->text(), needed, room);
}

QString groupBoxOverflow(const QGroupBox *box)
{
    QStyleOptionGroupBox opt;
    opt.initFrom(box);
    opt.text = box->title();
    opt.textAlignment = box->alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    opt.lineWidth = 1;
    const QRect label =
        box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
    const QSize needed = lineSize(box->fontMetrics(), box->title());
    if (box->rect().contains(label) && needed.width() <= label.width()
        && needed.height() <= label.height())
        return {};
    return describe(box, box->title(), needed, label.intersected(box->rect()));
}

QString labelOverflow(const QLabel *label)
{
    const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                      -label->margin(), -label->margin());
    QSize needed;
    const bool rich =
        label->textFormat() == Qt::RichText
        || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (rich) {
        // Laid out as the label lays out rich text: its font, no margin, its width.
        QTextDocument doc;
        doc.setDefaultFont(label->font());
        doc.setDocumentMargin(0);
        doc.setHtml(label->text());
        doc.setTextWidth(room.width());
        needed = doc.size().toSize();
    } else {
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect used = label->fontMetrics().boundingRect(room, flags, label->text());
        needed = used.size();
        if (room.contains(used))
            return {};
        return describe(label, label->text(), needed, room);
    }
    if (needed.width() <= room.width() && needed.height() <= room.height())
        return {};
    return describe(label, label->text(), needed, room);
}

} // namespace

QString overflow(const QWidget *control)
{
    if (auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text().isEmpty() ? QString() : buttonOverflow(button);
    if (auto *box = qobject_cast<const QGroupBox *>(control))
        return box->title().isEmpty() ? QString() : groupBoxOverflow(box);
    if (auto *label = qobject_cast<const QLabel *>(control))
        return label->text().isEmpty() ? QString() : labelOverflow(label);
    return {};
}

QString titleOverflow(const QWidget *window)
{
    QStyleOptionTitleBar opt;
    opt.initFrom(window);
    opt.text = window->windowTitle();
    opt.titleBarFlags = window->windowFlags();
    opt.titleBarState = int(window->windowState());
    opt.subControls = QStyle::SC_All;
    const QStyle *style = window->style();
    opt.rect =
        QRect(0, 0, window->width(), style->pixelMetric(QStyle::PM_TitleBarHeight, &opt, window));
    const QRect label =
        style->subControlRect(QStyle::CC_TitleBar, &opt, QStyle::SC_TitleBarLabel, window);
    const QSize needed = lineSize(window->fontMetrics(), opt.text);
    if (needed.width() <= label.width())
        return {};
    return describe(window, opt.text, needed, label);
}

QStringList overflowsWithin(const QWidget *top)
{
    QStringList found;
    QList<const QWidget *> controls{top};
    for (const QWidget *w : top->findChildren<const QWidget *>())
        controls.append(w);
    for (const QWidget *w : controls) {
        const QString line = overflow(w);
        if (!line.isEmpty())
            found.append(line);
    }
    return found;
}

} // namespace captionfit
