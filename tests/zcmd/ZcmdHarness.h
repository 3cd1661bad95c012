#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// Runs the built zcmd in a scratch folder the way the command runner does:
// standard output and standard error joined in one pipe.
namespace zcmdtest {

QString zcmdPath();
QString standInPath();

struct RunResult {
    QByteArray output;
    int exitCode = -1;
    bool finished = false;
};

RunResult runZcmd(const QString &folder, const QStringList &arguments,
                  const QByteArray &input = QByteArray(), int timeoutMs = 120000);

// Puts the stand-in program into `folder` under `name`: a link, or a copy
// when the test needs a file of that name (process names, image names).
bool installStandIn(const QString &folder, const QString &name, bool copy = false);

// Writes a batch file; "\n" in `text` becomes CR LF unless `crlf` is false.
bool writeScript(const QString &path, const QByteArray &text, bool crlf = true);

} // namespace zcmdtest
