#pragma once
#include "jobs/JobProgress.h"

#include <QString>

namespace jobs {

// The words for a job's progress: the one line beside the busy sign, such as
// "212 of 1,480 MB, 3,105 of 18,230 files, about 14 min left", and the short
// form the window's title carries.
namespace progresstext {

QString line(const JobProgress::Figures &f);
// "42%", or what ended the job; empty before anything is known.
QString titleTag(JobProgress::Kind kind, const JobProgress::Figures &f);
// The window's title while the job runs: the tag before the title it had.
QString windowTitle(const QString &title, JobProgress::Kind kind, const JobProgress::Figures &f);

// "1,480" MB from 10 MB on, "4.1" below; "about 14 min", "about 40 s".
QString megabytes(qint64 bytes);
QString timeLeft(qint64 seconds);
QString grouped(qint64 n);
// "No data from the device for 40 s: is it asleep or out of Wi-Fi?"
QString quiet(qint64 seconds);

} // namespace progresstext

} // namespace jobs
