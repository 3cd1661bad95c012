#include "app/frmMain.h"
#include "alert/frmAlert.h"
#include "app/BusyIndicator.h"
#include "app/Console.h"
#include "app/ExitCleanup.h"
#include "app/HoverHelp.h"
#include "app/InstructionDocuments.h"
#include "app/UpdateCheck.h"
#include "jobs/ConnectionSettings.h"
#include "jobs/JobLauncher.h"
#include "jobs/JobScripts.h"
#include "platform/CaptionFont.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "runner/ReadOutput.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>

namespace app {

namespace {

using platform::twipsRect;

constexpr int kClientWidthTwips = 5655;
constexpr int kClientHeightTwips = 5490;
// Outer height minus client height: the title bar and frame of the window.
constexpr int kFrameHeightTwips = 405;
constexpr int kJobHeightTwips = 8700;

template <typename W>
W *place(W *widget, const char *name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, int l, int t, int w, int h)
{
    auto *lbl = place(new QLabel(text, parent), name, l, t, w, h);
    lbl->setWordWrap(true);
    return lbl;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, int l, int t, int w,
                    int h)
{
    return place(new QPushButton(text, parent), name, l, t, w, h);
}

QGroupBox *frame(QWidget *parent, const char *name, const QString &title, int l, int t, int w,
                 int h)
{
    return place(new QGroupBox(title, parent), name, l, t, w, h);
}

BusyIndicator *busy(QWidget *parent, const char *name, int l, int t, int w, int h)
{
    auto *indicator = place(new BusyIndicator(parent), name, l, t, w, h);
    indicator->hide();
    return indicator;
}

QTextEdit *document(QWidget *parent, const char *name, const QString &html, int l, int t, int w,
                    int h)
{
    auto *doc = place(new QTextEdit(parent), name, l, t, w, h);
    doc->setHtml(html);
    doc->setReadOnly(true);
    return doc;
}

} // namespace

frmMain::frmMain(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Zorvane"));
    setFont(platform::CaptionFont::ofSize(8.25));
    buildControls();
    setFixedSize(platform::twipsToPixels(kClientWidthTwips),
                 platform::twipsToPixels(kClientHeightTwips));
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::buildControls()
{
    Command2 = button(this, "Command2", QStringLiteral("Main Screen"), 120, 0, 975, 495);
    Command1 = button(this, "Command1", QStringLiteral("Begin Backup"), 1200, 0, 975, 495);
    Command4 = button(this, "Command4", QStringLiteral("Begin Restore"), 2280, 0, 975, 495);
    Command3 = button(this, "Command3", QStringLiteral("About"), 3360, 0, 975, 495);
    Command6 = button(this, "Command6", QStringLiteral("Misc Utilities"), 4440, 0, 975, 495);

    // SSH Login: the Connection settings.
    Frame6 = frame(this, "Frame6", QStringLiteral("SSH Login"), 0, 480, 5535, 975);
    Label2 = label(Frame6, "Label2", QStringLiteral("IP Address:"), 240, 240, 975, 255);
    Text2 = place(new QLineEdit(QStringLiteral("192.168."), Frame6), "Text2", 1680, 240, 3735, 285);
    Label4 = label(Frame6, "Label4", QStringLiteral("SSH Password:"), 240, 600, 1215, 255);
    Text3 = place(new QLineEdit(QStringLiteral("fennel"), Frame6), "Text3", 1680, 600, 3735, 285);
    Text3->setToolTip(QStringLiteral("By default: this is \"fennel\" without quotes!"));

    // Main Screen pane.
    Frame1 = frame(this, "Frame1", QStringLiteral("Welcome to Zorvane"), 0, 1440, 5535, 3855);
    Image2 = place(new QLabel(Frame1), "Image2", 120, 240, 1395, 1335);
    Image2->setScaledContents(true);
    const QPixmap welcome(platform::Platform::app().folder() + QStringLiteral("/welcome.jpg"));
    if (!welcome.isNull())
        Image2->setPixmap(welcome);
    Label6 = label(Frame1, "Label6",
                   QStringLiteral("Welcome to Zorvane within a few clicks, you can easily backup  "
                                  "your iPod Touch/iPhone Applications! Then, with another click "
                                  "of a button, restore all of your apps. Now instead of wasting "
                                  "all of that time reinstalling your apps, you can easily backup "
                                  "and restore!"),
                   1560, 240, 3855, 1575);
    Frame7 = frame(Frame1, "Frame7", QString(), 120, 1920, 5295, 1815);
    cmdUpdate = button(Frame7, "cmdUpdate", QStringLiteral("Check for Update"), 120, 240, 1575, 375);
    Label13 = label(Frame7, "Label13", QStringLiteral("Progress:"), 1920, 300, 855, 255);
    lblPrcnt = label(Frame7, "lblPrcnt", QStringLiteral("%"), 2820, 300, 735, 255);
    ProgressBar1 = place(new QProgressBar(Frame7), "ProgressBar1", 120, 720, 5055, 255);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    Label10 = label(Frame7, "Label10", QStringLiteral("Status:"), 120, 1080, 855, 255);
    lblAction = label(Frame7, "lblAction", QStringLiteral("Authenticating, please wait"), 1020, 1080,
                      4155, 255);
    Label5 = label(Frame7, "Label5", QStringLiteral("Total Size:"), 120, 1380, 1095, 255);
    lblSize = label(Frame7, "lblSize", QStringLiteral("Size"), 1260, 1380, 1335, 255);
    Label1 = label(Frame7, "Label1", QStringLiteral("Remaining Download:"), 2640, 1380, 1695, 255);
    lblRemaining = label(Frame7, "lblRemaining", QStringLiteral("Remaining"), 4380, 1380, 855, 255);
    for (QWidget *w : std::initializer_list<QWidget *>{ProgressBar1, Label13, Label10, Label5, Label1,
                                                        lblSize, lblAction, lblRemaining, lblPrcnt})
        w->hide();
    for (QLabel *l : {Label13, Label10, Label5, Label1, lblSize, lblAction, lblRemaining, lblPrcnt}) {
        QFont bold = l->font();
        bold.setBold(true);
        l->setFont(bold);
    }
    m_update = new UpdateCheck({this, cmdUpdate, ProgressBar1, Label13, Label10, Label5, Label1,
                                lblSize, lblAction, lblRemaining, lblPrcnt},
                               this);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmMain::cmdUpdate_Click);

    // Backup pane.
    Frame2 = frame(this, "Frame2", QStringLiteral("Start Zorvane"), 0, 1440, 5535, 3855);
    RichTextBox2 = document(Frame2, "RichTextBox2", backupInstructions(), 120, 240, 5295, 1335);
    optYes = place(new QRadioButton(QStringLiteral("Yes, My apps are symlinked"), Frame2), "optYes",
                   120, 1680, 3615, 255);
    optNo = place(new QRadioButton(QStringLiteral("No, my apps are NOT symlinked"), Frame2), "optNo",
                  120, 1980, 3615, 255);
    Check1 = place(new QCheckBox(QStringLiteral("I agree to the terms above"), Frame2), "Check1",
                   120, 2340, 2775, 255);
    cmdAgree = button(Frame2, "cmdAgree", QStringLiteral("Continue"), 4080, 2280, 1335, 375);
    cmdAgree->setEnabled(false);
    GIF1 = busy(Frame2, "GIF1", 3600, 2280, 375, 375);
    Label7 = label(Frame2, "Label7", QStringLiteral("Running Zorvane Please Wait...."), 120, 2700,
                   5295, 255);
    Label7->hide();
    Label11 = label(Frame2, "Label11", QStringLiteral("Mouse over items for more information"), 120,
                    3000, 5295, 735);
    Label11->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    // Restore pane.
    Frame4 = frame(this, "Frame4", QStringLiteral("Begin Restore"), 0, 1440, 5535, 3855);
    Label12 = label(Frame4, "Label12", QStringLiteral("YOU MUST READ THIS BEFORE CONTINUING:"), 120,
                    240, 5175, 255);
    RichTextBox1 = document(Frame4, "RichTextBox1", restoreInstructions(), 120, 480, 5175, 1455);
    Check2 = place(new QCheckBox(QStringLiteral("I agree to the terms above"), Frame4), "Check2",
                   120, 2160, 2775, 255);
    Command5 = button(Frame4, "Command5", QStringLiteral("Continue"), 4080, 2100, 1335, 375);
    Command5->setEnabled(false);
    GIF2 = busy(Frame4, "GIF2", 3600, 2100, 375, 375);
    Label8 = label(Frame4, "Label8", QStringLiteral("Putting Apps Back. Please Wait...."), 120, 2640,
                   5175, 255);
    Label8->hide();
    Label15 = label(Frame4, "Label15", QStringLiteral("Mouse over items for more information"), 120,
                    3240, 5295, 495);
    Label15->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Frame4->hide();

    // Utilities pane.
    Frame5 = frame(this, "Frame5", QStringLiteral("Misc Utilities"), 0, 1440, 5535, 3855);
    Command10 = button(Frame5, "Command10", QStringLiteral("Run SSH Fingerprint"), 600, 840, 4335, 255);
    Command7 = button(Frame5, "Command7", QStringLiteral("Symlink my Applications"), 600, 1200, 4335, 255);
    Command8 = button(Frame5, "Command8", QStringLiteral("Symlink my Fonts"), 600, 1560, 4335, 255);
    Command9 = button(Frame5, "Command9", QStringLiteral("Force DFU Mode"), 600, 1920, 4335, 255);
    DXAnimatedGIF3 = busy(Frame5, "DXAnimatedGIF3", 5040, 840, 255, 255);
    DXAnimatedGIF1 = busy(Frame5, "DXAnimatedGIF1", 5040, 1200, 255, 255);
    DXAnimatedGIF2 = busy(Frame5, "DXAnimatedGIF2", 5040, 1560, 255, 255);
    DXAnimatedGIF5 = busy(Frame5, "DXAnimatedGIF5", 5040, 1920, 255, 255);
    Label9 = label(Frame5, "Label9",
                   QStringLiteral("Move your mouse over something for more information"), 240,
                   2280, 5055, 1455);
    Label9->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(7000);
    Frame5->hide();

    Label3 = place(new QLabel(this), "Label3", 0, 5280, 5535, 255);
    Label3->setText(QStringLiteral(
        "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>"
        "<td align=\"left\">Zorvane by Farrowmoss</td>"
        "<td align=\"right\">GUI by pellridge</td></tr></table>"));

    Output = place(new QTextEdit(this), "Output", 0, 5520, 5655, 2775);
    Output->setReadOnly(true);

    // The command runner lies under the Console, invisible while the program runs.
    ReadOutput1 = new ReadOutput(this);
    ReadOutput1->setObjectName(QStringLiteral("ReadOutput1"));
    ReadOutput1->move(0, platform::twipsToPixels(5520));
    ReadOutput1->hide();
    m_console = std::make_unique<::Console>(Output);
    m_console->setHideBusyIndicators([this] { hideBusyIndicators(); });
    m_console->attach(ReadOutput1);
    m_launcher = std::make_unique<jobs::JobLauncher>(ReadOutput1);

    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command4, &QPushButton::clicked, this, &frmMain::Command4_Click);
    connect(Command6, &QPushButton::clicked, this, &frmMain::Command6_Click);
    connect(Command3, &QPushButton::clicked, this, &frmMain::Command3_Click);
    connect(Check1, &QCheckBox::stateChanged, this, &frmMain::Check1_Click);
    connect(Check2, &QCheckBox::stateChanged, this, &frmMain::Check2_Click);
    connect(cmdAgree, &QPushButton::clicked, this, &frmMain::cmdAgree_Click);
    connect(Command5, &QPushButton::clicked, this, &frmMain::Command5_Click);
    connect(Command10, &QPushButton::clicked, this, &frmMain::Command10_Click);
    connect(Command7, &QPushButton::clicked, this, &frmMain::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &frmMain::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &frmMain::Command9_Click);
    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    buildHoverHelp();
}

