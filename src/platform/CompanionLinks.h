#pragma once
#include <QString>
#include <QStringList>

namespace platform {

// Makes the files of the program's folder (the interpreter, the completion
// programs, the device-side scripts, pictures and sounds, the program itself)
// reachable by bare name in another folder, as symbolic links into the
// program's folder, so job scripts run there keep their lines. Anything else
// of that name (the user's backup, a file of their own) is left untouched.
class CompanionLinks {
public:
    // Creates missing links, points links at the program's current files and
    // removes links whose file has left the program's folder. Returns the
    // names that could not be linked.
    static QStringList refresh(const QString &programFolder, const QString &folder);

    // Whether a file of the program's folder is linked: every ordinary file
    // but the job scripts and the downloaded installer, which the program
    // writes itself and must never write through a link.
    static bool isLinked(const QString &fileName);
};

} // namespace platform
