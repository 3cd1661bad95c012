// Every caption of the main window, the About window and the alerts lies whole
// within its control at the forms' twips sizes, in the face that stands in for
// "LucidaMAC"; the main window's title while a job runs, and the title and
// text of each box it opens when it refuses a job, lie whole in the window or
// box; and the main window keeps its pixels.
//
// The pixel test compares the never-shown main window, rendered as it starts,
// with tests/app/reference/main_window.png, pixel for pixel. After a deliberate
// change of the window's look, run this test once with
// ZORVANE_UPDATE_REFERENCE=1 in the environment: it writes the new reference
// into the source tree (and fails, so that the run is not taken as a pass);
// look at the picture before committing it.
//
// CTest runs this suite on the offscreen platform and, where xvfb-run is
// installed, once more under a virtual X server.
#include "about/AboutLinks.h"
#include "about/frmAbout.h"
#include "alert/frmAlert.h"
#include "app/frmMain.h"
#include "jobs/JobTable.h"
#include "jobs/ProgressText.h"
#include "jobs/SshFirstRunOutcome.h"
#include "platform/desktop/CaptionFont.h"
#include "platform/desktop/DesktopServices.h"
#include "support/CaptionFit.h"
#include "support/SuiteFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QtTest>
#include <memory>

using app::frmMain;

namespace {

QList<alert::frmAlert *> openAlerts()
{
    QList<alert::frmAlert *> alerts;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *a = qobject_cast<alert::frmAlert *>(w))
            alerts.append(a);
    }
    return alerts;
}

// The part of its parent a control draws in: a label's text as the label lays
// it out, an option's or check box's indicator and caption, all of any other
// control. A label or option may be wider than what it draws, and another
// control may lie over its empty end.
QRect drawnExtent(const QWidget *control)
{
    if (auto *label = qobject_cast<const QLabel *>(control)) {
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect text =
            label->fontMetrics().boundingRect(label->contentsRect(), flags, label->text());
        return text.translated(label->pos());
    }
    auto *button = qobject_cast<const QAbstractButton *>(control);
    const bool radio = qobject_cast<const QRadioButton *>(control) != nullptr;
    if (button && (radio || qobject_cast<const QCheckBox *>(control))) {
        QStyleOptionButton opt;
        opt.initFrom(button);
        opt.text = button->text();
        const QStyle *style = button->style();
        const QRect indicator = style->subElementRect(
            radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &opt, button);
        const QRect contents = style->subElementRect(
            radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &opt, button);
        const QRect text = button->fontMetrics().boundingRect(
            contents, int(Qt::AlignLeft | Qt::AlignVCenter), button->text());
        return indicator.united(text).translated(button->pos());
    }
    return control->geometry();
}

} // namespace

class tst_captions : public QObject {
    Q_OBJECT

public:
    static void initMain() { SuiteFixture::prepareProcess(); }

private slots:
    void init()
    {
        m_fixture = std::make_unique<SuiteFixture>();
        QVERIFY2(m_fixture->isValid(), qPrintable(m_fixture->error()));
    }
    // Closes the alerts a test left open and puts ComSpec back.
    void cleanup() { m_fixture.reset(); }

    void windowsUseTheInstalledStandIn()
    {
        QVERIFY2(platform::CaptionFont::isInstalled(),
                 "scripts/install-deps installs fonts-liberation");
        frmMain w;
        QCOMPARE(QFontInfo(w.font()).family(), platform::CaptionFont::family());
        // 8.25 points at the 96 dpi of 15 twips per pixel.
        QCOMPARE(QFontInfo(w.font()).pixelSize(), 11);
        const QLabel *message = openAlerts().first()->findChild<QLabel *>("lblAlert");
        QCOMPARE(QFontInfo(message->font()).family(), platform::CaptionFont::family());

        about::frmAbout about{about::AboutLinks::standard()};
        const QFont title = about.findChild<QLabel *>("Label1")->font();
        QCOMPARE(QFontInfo(title).family(), platform::CaptionFont::family());
        QCOMPARE(QFontInfo(title).pixelSize(), 13);
        QVERIFY(QFontInfo(title).bold());
    }

