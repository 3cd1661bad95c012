// Test driver of the package suite: runs, as the user it is started as, one
// job through the main window the way the installed program would run it. It
// takes the program's folder from the extracted package, enters the working
// folder the program would choose, presses the job's buttons and prints the
// Console's transcript and any message box to its output.
//
//   package_job_driver backup|restore PROGRAM-FOLDER
//
// Message boxes, sound and the screen are the test stand-ins of
// tests/support: a box is answered at once instead of waiting for a person.
#include "about/WebEngineSetup.h"
#include "app/Console.h"
#include "app/frmMain.h"
#include "platform/PrivateFiles.h"
#include "platform/WorkFolder.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>

int main(int argc, char *argv[])
{
    about::prepareWebEngine();
    QApplication application(argc, argv);
    const QString job = argc == 3 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (job != QLatin1String("backup") && job != QLatin1String("restore")) {
        std::fprintf(stderr, "usage: package_job_driver backup|restore PROGRAM-FOLDER\n");
        return 2;
    }
    const fake::Services fakes = fake::install();
    fakes.app->dir = QString::fromLocal8Bit(argv[2]);
    platform::restrictNewFilesToUser();
    platform::WorkFolder::enter(fakes.app->dir);
    fakes.app->work = platform::WorkFolder::current();

    app::frmMain window;
    window.show();
    window.findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("127.0.0.1"));
    if (job == QLatin1String("backup")) {
        window.findChild<QCheckBox *>(QStringLiteral("Check1"))->setChecked(true);
        window.findChild<QRadioButton *>(QStringLiteral("optNo"))->setChecked(true);
        window.findChild<QPushButton *>(QStringLiteral("cmdAgree"))->click();
    } else {
        window.findChild<QCheckBox *>(QStringLiteral("Check2"))->setChecked(true);
        window.findChild<QPushButton *>(QStringLiteral("Command5"))->click();
    }
    // The click returns when the script's output has ended.
    for (const fake::ShownBox &box : fakes.messages->shown)
        std::printf("[box] %s: %s\n", qPrintable(box.title), qPrintable(box.text));
    std::printf("%s\n", qPrintable(window.console().text()));
    return 0;
}
