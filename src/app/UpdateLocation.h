#pragma once
#include <QString>
#include <QUrl>

namespace app {

// The web folder that holds "newVersion.txt", "updateText.txt" and the installer.
class UpdateLocation {
public:
    // The folder built into the program.
    static const char *const kBuiltIn;

    // The folder in use, ending in "/": ZORVANE_UPDATE_URL when it is set,
    // otherwise the built-in one.
    static QString folder();

    // The address of a file in that folder, blanks trimmed from both ends.
    static QUrl address(const QString &fileName);
};

} // namespace app
