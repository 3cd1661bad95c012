#pragma once
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

// A private copy of the program's folder for end-to-end runs: every companion
// file and the real interpreter, with stand-ins for the program itself and the
// completion programs that only record that a job script started them (so no
// window stays behind), and a private HOME for PuTTY's host-key cache.
class ProgramFolder {
public:
    ProgramFolder();

    bool isValid() const { return m_valid; }
    QString error() const { return m_error; }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    QString home() const { return m_home.path(); }

    // Names of the programs the scripts started, in order ("Zorvane",
    // "BackupComplete", ...).
    QStringList started() const;
    // The environments the stand-ins were started with, one after the other.
    QByteArray startedEnvironments() const;

    static const QStringList &standIns();

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_home;
    bool m_valid = false;
    QString m_error;
};
