#include "app/UpdateCheck.h"
#include "app/UpdateLauncher.h"
#include "app/UpdateLocation.h"
#include "app/UpdateVersion.h"
#include "platform/Platform.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <cmath>

namespace app {

namespace {

using platform::Platform;

// A failed step: ends the check with its description.
struct CheckFailure {
    QString description;
};

[[noreturn]] void fail(const QString &description) { throw CheckFailure{description}; }

constexpr qint64 kChunkSize = 1024;

// 100 / total × downloaded, halves rounded to the even neighbour.
int percentOf(qint64 downloaded, qint64 total)
{
    return static_cast<int>(
        std::nearbyint(100.0 / static_cast<double>(total) * static_cast<double>(downloaded)));
}

} // namespace

const QString UpdateCheck::kInstallerName = QStringLiteral("Zorvane.msi");
const QString UpdateCheck::kLauncherName = QStringLiteral("DeleteOLD.bat");

UpdateCheck::UpdateCheck(const UpdateControls &controls, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
{
    m_inet.setParent(this);
}

void UpdateCheck::cmdUpdate_Click()
{
    m_controls.cmdUpdate->setEnabled(false);
    for (QWidget *w : std::initializer_list<QWidget *>{
             m_controls.ProgressBar1, m_controls.Label13, m_controls.Label10, m_controls.lblAction,
             m_controls.lblPrcnt, m_controls.Label1, m_controls.Label5, m_controls.lblRemaining,
             m_controls.lblSize})
        w->show();
    try {
        check();
    } catch (const CheckFailure &failure) {
        m_inet.discardResponse();
        discardPartialInstaller();
        Platform::messages().show(Platform::app().title(), failure.description,
                                  platform::MsgIcon::None, platform::MsgButtons::Ok);
    }
}

void UpdateCheck::check()
{
    // A launcher left by an earlier update has done its work. It lies in the
    // working folder, where the launcher is written.
    if (Platform::files().findOrdinaryFile(kLauncherName)
        && !Platform::files().deleteFile(kLauncherName))
        fail(QStringLiteral("The old \"%1\" in Zorvane's working folder \"%2\" could not be "
                            "deleted, so no update was fetched; your backup and Zorvane are "
                            "unchanged. Delete that file yourself (in your file manager), then "
                            "click \"Check for Update\" again.")
                 .arg(kLauncherName, Platform::app().workFolder()));

    m_controls.lblAction->setText(QStringLiteral("Authenticating, please wait"));
    bringUp();

    const QString current = Platform::app().versionText();
    const QString fetched = fetchText(QStringLiteral("newVersion.txt"));
    if (!fetched.isEmpty())
        m_latestVersion = fetched.trimmed();
    if (!UpdateVersion::isNewer(m_latestVersion, current)) {
        bringUp();
        return;
    }

    m_updateText = fetchText(QStringLiteral("updateText.txt"));
    const qint64 totalSize = fetchInstaller();

    m_controls.lblAction->setText(QStringLiteral("Download update?"));
    const QString question =
        QStringLiteral("There is a new version available v ") + m_latestVersion
        + QStringLiteral("\r\n\r\nThis update - ") + m_updateText
        + QStringLiteral("\r\n\r\nWould you like to download the new version?");
    const platform::MsgAnswer answer =
        Platform::messages().show(QStringLiteral("Update available"), question,
                                  platform::MsgIcon::None, platform::MsgButtons::YesNo);
    if (answer != platform::MsgAnswer::Yes) {
        Platform::messages().show(QStringLiteral("Update Pending"),
                                  QStringLiteral("You choose not to update this time, you will be "
                                                 "asked again next time you open this program."),
                                  platform::MsgIcon::Information, platform::MsgButtons::Ok);
        m_inet.discardResponse();
        bringUp();
        return;
    }

    m_controls.lblAction->setText(QStringLiteral("Downloading update, please wait"));
    download(totalSize);
    m_inet.discardResponse();
    Platform::messages().show(QStringLiteral("Update Complete"),
                              QStringLiteral("The update is complete. Press ok to open the new "
                                             "version."),
                              platform::MsgIcon::Information, platform::MsgButtons::Ok);
    QString error;
    if (!UpdateLauncher::run(&error))
        fail(error);
}

QString UpdateCheck::fetchText(const QString &fileName)
{
    const std::optional<QString> text = m_inet.OpenURL(UpdateLocation::address(fileName));
    if (!text)
        fail(m_inet.errorDescription());
    return *text;
}

// Transfers the whole installer (into a file of the transfer's, never into
// memory) and returns its size as the server declared it.
qint64 UpdateCheck::fetchInstaller()
{
    m_inet.Execute(UpdateLocation::address(kInstallerName), "GET", kMaxInstallerBytes);
    if (!m_inet.waitWhileExecuting())
        fail(m_inet.errorDescription());

    m_controls.ProgressBar1->setMaximum(100);
    bool isNumber = false;
    const qint64 totalSize =
        m_inet.GetHeader(QStringLiteral("Content-Length")).trimmed().toLongLong(&isNumber);
    if (!isNumber || totalSize < 0)
        fail(QStringLiteral("The update server did not say how large %1 is (no valid "
                            "Content-Length), so the download cannot be checked. Try again later.")
                 .arg(kInstallerName));
    m_controls.lblSize->setText(QString::number(totalSize) + QStringLiteral(" bytes"));
    return totalSize;
}

// Saves the installer in chunks into the working folder, where the launcher
// starts it by name, counting what really arrives: a body shorter than its
// declared size is an error.
void UpdateCheck::download(qint64 totalSize)
{
    const QString folder = Platform::app().workFolder();
    const QString path = QDir(folder).absoluteFilePath(kInstallerName);
    platform::FileSystem &files = Platform::files();
    QString reason;
    if (!files.writeFile(path, QByteArray(), &reason))
        fail(QStringLiteral("Could not save %1 in Zorvane's working folder \"%2\" (%3). Nothing "
                            "was installed; make room on this computer's disk, then try again.")
                 .arg(kInstallerName, folder, reason));
    m_partialInstaller = path;

    qint64 remaining = totalSize;
    while (remaining != 0) {
        const bool last = remaining <= kChunkSize;
        const qint64 wanted = last ? remaining : kChunkSize;
        const QByteArray chunk = m_inet.GetChunk(wanted);
        if (chunk.size() != wanted) {
            fail(QStringLiteral("The download of %1 is incomplete: only %2 of %3 bytes arrived. "
                                "Nothing was installed; try again later.")
                     .arg(kInstallerName)
                     .arg(totalSize - remaining + chunk.size())
                     .arg(totalSize));
        }
        remaining -= wanted;
        if (!last)
            m_controls.lblRemaining->setText(QString::number(remaining) + QStringLiteral(" bytes"));
        showPercent(percentOf(totalSize - remaining, totalSize));
        if (!files.appendFile(path, chunk, &reason))
            fail(QStringLiteral("Could not write %1 in Zorvane's working folder \"%2\" (%3). "
                                "Nothing was installed; make room on this computer's disk, then "
                                "try again.")
                     .arg(kInstallerName, folder, reason));
    }
    m_partialInstaller.clear();
}

void UpdateCheck::showPercent(int percent)
{
    m_controls.ProgressBar1->setValue(percent);
    m_controls.window->setWindowTitle(QString::number(percent) + QStringLiteral("% - Downloaded"));
    m_controls.lblPrcnt->setText(QString::number(percent) + QStringLiteral("%"));
}

void UpdateCheck::bringUp()
{
    m_controls.window->show();
    m_controls.window->raise();
    m_controls.window->activateWindow();
}

void UpdateCheck::discardPartialInstaller()
{
    if (!m_partialInstaller.isEmpty()) {
        Platform::files().deleteFile(m_partialInstaller);
        m_partialInstaller.clear();
    }
}

} // namespace app
