// ReplaceBackup: run by the backup script once a new copy has checked out
// complete and a previous backup is set aside. When the new copy holds far
// less than the previous one (a device wiped by a firmware restore, for one),
// it asks before the new copy replaces it, naming both sizes; the default
// answer keeps the previous backup. Exits with 0 to replace, 1 to keep.
#include "jobs/BackupAmount.h"
#include "jobs/BackupNames.h"
#include "jobs/BackupVerifier.h"
#include "platform/Platform.h"
#include "platform/desktop/DesktopServices.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    platform::installDesktopServices();
    using jobs::BackupAmount;
    const BackupAmount newer = BackupAmount::of(QStringLiteral("."));
    const BackupAmount older = BackupAmount::of(jobs::kPreviousBackupFolder);
    if (!newer.isFarSmallerThan(older))
        return 0;
    const QString sizes =
        QStringLiteral("The new backup holds %1; the backup it would replace holds %2.")
            .arg(jobs::BackupVerifier::amount(newer.files, newer.bytes),
                 jobs::BackupVerifier::amount(older.files, older.bytes));
    std::printf("%s\n", sizes.toLocal8Bit().constData());
    std::fflush(stdout);
    const platform::MsgAnswer answer = platform::Platform::messages().show(
        QStringLiteral("Replace a much larger backup?"),
        sizes
            + QStringLiteral("\n\nYour device holds far less than when it was last backed up: it "
                             "may have been erased or restored. If you replace the previous "
                             "backup now, what your device no longer holds is lost.\n\nReplace "
                             "the previous backup with the new, smaller one?"),
        platform::MsgIcon::Exclamation, platform::MsgButtons::YesNoDefaultNo);
    return answer == platform::MsgAnswer::Yes ? 0 : 1;
}
