#include "CompletionBox.h"
#include "jobs/JobOutcome.h"

#include "platform/Platform.h"
#include "platform/desktop/CaptionFont.h"

#include <QMessageBox>

namespace complete {

Message messageFor(Job job)
{
    const jobs::JobOutcome outcome = jobs::JobOutcome::read(job);
    QString details = outcome.transcript;
    // A flood of output is shown from its end; the file keeps all of it.
    constexpr qsizetype kMostShown = 2 * 1024 * 1024;
    if (details.size() > kMostShown)
        details = QStringLiteral("(The beginning is left out here; %1 in Zorvane's working folder "
                                 "\"%2\" holds all of it.)\n")
                      .arg(jobs::kTranscriptFile, platform::Platform::app().workFolder())
                  + details.right(kMostShown);
    return {jobs::JobOutcome::completionProgram(job), outcome.title, outcome.text, details,
            outcome.succeeded};
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