void frmMain::buildHoverHelp()
{
    auto *help = new HoverHelp(this);
    const QString readMe = QStringLiteral(
        "The read me will tell you the terms and conditions, as well as how to use the program.");
    help->add(Check1, {Label11},
              QStringLiteral("You must agree to the README.txt terms before continuing."));
    help->add(optYes, {Label11},
              QStringLiteral("By clicking this, you have either manually SYMLINKED your "
                             "applications, or have used BossTools to move your applications."));
    help->add(optNo, {Label11},
              QStringLiteral("By clicking this,  you have NOT symlinked your /Applications folder, "
                             "or have not moved your applications folder with programs such as "
                             "Boss Tool."));
    help->add(RichTextBox2, {Label11}, readMe);
    help->addBackground(Frame2, Label11,
                        QStringLiteral("Place your mouse over items for more information"));

    help->add(Check2, {Label15},
              QStringLiteral("Before continuing, you must check I agree. Please read the README "
                             "before selecting ''I agree''"));
    help->add(Command5, {Label15}, QStringLiteral("Click this to continue"));
    help->add(RichTextBox1, {Label15}, readMe);
    help->addBackground(Frame4, Label15, QStringLiteral("Mouse over items for more information"));

    help->add(Command10, {Label9},
              QStringLiteral("If you have a freshly restored iPod/iPhone, or have never SSH-ed "
                             "into your iPod/iPhone, the this is required before beginning backup, "
                             "or restore. Failure to do so may result in Zorvane not responding. "
                             "If you are not sure if you have ever SSH-ed your iPod before, you "
                             "can click this button just to be sure."));
    help->add(Command7, {Label9},
              QStringLiteral("Using this feature will automatically move your applications folder "
                             "on your iPod/iPhone to make more room avaliable so you can increase "
                             "the amount of applications you can install onto your iPod/iPhone."));
    help->add(Command8, {Label9},
              QStringLiteral("Using this feature will automatically move your Fonts folder on "
                             "your iPod/iPhone to make more room avaliable so you can increase the "
                             "amount of applications you can install onto your iPod/iPhone."));
    help->add(Command9, {Label9},
              QStringLiteral("Use this if you need to downgrade to an earlier firmware or if your "
                             "iPod/iPhone is frozen and cant be detected by iTunes."));
    help->addBackground(Frame5, Label9,
                        QStringLiteral("Move your mouse over something for more information"));

    const QString address = QStringLiteral(
        "This can be found by going to Settings->Wi-Fi->Click the blue ''>'' next to the Wi-Fi "
        "you are connected to");
    const QString password = QStringLiteral("By Default, this is ''fennel'' without quotes");
    help->add(Label2, {Label11, Label9, Label15}, address);
    help->add(Text2, {Label11, Label9, Label15}, address);
    help->add(Label4, {Label11, Label9, Label15}, password);
    help->add(Text3, {Label11, Label9, Label15}, password);
}

