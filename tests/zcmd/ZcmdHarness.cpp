#include "ZcmdHarness.h"

#include <QFile>
#include <QProcess>

namespace zcmdtest {

QString zcmdPath() { return QStringLiteral(ZCMD_PROGRAM); }

QString standInPath() { return QStringLiteral(ZCMD_STANDIN); }

RunResult runZcmd(const QString &folder, const QStringList &arguments, const QByteArray &input,
                  int timeoutMs)
{
    RunResult result;
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(zcmdPath(), arguments);
    if (!process.waitForStarted(10000))
        return result;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    result.output = process.readAll();
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

bool installStandIn(const QString &folder, const QString &name, bool copy)
{
    const QString target = folder + QLatin1Char('/') + name;
    QFile::remove(target);
    if (!copy)
        return QFile::link(standInPath(), target);
    if (!QFile::copy(standInPath(), target))
        return false;
    return QFile::setPermissions(target, QFile::permissions(standInPath()));
}

bool writeScript(const QString &path, const QByteArray &text, bool crlf)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray bytes = text;
    if (crlf)
        bytes.replace("\n", "\r\n");
    return file.write(bytes) == bytes.size();
}

} // namespace zcmdtest