    void mainWindowCaptionsFit()
    {
        frmMain w;
        w.show();
        const QStringList overflows = captionfit::overflowsWithin(&w);
        QVERIFY2(overflows.isEmpty(), qPrintable(overflows.join(QLatin1Char('\n'))));
    }

    // The quick repeat's box in its row of the Backup pane: its caption whole
    // within it, and at rest nothing else drawn over any of it.
    void quickRepeatBoxFitsItsRow()
    {
        frmMain w;
        w.show();
        w.findChild<QPushButton *>("Command1")->click();
        auto *box = w.findChild<QCheckBox *>("chkQuickRepeat");
        QVERIFY(box && box->isVisible() && !box->isChecked());
        QCOMPARE(box->text(), QStringLiteral("Copy only what changed since the last backup"));
        QCOMPARE(captionfit::overflow(box), QString());
        const QRect drawn = drawnExtent(box);
        QVERIFY(box->geometry().contains(drawn));
        QVERIFY(box->parentWidget()->rect().contains(box->geometry()));
        for (QWidget *other : box->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (other != box && other->isVisible())
                QVERIFY2(!drawnExtent(other).intersects(drawn), qPrintable(other->objectName()));
        }
    }

    void helpLinesFitEveryHelpText()
    {
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QList<QLabel *> helpLines{w.findChild<QLabel *>("Label11"),
                                        w.findChild<QLabel *>("Label15"),
                                        w.findChild<QLabel *>("Label9")};
        QStringList overflows;
        int textsSeen = 0;
        QString previous;
        for (const char *paneButton : {"Command1", "Command4", "Command6"}) {
            w.findChild<QPushButton *>(paneButton)->click();
            for (QWidget *control : w.findChildren<QWidget *>()) {
                if (!control->hasMouseTracking() || !control->isVisible()
                    || qobject_cast<QLabel *>(control) || qobject_cast<QGroupBox *>(control))
                    continue;
                // Delivered at once: on an X server a pointer warp's motion
                // event arrives later, after the help lines were read.
                const QPoint centre = control->rect().center();
                QMouseEvent move(QEvent::MouseMove, centre, control->mapToGlobal(centre),
                                 Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(control, &move);
                for (QLabel *line : helpLines) {
                    const QString overflow = captionfit::overflow(line);
                    if (!overflow.isEmpty() && !overflows.contains(overflow))
                        overflows.append(overflow);
                }
                const QString shown =
                    helpLines.at(0)->text() + helpLines.at(1)->text() + helpLines.at(2)->text();
                textsSeen += shown != previous;
                previous = shown;
            }
        }
        // Every explained control changed some help line.
        QVERIFY2(textsSeen >= 12, qPrintable(QString::number(textsSeen)));
        QVERIFY2(overflows.isEmpty(), qPrintable(overflows.join(QLatin1Char('\n'))));
    }

    void aboutCaptionsFit()
    {
        about::frmAbout about{about::AboutLinks::standard()};
        about.show();
        const QStringList overflows = captionfit::overflowsWithin(&about);
        QVERIFY2(overflows.isEmpty(), qPrintable(overflows.join(QLatin1Char('\n'))));
    }

    void everyAlertMessageFits()
    {
        // The welcome alert, then those of the SSH first run and the
        // Applications relocation; /bin/true stands in for the interpreter.
        qputenv("ComSpec", "/bin/true");
        frmMain w;
        w.findChild<QLineEdit *>("Text2")->setText(QStringLiteral("127.0.0.1"));
        w.findChild<QPushButton *>("Command10")->click();
        w.findChild<QPushButton *>("Command7")->click();
        const QList<alert::frmAlert *> alerts = openAlerts();
        QCOMPARE(alerts.size(), 3);
        for (alert::frmAlert *a : alerts) {
            const QString overflow = captionfit::overflow(a->findChild<QLabel *>("lblAlert"));
            QVERIFY2(overflow.isEmpty(), qPrintable(overflow));
        }
        // The SSH first run's result, when another job holds the Console.
        using jobs::SshFirstRunOutcome;
        for (SshFirstRunOutcome outcome :
             {SshFirstRunOutcome::KeyStored, SshFirstRunOutcome::KeyStoredCopyFailed,
              SshFirstRunOutcome::KeyDeclined, SshFirstRunOutcome::KeyChangedDeclined,
              SshFirstRunOutcome::NotConnected, SshFirstRunOutcome::NoAnswer,
              SshFirstRunOutcome::NotStarted}) {
            auto *result = new alert::frmAlert;
            result->DisplayAlert(jobs::sshFirstRunAlertText(outcome), 3000);
            const QString overflow =
                captionfit::overflow(result->findChild<QLabel *>("lblAlert"));
            QVERIFY2(overflow.isEmpty(), qPrintable(overflow));
        }
    }

    // While a backup or restore runs, its pane shows the busy sign and caption,
    // the progress bar and the progress line. With the longest lines the job
    // shows, the line fits its control and neither progress control lies over
    // what another visible control of the pane draws.
    void progressControlsFitTheirPanes()
    {
        using jobs::JobProgress;
        JobProgress::Figures f;
        f.totalsKnown = true;
        f.files = f.totalFiles = 19213;
        f.bytes = f.totalBytes = 1083 * 1000 * 1000;
        f.percent = 100;
        QList<JobProgress::Figures> longest;
        for (const JobProgress::Stage stage :
             {JobProgress::Stage::Copying, JobProgress::Stage::Checking, JobProgress::Stage::Passed,
              JobProgress::Stage::Failed, JobProgress::Stage::Cut}) {
            f.stage = stage;
            f.secondsLeft = 59 * 60;
            longest.append(f);
            f.secondsLeft = 2 * 3600 + 59 * 60;
            longest.append(f);
        }
        // A restore's check before sending, and its refusal.
        f.stage = JobProgress::Stage::Verifying;
        f.checkedFiles = f.checkFiles = f.totalFiles;
        f.checkedBytes = f.checkBytes = f.totalBytes;
        longest.append(f);
        f.stage = JobProgress::Stage::Failed;
        f.notSent = true;
        longest.append(f);
        f.notSent = false;
        f.stage = JobProgress::Stage::Copying;
        f.totalsKnown = false;
        longest.append(f);
        f.stage = JobProgress::Stage::Paused;
        longest.append(f);
        f.totalsFollow = true; // only a backup's listing comes after its applications
        longest.append(f);
        f.quietSeconds = 99999; // the device has sent nothing for a while
        longest.append(f);

        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        struct Pane {
            const char *button, *frame, *sign, *caption, *bar, *line;
            bool backup;
        };
        for (const Pane &p :
             {Pane{"Command1", "Frame2", "GIF1", "Label7", "prgBackup", "lblBackupProgress", true},
              Pane{"Command4", "Frame4", "GIF2", "Label8", "prgRestore", "lblRestoreProgress",
                   false}}) {
            w.findChild<QPushButton *>(p.button)->click();
            QWidget *frame = w.findChild<QWidget *>(p.frame);
            auto *bar = frame->findChild<QProgressBar *>(p.bar);
            auto *line = frame->findChild<QLabel *>(p.line);
            QVERIFY(frame->isVisible() && bar && line);
            for (const char *shown : {p.sign, p.caption, p.bar, p.line})
                frame->findChild<QWidget *>(shown)->show();
            // As the job does: the box whose row the caption and bar take goes.
            const jobs::JobDescription &job =
                jobs::jobDescription(p.backup ? jobs::Job::Backup : jobs::Job::Restore);
            if (job.repeatChoice)
                frame->findChild<QWidget *>(jobs::controlName(*job.repeatChoice))->hide();
            bar->setValue(100);
            for (const JobProgress::Figures &figures : std::as_const(longest)) {
                if (figures.totalsFollow && !p.backup)
                    continue;
                line->setText(jobs::progresstext::line(figures));
                const QString overflow = captionfit::overflow(line);
                QVERIFY2(overflow.isEmpty(), qPrintable(overflow));
                for (QWidget *progress :
                     {static_cast<QWidget *>(bar), static_cast<QWidget *>(line)}) {
                    for (QWidget *other :
                         frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                        if (other == progress || !other->isVisible())
                            continue;
                        const QRect a = drawnExtent(progress), b = drawnExtent(other);
                        QVERIFY2(!a.intersects(b),
                                 qPrintable(QStringLiteral("%1 over %2 with \"%3\"")
                                                .arg(progress->objectName(), other->objectName(),
                                                     line->text())));
                    }
                }
            }
        }
    }

    // The choice of the backup to restore lies in the band the busy caption
    // and the progress take while a job runs, over no other control, and
    // makes way for them; its entries and its button's caption fit.
    void restoreChoiceFitsItsBand()
    {
        const auto write = [](const QString &name, const QByteArray &text) {
            QFile file(name);
            return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
        };
        // Another device's older backup of a full device, kept beside the newest.
        const QString older = QStringLiteral("Generations/2026-12-10_140500/");
        QVERIFY(QDir().mkpath(older + QStringLiteral("root/Library/Zorvane")));
        QVERIFY(write(older + QStringLiteral("generation.txt"),
                      "# Zorvane generation 1\nmade 1765375500\nfiles 19213\nbytes "
                      "1083000000\ndevice hostkey ssh-ed25519 0123456789abcdef0123456789abcdef\n"));
        QVERIFY(write(older + QStringLiteral("root/Library/Zorvane/device-name.txt"),
                      "name Kims-iPhone\n"));
        // And one of this device, under the longest name the list shows whole.
        const QString named = QStringLiteral("Generations/2026-12-11_140500/");
        QVERIFY(QDir().mkpath(named + QStringLiteral("root/Library/Zorvane")));
        QVERIFY(write(named + QStringLiteral("generation.txt"),
                      "# Zorvane generation 1\nmade 1765461900\nfiles 19213\nbytes "
                      "1083000000\ndevice hostkey ssh-ed25519 ffffffffffffffffffffffffffffffff\n"));
        QVERIFY(write(named + QStringLiteral("root/Library/Zorvane/device-name.txt"),
                      "name WWWWWWWWWWWWWWWWWWWW\n"));
        QVERIFY(write(QStringLiteral("BackupDevice.txt"),
                      "hostkey ssh-ed25519 ffffffffffffffffffffffffffffffff\n"));
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.findChild<QPushButton *>("Command4")->click();
        QWidget *frame = w.findChild<QWidget *>("Frame4");
        auto *list = frame->findChild<QComboBox *>("cboGeneration");
        auto *show = frame->findChild<QPushButton *>("cmdShowGeneration");
        QVERIFY(list->isVisible() && show->isVisible());
        QCOMPARE(list->count(), 3);
        QVERIFY2(list->itemText(2).contains(QStringLiteral(", another device, 19213 files, 1083 MB"))
                     && list->itemData(2, Qt::ToolTipRole)
                            .toString()
                            .contains(QStringLiteral("another device: \"Kims-iPhone\"")),
                 qPrintable(list->itemText(2)));
        const QString overflow = captionfit::overflow(show);
        QVERIFY2(overflow.isEmpty(), qPrintable(overflow));
        QStyleOptionComboBox opt;
        opt.initFrom(list);
        const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                          QStyle::SC_ComboBoxEditField, list);
        // Every entry lies whole in the box; only a name too long for it gives way.
        for (int i = 0; i < list->count(); ++i) {
            const QString text = list->itemText(i);
            const int wide = list->fontMetrics().horizontalAdvance(text);
            QVERIFY2(wide <= field.width() && text.endsWith(QStringLiteral(" files, 1083 MB"))
                         == (i > 0),
                     qPrintable(QStringLiteral("\"%1\" is %2 px, the box shows %3")
                                    .arg(text)
                                    .arg(wide)
                                    .arg(field.width())));
            QCOMPARE(text.contains(QChar(0x2026)), text.contains(QLatin1Char('W')));
        }
        QCOMPARE(list->itemText(2), list->itemData(2, Qt::ToolTipRole)
                                        .toString()
                                        .replace(QStringLiteral("another device: \"Kims-iPhone\", "
                                                                "host key ssh-ed25519 "
                                                                "0123456789abcdef"),
                                                 QStringLiteral("another device")));
        for (QWidget *chooser : {static_cast<QWidget *>(list), static_cast<QWidget *>(show)}) {
            for (QWidget *other : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (other == list || other == show || !other->isVisible())
                    continue;
                QVERIFY2(!drawnExtent(chooser).intersects(drawnExtent(other)),
                         qPrintable(chooser->objectName() + QStringLiteral(" over ")
                                    + other->objectName()));
            }
        }
        for (const char *busy : {"Label8", "lblRestoreProgress"}) {
            frame->findChild<QLabel *>(busy)->show();
            QVERIFY2(!list->isVisible() && !show->isVisible(), busy);
            frame->findChild<QLabel *>(busy)->hide();
            QVERIFY(list->isVisible() && show->isVisible());
        }
    }