namespace {

// A pane's Continue button follows its agreement box; the greyed third state
// changes nothing.
void gate(const QCheckBox *agreement, QPushButton *go)
{
    if (agreement->checkState() == Qt::Checked)
        go->setEnabled(true);
    else if (agreement->checkState() == Qt::Unchecked)
        go->setEnabled(false);
}

} // namespace

void frmMain::Check1_Click() { gate(Check1, cmdAgree); }
void frmMain::Check2_Click() { gate(Check2, Command5); }

void frmMain::Form_Load()
{
    const QString version = platform::Platform::app().versionText();
    PopAlert(QStringLiteral("Welcome to Zorvane, Version: ") + version + QStringLiteral(" Beta."));

    Output->setPlainText(QStringLiteral("**Farrowmoss's CONSOLE**\r\nGUI by pellridge"));
    // Blue over the whole banner; the selection stays in place.
    QTextCursor cursor = Output->textCursor();
    cursor.setPosition(0);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    QTextCharFormat blue;
    blue.setForeground(QColor(0, 0, 255));
    cursor.mergeCharFormat(blue);
    Output->setTextCursor(cursor);

    setWindowTitle(QStringLiteral("Zorvane Version: ") + version + QStringLiteral(" Beta"));

    Frame1->show();
    Frame2->hide();
    Frame4->hide();
}

