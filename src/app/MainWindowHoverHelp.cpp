#include "app/MainWindowHoverHelp.h"
#include "app/HoverHelp.h"
#include "app/MainWindowControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

namespace app {

void addMainWindowHoverHelp(QObject *owner, const MainWindowControls &c)
{
    auto *help = new HoverHelp(owner);
    const QString readMe = QStringLiteral(
        "The read me will tell you the terms and conditions, as well as how to use the program.");
    help->add(c.Check1, {c.Label11},
              QStringLiteral("You must agree to the README.txt terms before continuing."));
    help->add(c.optYes, {c.Label11},
              QStringLiteral("By clicking this, you have either manually SYMLINKED your "
                             "applications, or have used BossTools to move your applications."));
    help->add(c.optNo, {c.Label11},
              QStringLiteral("By clicking this,  you have NOT symlinked your /Applications folder, "
                             "or have not moved your applications folder with programs such as "
                             "Boss Tool."));
    help->add(c.chkQuickRepeat, {c.Label11},
              QStringLiteral("Tick this to copy only the files that changed since your last "
                             "backup of this device; the unchanged ones are kept from it. Left "
                             "empty, the whole device is copied."));
    help->add(c.RichTextBox2, {c.Label11}, readMe);
    help->addBackground(c.Frame2, c.Label11,
                        QStringLiteral("Place your mouse over items for more information"));

    help->add(c.Check2, {c.Label15},
              QStringLiteral("Before continuing, you must check I agree. Please read the README "
                             "before selecting ''I agree''"));
    help->add(c.Command5, {c.Label15}, QStringLiteral("Click this to continue"));
    help->add(c.RichTextBox1, {c.Label15}, readMe);
    help->add(c.cboGeneration, {c.Label15},
              QStringLiteral("Choose the backup to restore: the newest, or an older one that "
                             "Zorvane keeps."));
    help->add(c.cmdShowGeneration, {c.Label15},
              QStringLiteral("Opens the chosen backup's folder, to take single files out by "
                             "hand."));
    help->addBackground(c.Frame4, c.Label15,
                        QStringLiteral("Mouse over items for more information"));

    help->add(c.Command10, {c.Label9},
              QStringLiteral("If you have a freshly restored iPod/iPhone, or have never SSH-ed "
                             "into your iPod/iPhone, the this is required before beginning backup, "
                             "or restore. Failure to do so may result in Zorvane not responding. "
                             "If you are not sure if you have ever SSH-ed your iPod before, you "
                             "can click this button just to be sure."));
    help->add(c.Command7, {c.Label9},
              QStringLiteral("Using this feature will automatically move your applications folder "
                             "on your iPod/iPhone to make more room avaliable so you can increase "
                             "the amount of applications you can install onto your iPod/iPhone."));
    help->add(c.Command8, {c.Label9},
              QStringLiteral("Using this feature will automatically move your Fonts folder on "
                             "your iPod/iPhone to make more room avaliable so you can increase the "
                             "amount of applications you can install onto your iPod/iPhone."));
    help->add(c.Command9, {c.Label9},
              QStringLiteral("Use this if you need to downgrade to an earlier firmware or if your "
                             "iPod/iPhone is frozen and cant be detected by iTunes."));
    help->addBackground(c.Frame5, c.Label9,
                        QStringLiteral("Move your mouse over something for more information"));

    const QString address = QStringLiteral(
        "This can be found by going to Settings->Wi-Fi->Click the blue ''>'' next to the Wi-Fi "
        "you are connected to");
    const QString password = QStringLiteral("By Default, this is ''fennel'' without quotes");
    help->add(c.Label2, {c.Label11, c.Label9, c.Label15}, address);
    help->add(c.Text2, {c.Label11, c.Label9, c.Label15}, address);
    help->add(c.Label4, {c.Label11, c.Label9, c.Label15}, password);
    help->add(c.Text3, {c.Label11, c.Label9, c.Label15}, password);
}

} // namespace app
