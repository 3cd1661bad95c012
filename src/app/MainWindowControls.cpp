#include "app/MainWindowControls.h"
#include "app/BusyIndicator.h"
#include "app/InstructionDocuments.h"
#include "app/ReadOutputPicture.h"
#include "platform/Platform.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QComboBox>
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

// A job's progress: a bar and one line, hidden until the job starts.
QProgressBar *progressBar(QWidget *parent, const char *name, int l, int t, int w, int h)
{
    auto *bar = place(new QProgressBar(parent), name, l, t, w, h);
    bar->setRange(0, 100);
    bar->hide();
    return bar;
}

QLabel *progressLine(QWidget *parent, const char *name, int l, int t, int w, int h)
{
    auto *line = place(new QLabel(parent), name, l, t, w, h);
    line->setWordWrap(true);
    line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // It may lie over the empty end of a wider control (an option's row): the
    // clicks and the hover help stay that control's.
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    line->hide();
    return line;
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

MainWindowControls buildMainWindowControls(QWidget *window)
{
    MainWindowControls c{};
    c.Command2 = button(window, "Command2", QStringLiteral("Main Screen"), 120, 0, 975, 495);
    c.Command1 = button(window, "Command1", QStringLiteral("Begin Backup"), 1200, 0, 975, 495);
    c.Command4 = button(window, "Command4", QStringLiteral("Begin Restore"), 2280, 0, 975, 495);
    c.Command3 = button(window, "Command3", QStringLiteral("About"), 3360, 0, 975, 495);
    c.Command6 = button(window, "Command6", QStringLiteral("Misc Utilities"), 4440, 0, 975, 495);

    // SSH Login: the Connection settings.
    c.Frame6 = frame(window, "Frame6", QStringLiteral("SSH Login"), 0, 480, 5535, 975);
    c.Label2 = label(c.Frame6, "Label2", QStringLiteral("IP Address:"), 240, 240, 975, 255);
    c.Text2 =
        place(new QLineEdit(QStringLiteral("192.168."), c.Frame6), "Text2", 1680, 240, 3735, 285);
    c.Label4 = label(c.Frame6, "Label4", QStringLiteral("SSH Password:"), 240, 600, 1215, 255);
    c.Text3 =
        place(new QLineEdit(QStringLiteral("fennel"), c.Frame6), "Text3", 1680, 600, 3735, 285);
    c.Text3->setToolTip(QStringLiteral("By default: this is \"fennel\" without quotes!"));

    // Main Screen pane.
    c.Frame1 = frame(window, "Frame1", QStringLiteral("Welcome to Zorvane"), 0, 1440, 5535, 3855);
    c.Image2 = place(new QLabel(c.Frame1), "Image2", 120, 240, 1395, 1335);
    c.Image2->setScaledContents(true);
    const QPixmap welcome(platform::Platform::app().folder() + QStringLiteral("/welcome.jpg"));
    if (!welcome.isNull())
        c.Image2->setPixmap(welcome);
    c.Label6 =
        label(c.Frame1, "Label6",
              QStringLiteral("Welcome to Zorvane within a few clicks, you can easily backup  "
                             "your iPod Touch/iPhone Applications! Then, with another click "
                             "of a button, restore all of your apps. Now instead of wasting "
                             "all of that time reinstalling your apps, you can easily backup "
                             "and restore!"),
              1560, 240, 3855, 1575);
    c.Frame7 = frame(c.Frame1, "Frame7", QString(), 120, 1920, 5295, 1815);
    c.cmdUpdate =
        button(c.Frame7, "cmdUpdate", QStringLiteral("Check for Update"), 120, 240, 1575, 375);
    c.Label13 = label(c.Frame7, "Label13", QStringLiteral("Progress:"), 1920, 300, 855, 255);
    c.lblPrcnt = label(c.Frame7, "lblPrcnt", QStringLiteral("%"), 2820, 300, 735, 255);
    c.ProgressBar1 = place(new QProgressBar(c.Frame7), "ProgressBar1", 120, 720, 5055, 255);
    c.ProgressBar1->setRange(0, 100);
    c.ProgressBar1->setValue(0);
    c.Label10 = label(c.Frame7, "Label10", QStringLiteral("Status:"), 120, 1080, 855, 255);
    c.lblAction = label(c.Frame7, "lblAction", QStringLiteral("Authenticating, please wait"), 1020,
                        1080, 4155, 255);
    c.Label5 = label(c.Frame7, "Label5", QStringLiteral("Total Size:"), 120, 1380, 1095, 255);
    c.lblSize = label(c.Frame7, "lblSize", QStringLiteral("Size"), 1260, 1380, 1335, 255);
    c.Label1 =
        label(c.Frame7, "Label1", QStringLiteral("Remaining Download:"), 2640, 1380, 1695, 255);
    c.lblRemaining =
        label(c.Frame7, "lblRemaining", QStringLiteral("Remaining"), 4380, 1380, 855, 255);
    for (QWidget *w :
         std::initializer_list<QWidget *>{c.ProgressBar1, c.Label13, c.Label10, c.Label5, c.Label1,
                                          c.lblSize, c.lblAction, c.lblRemaining, c.lblPrcnt})
        w->hide();
    for (QLabel *l : {c.Label13, c.Label10, c.Label5, c.Label1, c.lblSize, c.lblAction,
                      c.lblRemaining, c.lblPrcnt}) {
        QFont bold = l->font();
        bold.setBold(true);
        l->setFont(bold);
    }
    // Backup pane.
    c.Frame2 = frame(window, "Frame2", QStringLiteral("Start Zorvane"), 0, 1440, 5535, 3855);
    c.RichTextBox2 = document(c.Frame2, "RichTextBox2", backupInstructions(), 120, 240, 5295, 1335);
    c.optYes = place(new QRadioButton(QStringLiteral("Yes, My apps are symlinked"), c.Frame2),
                     "optYes", 120, 1680, 3615, 255);
    c.optNo = place(new QRadioButton(QStringLiteral("No, my apps are NOT symlinked"), c.Frame2),
                    "optNo", 120, 1980, 3615, 255);
    c.Check1 = place(new QCheckBox(QStringLiteral("I agree to the terms above"), c.Frame2),
                     "Check1", 120, 2340, 2775, 255);
    c.chkQuickRepeat = place(
        new QCheckBox(QStringLiteral("Copy only what changed since the last backup"), c.Frame2),
        "chkQuickRepeat", 120, 2655, 5295, 255);
    c.cmdAgree = button(c.Frame2, "cmdAgree", QStringLiteral("Continue"), 4080, 2280, 1335, 375);
    c.cmdAgree->setEnabled(false);
    c.GIF1 = busy(c.Frame2, "GIF1", 3600, 2280, 375, 375);
    c.Label7 = label(c.Frame2, "Label7", QStringLiteral("Running Zorvane Please Wait...."), 120,
                     2700, 5295, 255);
    c.Label7->hide();
    // The bar beside the busy caption; the line, in up to three rows, right of
    // the options' captions and above the busy sign.
    c.prgBackup = progressBar(c.Frame2, "prgBackup", 2760, 2730, 2655, 195);
    c.lblBackupProgress = progressLine(c.Frame2, "lblBackupProgress", 2550, 1620, 2865, 615);
    c.Label11 = label(c.Frame2, "Label11", QStringLiteral("Mouse over items for more information"),
                      120, 3000, 5295, 735);
    c.Label11->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    // Restore pane.
    c.Frame4 = frame(window, "Frame4", QStringLiteral("Begin Restore"), 0, 1440, 5535, 3855);
    c.Label12 = label(c.Frame4, "Label12", QStringLiteral("YOU MUST READ THIS BEFORE CONTINUING:"),
                      120, 240, 5175, 255);
    c.RichTextBox1 =
        document(c.Frame4, "RichTextBox1", restoreInstructions(), 120, 480, 5175, 1455);
    c.Check2 = place(new QCheckBox(QStringLiteral("I agree to the terms above"), c.Frame4),
                     "Check2", 120, 2160, 2775, 255);
    c.Command5 = button(c.Frame4, "Command5", QStringLiteral("Continue"), 4080, 2100, 1335, 375);
    c.Command5->setEnabled(false);
    c.GIF2 = busy(c.Frame4, "GIF2", 3600, 2100, 375, 375);
    c.Label8 = label(c.Frame4, "Label8", QStringLiteral("Putting Apps Back. Please Wait...."), 120,
                     2640, 5175, 255);
    c.Label8->hide();
    c.prgRestore = progressBar(c.Frame4, "prgRestore", 2760, 2670, 2535, 195);
    c.lblRestoreProgress = progressLine(c.Frame4, "lblRestoreProgress", 120, 2925, 5175, 285);
    // In the band the busy caption and the progress take while a job runs;
    // hidden until older backups are kept.
    c.cboGeneration = place(new QComboBox(c.Frame4), "cboGeneration", 120, 2505, 3840, 300);
    c.cboGeneration->hide();
    c.cmdShowGeneration = button(c.Frame4, "cmdShowGeneration",
                                 QStringLiteral("Show in file manager"), 4020, 2490, 1395, 330);
    c.cmdShowGeneration->hide();
    c.Label15 = label(c.Frame4, "Label15", QStringLiteral("Mouse over items for more information"),
                      120, 3240, 5295, 495);
    c.Label15->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    c.Frame4->hide();

    // Utilities pane.
    c.Frame5 = frame(window, "Frame5", QStringLiteral("Misc Utilities"), 0, 1440, 5535, 3855);
    c.Command10 =
        button(c.Frame5, "Command10", QStringLiteral("Run SSH Fingerprint"), 600, 840, 4335, 255);
    c.Command7 = button(c.Frame5, "Command7", QStringLiteral("Symlink my Applications"), 600, 1200,
                        4335, 255);
    c.Command8 =
        button(c.Frame5, "Command8", QStringLiteral("Symlink my Fonts"), 600, 1560, 4335, 255);
    c.Command9 =
        button(c.Frame5, "Command9", QStringLiteral("Force DFU Mode"), 600, 1920, 4335, 255);
    c.DXAnimatedGIF3 = busy(c.Frame5, "DXAnimatedGIF3", 5040, 840, 255, 255);
    c.DXAnimatedGIF1 = busy(c.Frame5, "DXAnimatedGIF1", 5040, 1200, 255, 255);
    c.DXAnimatedGIF2 = busy(c.Frame5, "DXAnimatedGIF2", 5040, 1560, 255, 255);
    c.DXAnimatedGIF5 = busy(c.Frame5, "DXAnimatedGIF5", 5040, 1920, 255, 255);
    c.Label9 = label(c.Frame5, "Label9",
                     QStringLiteral("Move your mouse over something for more information"), 240,
                     2280, 5055, 1455);
    c.Label9->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    c.Timer1 = new QTimer(window);
    c.Timer1->setObjectName(QStringLiteral("Timer1"));
    c.Timer1->setInterval(7000);
    c.Frame5->hide();

    c.Label3 = place(new QLabel(window), "Label3", 0, 5280, 5535, 255);
    c.Label3->setText(
        QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>"
                       "<td align=\"left\">Zorvane by Farrowmoss</td>"
                       "<td align=\"right\">GUI by pellridge</td></tr></table>"));

    c.Output = place(new QTextEdit(window), "Output", 0, 5520, 5655, 2775);
    c.Output->setReadOnly(true);

    // The command runner's place: under the Console, invisible while the program runs.
    c.ReadOutput1Picture = new ReadOutputPicture(window);
    c.ReadOutput1Picture->setObjectName(QStringLiteral("ReadOutput1Picture"));
    c.ReadOutput1Picture->move(platform::twipsToPixels(0), platform::twipsToPixels(5520));
    c.ReadOutput1Picture->hide();
    return c;
}

} // namespace app
