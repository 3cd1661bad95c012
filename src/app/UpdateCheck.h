#pragma once
#include "app/InetTransfer.h"

#include <QObject>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace app {

// The update area of the main window that the check drives.
struct UpdateControls {
    QWidget *window;
    QPushButton *cmdUpdate;
    QProgressBar *ProgressBar1;
    QLabel *Label13, *Label10, *Label5, *Label1;
    QLabel *lblSize, *lblAction, *lblRemaining, *lblPrcnt;
};

// "Check for Update": asks the update location for its latest version and,
// when it is newer, fetches the installer, asks the user, saves the installer
// beside the program with a progress display and hands over to its launcher.
// Any failure ends the check with a box that says what went wrong; nothing is
// started then and no partial installer stays on disk.
class UpdateCheck : public QObject {
    Q_OBJECT

public:
    static const QString kInstallerName;
    static const QString kLauncherName;
    // The largest installer Zorvane fetches; a server offering more is refused.
    static constexpr qint64 kMaxInstallerBytes = 256 * 1024 * 1024;

    UpdateCheck(const UpdateControls &controls, QObject *parent);

    // One check per run: the button stays disabled afterwards.
    void cmdUpdate_Click();

private:
    void check();
    QString fetchText(const QString &fileName);
    qint64 fetchInstaller();
    void download(qint64 totalSize);
    void showPercent(int percent);
    void bringUp();
    void discardPartialInstaller();

    UpdateControls m_controls;
    InetTransfer m_inet;
    QString m_updateText;
    QString m_latestVersion;
    QString m_partialInstaller;
};

} // namespace app
