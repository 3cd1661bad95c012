#include "jobs/BackupVerifier.h"

#include "platform/Platform.h"

#include <QFile>
#include <QRegularExpression>

namespace jobs {

const QString BackupVerifier::kSizesRecord = QStringLiteral("root/Library/Zorvane/file-sizes.txt");

namespace {

const QByteArray kHeader = QByteArrayLiteral("# Zorvane file sizes 1");
const QStringList kTrees{QStringLiteral("Applications"), QStringLiteral("mobile"),
                         QStringLiteral("root")};

// The names come from the device. The file system reads either separator, so
// a ".." between backslashes would leave the tree as surely as one between
// slashes.
bool inATree(const QString &path)
{
    for (const QString &tree : kTrees) {
        if (path.startsWith(tree + QLatin1Char('/'))) {
            static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
            return !path.split(separators).contains(QStringLiteral(".."));
        }
    }
    return false;
}

} // namespace

BackupVerifier::Result BackupVerifier::check(const QString &sizesRecord)
{
    Result r;
    platform::FileSystem &files = platform::Platform::files();
    QByteArray content;
    if (!files.readFile(sizesRecord, &content, nullptr))
        return r;
    const QList<QByteArray> lines = content.split('\n');
    if (lines.isEmpty() || lines.first() != kHeader)
        return r;
    r.recordFound = true;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const qsizetype blank = line.indexOf(' ');
        if (line.isEmpty() || line.startsWith('#') || blank <= 0)
            continue;
        bool ok = false;
        const qint64 size = line.left(blank).toLongLong(&ok);
        const QString path = QFile::decodeName(line.mid(blank + 1));
        if (!ok || !inATree(path))
            continue;
        ++r.files;
        r.bytes += size;
        const qint64 local = files.fileSize(path);
        if (local < 0)
            r.missing.append(path);
        else if (local != size)
            r.wrongSize.append(path);
    }
    return r;
}

QString BackupVerifier::amount(qint64 files, qint64 bytes)
{
    return QStringLiteral("%1 files, %2 MB").arg(files).arg(double(bytes) / 1e6, 0, 'f', 1);
}

QStringList BackupVerifier::report(const Result &r)
{
    if (!r.recordFound)
        return {
            QStringLiteral("Backup check: the list of the device's files did not arrive, so the "
                           "backup cannot be checked and is not complete.")};
    if (r.complete())
        return {QStringLiteral("Backup check: %1 arrived, every file with the size the device "
                               "listed.")
                    .arg(amount(r.files, r.bytes))};
    QStringList lines{
        QStringLiteral("Backup check: the backup is NOT complete. The device listed %1; "
                       "%2 did not arrive and %3 arrived with another size.")
            .arg(amount(r.files, r.bytes))
            .arg(r.missing.size())
            .arg(r.wrongSize.size())};
    for (const QString &path : r.missing.mid(0, 5))
        lines << QStringLiteral("  missing: ") + path;
    for (const QString &path : r.wrongSize.mid(0, 5))
        lines << QStringLiteral("  size differs: ") + path;
    return lines;
}

QString BackupVerifier::outcomeLine(const Result &r)
{
    if (!r.recordFound)
        return QStringLiteral("unchecked");
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(r.complete() ? QStringLiteral("verified") : QStringLiteral("incomplete"))
        .arg(r.files)
        .arg(r.bytes)
        .arg(r.missing.size())
        .arg(r.wrongSize.size());
}

} // namespace jobs