int frmMain::heightTwips() const { return platform::pixelsToTwips(height()) + kFrameHeightTwips; }

void frmMain::setHeightTwips(int twips)
{
    setFixedHeight(platform::twipsToPixels(twips - kFrameHeightTwips));
}

bool frmMain::FileExists(const QString &name) { return app::FileExists(name); }

void frmMain::PopAlert(const QString &message)
{
    auto *popup = new alert::frmAlert;
    popup->DisplayAlert(message, 3000);
}

void frmMain::showPane(QGroupBox *pane)
{
    for (QGroupBox *p : {Frame1, Frame2, Frame4, Frame5}) {
        if (p != pane)
            p->hide();
    }
    pane->show();
}

void frmMain::Command2_Click() { showPane(Frame1); }
void frmMain::Command1_Click() { showPane(Frame2); }
void frmMain::Command4_Click() { showPane(Frame4); }
void frmMain::Command6_Click() { showPane(Frame5); }

void frmMain::Command3_Click() { m_about.show(); }

void frmMain::cmdUpdate_Click() { m_update->cmdUpdate_Click(); }

void frmMain::Form_Unload() { runExitCleanup(); }

void frmMain::hideBusyIndicators()
{
    for (BusyIndicator *sign : {DXAnimatedGIF5, DXAnimatedGIF2, DXAnimatedGIF1, GIF1, GIF2})
        sign->hide();
}

