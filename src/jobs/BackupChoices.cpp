#include "jobs/BackupChoices.h"
#include "jobs/BackupAmount.h"
#include "jobs/DeviceIdentity.h"
#include "jobs/Generations.h"
#include "jobs/PlacedGeneration.h"

namespace jobs {

namespace {

// The entry's texts: short for the list ("2026-12-10 14:05, iPod, 1234
// files, 5.6 MB"; another device's marked as such, in place of its name) and
// whole for its tooltip.
void describe(BackupChoice *c, qint64 made, const QString &name, const QString &record,
              qint64 files, qint64 bytes)
{
    const QString when =
        made >= 0 ? PlacedGeneration::madeText(made) : QStringLiteral("unknown date");
    const QString amount = QStringLiteral("%1 files, %2 MB")
                               .arg(files)
                               .arg(double(bytes) / 1e6, 0, 'f', bytes < 10000000 ? 1 : 0);
    // The name the device gave itself, between the quotes nameOfBackup() puts.
    QString shortName = name.section(QLatin1Char('"'), 1, 1);
    if (shortName.isEmpty())
        shortName = QStringLiteral("unnamed device");
    const QString device = c->otherDevice ? QStringLiteral("another device") : shortName;
    c->text = QStringLiteral("%1, %2, %3").arg(when, device, amount);
    const QString whole = name.isEmpty() && record.isEmpty()
                              ? QStringLiteral("an unknown device")
                              : DeviceIdentity::describe(record, name);
    c->details = QStringLiteral("%1, %2%3, %4")
                     .arg(when, c->otherDevice ? QStringLiteral("another device: ") : QString(),
                          whole, amount);
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
    describe(&newest, Generations::newestMade(), DeviceIdentity::nameOfBackup(), newestDevice,
             amount.files, amount.bytes);
    newest.text.prepend(QStringLiteral("Newest, "));
    newest.details.prepend(QStringLiteral("Newest, "));
    choices << newest;
    for (auto g = older.crbegin(); g != older.crend(); ++g) {
        BackupChoice c;
        c.folder = g->folder;
        c.location = Generations::kFolder + QLatin1Char('/') + g->folder;
        // Unknown on either side: nothing to compare, as a restore decides.
        c.otherDevice =
            !newestDevice.isEmpty() && !g->device.isEmpty() && g->device != newestDevice;
        describe(&c, g->made, DeviceIdentity::nameOfBackup(c.location), g->device, g->files,
                 g->bytes);
        choices << c;
    }
    return choices;
}

} // namespace jobs
