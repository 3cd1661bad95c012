#include "jobs/BackupChoices.h"
#include "jobs/BackupAmount.h"
#include "jobs/BackupVerifier.h"
#include "jobs/DeviceIdentity.h"
#include "jobs/Generations.h"
#include "jobs/PlacedGeneration.h"

namespace jobs {

namespace {

// "2026-12-10 14:05, "iPod", 1234 files, 5.6 MB"; another device's marked.
QString describe(qint64 made, const QString &name, const QString &record, bool other,
                 qint64 files, qint64 bytes)
{
    QString device = name.isEmpty() ? (record.isEmpty() ? QStringLiteral("unknown device")
                                                        : DeviceIdentity::describe(record))
                                    : name;
    if (other)
        device = QStringLiteral("another device: ") + device;
    return QStringLiteral("%1, %2, %3")
        .arg(made >= 0 ? PlacedGeneration::madeText(made) : QStringLiteral("unknown date"), device,
             BackupVerifier::amount(files, bytes));
}

} // namespace

QList<BackupChoice> backupChoices()
{
    QList<BackupChoice> choices;
    const QList<Generations::Generation> older = Generations::list();
    if (older.isEmpty())
        return choices;
    const QString newestDevice = DeviceIdentity::ofBackup();
    const BackupAmount amount = BackupAmount::of(QStringLiteral("."));
    BackupChoice newest;
    newest.location = QStringLiteral(".");
    newest.text = QStringLiteral("Newest: ")
                  + describe(Generations::newestMade(), DeviceIdentity::nameOfBackup(),
                             newestDevice, false, amount.files, amount.bytes);
    choices << newest;
    for (auto g = older.crbegin(); g != older.crend(); ++g) {
        BackupChoice c;
        c.folder = g->folder;
        c.location = Generations::kFolder + QLatin1Char('/') + g->folder;
        // Unknown on either side: nothing to compare, as a restore decides.
        c.otherDevice = !newestDevice.isEmpty() && !g->device.isEmpty() && g->device != newestDevice;
        c.text = describe(g->made, DeviceIdentity::nameOfBackup(c.location), g->device,
                          c.otherDevice, g->files, g->bytes);
        choices << c;
    }
    return choices;
}

} // namespace jobs