void frmMain::showMessage(const QString &title, const QString &text, platform::MsgIcon icon)
{
    platform::Platform::messages().show(title, text, icon, platform::MsgButtons::Ok);
}

bool frmMain::readConnection(std::unique_ptr<jobs::ConnectionSettings> *settings)
{
    *settings = std::make_unique<jobs::ConnectionSettings>(Text2->text(), Text3->text());
    if ((*settings)->isValid())
        return true;
    showMessage(QStringLiteral("SSH Login"), (*settings)->error(), platform::MsgIcon::Exclamation);
    return false;
}

void frmMain::cmdAgree_Click()
{
    // Checked before the first step, so a refused job changes nothing.
    std::unique_ptr<jobs::ConnectionSettings> cs;
    if (!readConnection(&cs))
        return;
    if (!optYes->isChecked() && !optNo->isChecked()) {
        showMessage(QStringLiteral("Zorvane"),
                    QStringLiteral("Choose one of the two options first: \"Yes, My apps are "
                                   "symlinked\" or \"No, my apps are NOT symlinked\"."),
                    platform::MsgIcon::Exclamation);
        return;
    }

    setHeightTwips(kJobHeightTwips);
    cmdAgree->setEnabled(false);
    showMessage(QStringLiteral("BEFORE YOU BEGIN!!!"),
                QStringLiteral("PLEASE MAKE SURE: If your iPod is connected to your computer that "
                               "your iTunes is CLOSED. DO NOT plug in your iPod DURING the backup "
                               "process. If you have done all of this, press ''OK''"),
                platform::MsgIcon::Critical);
    GIF1->show();
    Label7->show();

    const QString version = platform::Platform::app().versionText();
    bool started = false;
    // The options are read one after the other: a choice changed while the
    // first script runs starts the other one after it.
    if (optYes->isChecked() && readConnection(&cs)
        && m_launcher->write(jobs::backupScript(true, version, *cs))) {
        started = true;
        m_launcher->runThroughRunner(QStringLiteral("Yes.bat"));
    }
    if (optNo->isChecked() && readConnection(&cs)
        && m_launcher->write(jobs::backupScript(false, version, *cs))) {
        started = true;
        m_launcher->runThroughRunner(QStringLiteral("no.bat"));
    }
    if (!started) {
        // Nothing runs: no busy signs for work that is not happening.
        GIF1->hide();
        Label7->hide();
        cmdAgree->setEnabled(Check1->isChecked());
    }
}

