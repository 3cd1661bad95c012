#include "CompletionBox.h"
#include "jobs/JobOutcome.h"

#include "platform/desktop/CaptionFont.h"

#include <QMessageBox>

namespace complete {

namespace {

jobs::JobOutcome::Kind kindOf(Job job)
{
    switch (job) {
    case Job::Backup: return jobs::JobOutcome::Kind::Backup;
    case Job::Restore: return jobs::JobOutcome::Kind::Restore;
    case Job::Symlink: return jobs::JobOutcome::Kind::Relocation;
    case Job::Dfu: return jobs::JobOutcome::Kind::Dfu;
    }
    return jobs::JobOutcome::Kind::Backup;
}

QString programName(Job job)
{
    switch (job) {
    case Job::Backup: return QStringLiteral("BackupComplete");
    case Job::Restore: return QStringLiteral("RestoreComplete");
    case Job::Symlink: return QStringLiteral("SymlinkComplete");
    case Job::Dfu: return QStringLiteral("DFUmode");
    }
    return {};
}

} // namespace

Message messageFor(Job job)
{
    const jobs::JobOutcome outcome = jobs::JobOutcome::read(kindOf(job));
    QString details = outcome.transcript;
    // A flood of output is shown from its end; the file keeps all of it.
    constexpr qsizetype kMostShown = 2 * 1024 * 1024;
    if (details.size() > kMostShown)
        details =
            QStringLiteral("(The beginning is left out here; %1 beside Zorvane holds all of it.)\n")
                .arg(jobs::kTranscriptFile)
            + details.right(kMostShown);
    return {programName(job), outcome.title, outcome.text, details, outcome.succeeded};
}

QMessageBox *createBox(Job job, QWidget *parent)
{
    const Message m = messageFor(job);
    auto *box = new QMessageBox(m.succeeded ? QMessageBox::Information : QMessageBox::Warning,
                                m.title, m.text, QMessageBox::Ok, parent);
    box->setObjectName(m.objectName);
    if (!m.details.isEmpty())
        box->setDetailedText(m.details);
    box->setFont(platform::CaptionFont::ofSize(8.25));
    return box;
}

} // namespace complete
