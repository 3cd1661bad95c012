#pragma once
#include <QString>
#include <QStringList>

namespace platform {

// The folder the program works in: job scripts, the backup copy and every
// file the jobs write go there, and it becomes the current folder, so the rest
// of the program names them relative to it. That is the program's own folder
// when the user may write there (a build tree); an installed program works in
// a folder of the user's own, where the program's companion files are made
// reachable by bare name.
class WorkFolder {
public:
    // Decides, prepares and enters the working folder of a program kept in
    // programFolder, and returns it. When the per-user folder cannot be made,
    // works in a private temporary folder instead (or, failing that, in the
    // program's folder, unless that is open to others: see refusal()) and
    // then says so in a message box.
    static QString enter(const QString &programFolder);

    // The folder entered at start; the current folder when the program never
    // chose one (a tool that works where it is started).
    static QString current();

    // Why no job may run: set by enter() when no folder was fit to work in,
    // the program's own included (another user's, or open to others), or
    // when the program's folder, whose programs the jobs run through links,
    // is open to others (checkProgramFolder). Job scripts are then never
    // written. Empty when the folder entered is fit.
    static QString refusal();

    // Whether the program may work in its own folder: writable by the user,
    // not marked read-only, not a system folder under /usr, which belongs
    // to the package manager even when root runs the program, and nobody
    // else's to change (checkOwnership).
    static bool ownFolderIsUsable(const QString &programFolder);

    // $XDG_DATA_HOME/Zorvane; ~/.local/share/Zorvane when that is unset or
    // not an absolute path.
    static QString perUserFolder();

    // A folder in the system's temporary folder, of this user alone.
    static QString fallbackFolder();

    // Creates folder and any missing parents, user-only (0700), and checks
    // that it is a folder the user can work in. Returns what is wrong, or an
    // empty text.
    static QString prepare(const QString &folder);

    // What makes folder unfit to hold job scripts: another user owns it or
    // may write to it or to a folder above it (sticky folders such as /tmp
    // excepted), or an access list lets them change it or a folder above it,
    // or read or change the files made in it. Returns what is wrong, or an
    // empty text.
    static QString checkOwnership(const QString &folder);

    // What makes the program's own folder, which the working folder's links
    // lead into, unfit to run jobs from: the same rule, but the system (root)
    // may own it, as an installed program's folder is.
    static QString checkProgramFolder(const QString &programFolder);

private:
    static QString checkFolder(const QString &folder, bool rootMayOwn);

    // The per-user folder, prepared; when it cannot be made, the fallback
    // folder, or the program's folder as a last resort, with what the user
    // must be told added to problems.
    static QString usableUserFolder(const QString &programFolder, QStringList *problems);
    static void settle(const QString &folder);

    // What enter() chose; empty before.
    static QString s_entered;
    static QString s_refusal;
};

} // namespace platform
