#pragma once
#include <QString>
#include <QStringList>

class QWidget;

// Whether a control's caption, in the control's own font, lies whole within the
// part of the control that its style draws the caption in: a button's contents
// inside its bevel, a check box's or option's text beside its indicator, a
// frame's title on its top edge, a label's contents as the label wraps it.
namespace captionfit {

// Empty when the caption fits (or the control shows no caption); otherwise one
// line naming the control, its caption and the sizes that do not agree.
QString overflow(const QWidget *control);

// overflow() of the widget and every descendant that shows a caption.
QStringList overflowsWithin(const QWidget *top);

// Whether a window's title, in the window's font, lies whole within the label
// of a title bar as wide as the window, as its style lays out such a bar with
// the buttons the window's flags ask for. Empty when it fits.
QString titleOverflow(const QWidget *window);

} // namespace captionfit
