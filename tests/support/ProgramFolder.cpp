#include "support/ProgramFolder.h"
#include "jobs/JobCompletions.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

const QStringList &ProgramFolder::standIns()
{
    // The program and every completion program the jobs' scripts start.
#define ZORVANE_STAND_IN(kind, word, program) QStringLiteral(#program),
    static const QStringList names{QStringLiteral("Zorvane"),
                                   ZORVANE_JOB_COMPLETIONS(ZORVANE_STAND_IN)};
#undef ZORVANE_STAND_IN
    return names;
}

ProgramFolder::ProgramFolder()
{
    const QDir bin(qEnvironmentVariable("ZORVANE_BIN_DIR"));
    if (!m_dir.isValid() || !m_home.isValid() || !bin.exists()) {
        m_error = QStringLiteral("no program folder to copy");
        return;
    }
    // What a job left in the build's folder (a run of the program there) is
    // not part of the program: job scripts, their notes and transcript, the
    // marks of an unfinished job, the backup's device record, the job lock.
    static const QRegularExpression jobFiles(
        QStringLiteral(
            "^(.*\\.bat|LastJob\\..*|Backup(Incomplete|Unfinished|Device)\\.txt|"
            "Restore(Unfinished|Run)\\.txt|SSHresult\\.txt|Zorvane\\.(msi|lock))$"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QFileInfo &f : bin.entryInfoList(QDir::Files)) {
        if (standIns().contains(f.fileName()) || jobFiles.match(f.fileName()).hasMatch())
            continue;
        const QString to = m_dir.filePath(f.fileName());
        if (!QFile::copy(f.filePath(), to) || !QFile::setPermissions(to, f.permissions())) {
            m_error = QStringLiteral("cannot copy %1").arg(f.fileName());
            return;
        }
    }
    // Stand-ins that record their start in started.log.
    for (const QString &name : standIns()) {
        QFile s(m_dir.filePath(name));
        if (!s.open(QIODevice::WriteOnly)) {
            m_error = QStringLiteral("cannot write the stand-in %1").arg(name);
            return;
        }
        s.write(QStringLiteral("#!/bin/sh\n# Test stand-in: records that a job script started %1, "
                               "and the environment it got.\n"
                               "echo %1 >> \"%2/started.log\"\n"
                               "env >> \"%3/started-environments.txt\"\n")
                    .arg(name, m_dir.path(), m_home.path())
                    .toUtf8());
        s.close();
        s.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    m_valid = true;
}

QByteArray ProgramFolder::startedEnvironments() const
{
    QFile log(m_home.filePath(QStringLiteral("started-environments.txt")));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

QStringList ProgramFolder::started() const
{
    QFile log(m_dir.filePath(QStringLiteral("started.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