    void titlesFitTheirTitleBars()
    {
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QStringList overflows;
        const auto titleFits = [&overflows](const QWidget *window) {
            const QString overflow = captionfit::titleOverflow(window);
            if (!overflow.isEmpty())
                overflows.append(overflow);
        };
        titleFits(&w);
        // The longest titles a backup or a restore gives the window.
        const QString start = w.windowTitle();
        using jobs::JobProgress;
        JobProgress::Figures f;
        f.totalsKnown = true;
        f.percent = 100;
        for (const JobProgress::Kind kind :
             {JobProgress::Kind::Backup, JobProgress::Kind::Restore}) {
            for (const JobProgress::Stage stage :
                 {JobProgress::Stage::Copying, JobProgress::Stage::Failed,
                  JobProgress::Stage::Cut}) {
                f.stage = stage;
                w.setWindowTitle(jobs::progresstext::windowTitle(start, kind, f));
                QVERIFY(w.windowTitle() != start);
                titleFits(&w);
            }
        }
        w.setWindowTitle(start);

        // The jobs it refuses: no IP address, no option chosen, nothing to
        // restore, no terminal for the SSH first run.
        fake::Services &fakes = m_fixture->fakes();
        fakes.shell->consoleWindow = false;
        auto *address = w.findChild<QLineEdit *>("Text2");
        address->clear();
        w.findChild<QPushButton *>("Command10")->click();
        address->setText(QStringLiteral("127.0.0.1"));
        w.findChild<QPushButton *>("Command10")->click();
        w.findChild<QPushButton *>("Command1")->click();
        w.findChild<QCheckBox *>("Check1")->setChecked(true);
        w.findChild<QPushButton *>("cmdAgree")->click();
        w.findChild<QPushButton *>("Command4")->click();
        w.findChild<QCheckBox *>("Check2")->setChecked(true);
        w.findChild<QPushButton *>("Command5")->click();
        QStringList titles;
        for (const fake::ShownBox &shown : std::as_const(fakes.messages->shown)) {
            titles.append(shown.title);
            const std::unique_ptr<QMessageBox> box(platform::QtMessageBoxes::create(
                shown.title, shown.text, shown.icon, shown.buttons));
            box->show();
            QVERIFY(QTest::qWaitForWindowExposed(box.get()));
            titleFits(box.get());
            overflows.append(captionfit::overflowsWithin(box.get()));
        }
        for (const char *title :
             {"SSH Login", "No terminal window", "Zorvane", "Nothing to restore"})
            QVERIFY2(titles.contains(QLatin1String(title)), qPrintable(titles.join(", ")));
        QVERIFY2(overflows.isEmpty(), qPrintable(overflows.join(QLatin1Char('\n'))));
    }

    void mainWindowKeepsItsPixels()
    {
        frmMain w;
        const QImage shot = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString reference = QStringLiteral(ZORVANE_REFERENCE_DIR "/main_window.png");
        if (qEnvironmentVariableIsSet("ZORVANE_UPDATE_REFERENCE")) {
            QVERIFY(shot.save(reference));
            QFAIL("reference written; look at it, then run again without ZORVANE_UPDATE_REFERENCE");
        }
        const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!expected.isNull(), qPrintable(reference));
        QCOMPARE(shot.size(), expected.size());
        int differing = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x)
                differing += shot.pixel(x, y) != expected.pixel(x, y);
        }
        if (differing != 0)
            shot.save(QDir::temp().filePath(QStringLiteral("main_window_actual.png")));
        QCOMPARE(differing, 0);
    }

private:
    std::unique_ptr<SuiteFixture> m_fixture;
};

QTEST_MAIN(tst_captions)
#include "tst_captions.moc"