void frmMain::Command5_Click()
{
    std::unique_ptr<jobs::ConnectionSettings> cs;
    if (!readConnection(&cs))
        return;
    QStringList missing;
    for (const QString &folder : {QStringLiteral("Applications"), QStringLiteral("mobile"),
                                  QStringLiteral("root")}) {
        if (!QDir(folder).exists())
            missing.append(QLatin1Char('"') + folder + QLatin1Char('"'));
    }
    if (!missing.isEmpty()) {
        showMessage(QStringLiteral("Nothing to restore"),
                    QStringLiteral("There is no complete backup in the Zorvane folder (%1 missing). "
                                   "Run a backup first; nothing has been sent to your device.")
                        .arg(missing.join(QStringLiteral(", "))),
                    platform::MsgIcon::Exclamation);
        return;
    }

    setHeightTwips(kJobHeightTwips);
    Command5->setEnabled(false);
    GIF2->show();
    Label8->show();
    if (m_launcher->write(jobs::restoreScript(platform::Platform::app().versionText(), *cs))) {
        m_launcher->runThroughRunner(QStringLiteral("PutFilesBack.bat"));
    } else {
        GIF2->hide();
        Label8->hide();
        Command5->setEnabled(Check2->isChecked());
    }
}

void frmMain::Command10_Click()
{
    std::unique_ptr<jobs::ConnectionSettings> cs;
    if (!readConnection(&cs))
        return;
    setHeightTwips(kJobHeightTwips);
    m_console->setText(QStringLiteral("**Farrowmoss's CONSOLE**\r\nGUI by pellridge\r\n"
                                      "Executing SSH on first time run....\r\n"
                                      "Please wait for the command prompt window to close."));
    Timer1->start();
    PopAlert(QStringLiteral("Executing SSH for the First time... Please Wait..."));
    DXAnimatedGIF3->show();

    const jobs::JobScript script = jobs::sshFirstRunScript(*cs);
    if (!m_sshScriptWritten || script.lines() != m_sshScriptLines) {
        if (!m_launcher->write(script))
            return;
        m_sshScriptWritten = true;
        m_sshScriptLines = script.lines();
    }
    m_launcher->startThroughShell(script.fileName(), platform::WindowStyle::NormalFocus);
}

void frmMain::Timer1_Timer()
{
    m_console->setText(QStringLiteral("**Farrowmoss's CONSOLE**\r\nGUI by pellridge\r\n"
                                      "Executing SSH on first time run....\r\n"
                                      "Please wait for the command prompt window to close.\r\n"
                                      "SSH Complete.\r\n"
                                      "You can now run the Backup or Restore options when the "
                                      "command prompt closes!"));
    DXAnimatedGIF3->hide();
    Timer1->stop();
}

void frmMain::Command7_Click()
{
    std::unique_ptr<jobs::ConnectionSettings> cs;
    if (!readConnection(&cs))
        return;
    PopAlert(QStringLiteral("Executing Symlink Applications Process...Please Wait..."));
    setHeightTwips(kJobHeightTwips);
    DXAnimatedGIF1->show();
    if (m_launcher->write(jobs::relocationScript(false, *cs)))
        m_launcher->runThroughRunner(QStringLiteral("apps.bat"));
    else
        DXAnimatedGIF1->hide();
}

void frmMain::Command8_Click()
{
    std::unique_ptr<jobs::ConnectionSettings> cs;
    if (!readConnection(&cs))
        return;
    setHeightTwips(kJobHeightTwips);
    DXAnimatedGIF2->show();
    showMessage(QStringLiteral("Before Symlinking Your Fonts...."),
                QStringLiteral("If you have restored your applications then that auto moves the "
                               "fonts for you, so you do not need to do it again!"),
                platform::MsgIcon::Critical);
    if (m_launcher->write(jobs::relocationScript(true, *cs)))
        m_launcher->runThroughRunner(QStringLiteral("fonts.bat"));
    else
        DXAnimatedGIF2->hide();
}

void frmMain::Command9_Click()
{
    setHeightTwips(kJobHeightTwips);
    showMessage(QStringLiteral("DFU Mode WARNING"),
                QStringLiteral("Please make sure your iPod/iPhone is connected to your computer "
                               "with the USB cable. Also make sure that the iPod/iPhone is on. Do "
                               "not dissconnect your iPod/iPhone until a popup says it is complete"),
                platform::MsgIcon::Information);
    DXAnimatedGIF5->show();
    if (m_launcher->write(jobs::dfuScript()))
        m_launcher->runThroughRunner(QStringLiteral("DFU.bat"));
    else
        DXAnimatedGIF5->hide();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QWidget::closeEvent(event);
}

} // namespace app
