#pragma once
#include <QImage>
#include <QList>

namespace assetgen {

// The program's icon for the desktop's menu and task bar: a handheld with a
// screen of application icons and a round arrow for backup and restore.
class ProgramIcon {
public:
    // The sizes the desktop's icon theme looks for, in pixels.
    static const QList<int> &sizes();
    // The icon drawn at size x size pixels, transparent around it.
    static QImage draw(int size);
};

} // namespace assetgen
