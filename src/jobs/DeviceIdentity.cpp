#include "jobs/DeviceIdentity.h"
#include "jobs/BackupNames.h"
#include "jobs/HostKeyCache.h"
#include "platform/Platform.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace jobs {

namespace {

const QString kPrefix = QStringLiteral("hostkey ");

} // namespace

QString DeviceIdentity::fromKey(const QByteArray &entry)
{
    const int blank = entry.indexOf(' ');
    if (blank <= 0)
        return {};
    // The type comes from the cache, which another program may have written:
    // only the characters a key type is made of reach the script.
    QString type = QString::fromLatin1(entry.left(blank));
    type.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9-]")));
    const QByteArray digest =
        QCryptographicHash::hash(entry.mid(blank + 1), QCryptographicHash::Sha256).toHex();
    return kPrefix + (type.isEmpty() ? QStringLiteral("key") : type.left(40)) + QLatin1Char(' ')
           + QString::fromLatin1(digest.left(32));
}

QString DeviceIdentity::ofAddress(const QString &address)
{
    return fromKey(HostKeyCache::read().keyFor(address));
}

QString DeviceIdentity::ofBackup(const QString &folder)
{
    const QString name =
        folder.isEmpty() ? kBackupDeviceRecord : folder + QLatin1Char('/') + kBackupDeviceRecord;
    QByteArray text;
    if (!platform::Platform::files().readFile(name, &text, nullptr))
        return {};
    const QString record = QString::fromLatin1(text).trimmed();
    return record.startsWith(kPrefix) ? record : QString();
}

QString DeviceIdentity::nameOfBackup(const QString &folder)
{
    const QString file = (folder.isEmpty() ? QString() : folder + QLatin1Char('/'))
                         + QStringLiteral("root/Library/Zorvane/device-name.txt");
    platform::FileSystem &files = platform::Platform::files();
    QByteArray text;
    // Two short lines; a larger file is not one the device tool wrote.
    if (!files.isFile(file) || files.fileSize(file) > 1024 || !files.readFile(file, &text, nullptr))
        return {};
    QStringList parts;
    // "name NAME" and "serial SERIAL" lines; anything else is not read.
    for (const QByteArray &line : text.split('\n')) {
        const int blank = line.indexOf(' ');
        const QByteArray word = line.left(blank);
        if (blank <= 0 || (word != "name" && word != "serial"))
            continue;
        QString value = QString::fromUtf8(line.mid(blank + 1)).simplified();
        value.remove(QRegularExpression(QStringLiteral("[^ -~]")));
        value = value.left(64).trimmed();
        if (!value.isEmpty())
            parts << (word == "name" ? QLatin1Char('"') + value + QLatin1Char('"')
                                     : QStringLiteral("serial number ") + value);
    }
    return parts.join(QStringLiteral(", "));
}

QString DeviceIdentity::describe(const QString &record, const QString &name)
{
    const QStringList words = record.split(QLatin1Char(' '));
    const QString prefix = name.isEmpty() ? QString() : name + QStringLiteral(", ");
    if (words.size() != 3)
        return name.isEmpty() ? QStringLiteral("an unknown device") : name;
    return prefix + QStringLiteral("host key %1 %2").arg(words[1], words[2].left(16));
}

} // namespace jobs
