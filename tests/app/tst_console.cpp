#include "support/FakePlatform.h"
#include "support/FolderFixture.h"

#include "app/Console.h"
#include "jobs/JobOutcome.h"
#include "runner/ReadOutput.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextEdit>
#include <QtTest>

namespace {

const QString kFolder = QStringLiteral("/opt/Zorvane Tools");
const QString kStartUp = QStringLiteral("**Farrowmoss's CONSOLE**\r\nGUI by pellridge");
const QString kBanner = QStringLiteral("**Farrowmoss's Output Console**\r\n");

// The Console as rewriting its whole text on every event would keep it: the
// measure the incremental Console is held to.
struct WholeTextConsole {
    QString text;

    void starting(const QString &command) { text = text + command + QStringLiteral("\r\n"); }
    // A form feed anywhere in a chunk acts as a chunk of its own.
    void gotChunk(const QString &chunk)
    {
        QString piece;
        for (QChar c : chunk) {
            if (c != QLatin1Char('\f')) {
                piece += c;
                continue;
            }
            if (!piece.isEmpty())
                gotPiece(piece);
            gotPiece(QStringLiteral("\f"));
            piece.clear();
        }
        if (!piece.isEmpty() || !chunk.contains(QLatin1Char('\f')))
            gotPiece(piece);
    }
    void gotPiece(const QString &chunk)
    {
        if (chunk.size() > 2 && chunk.left(chunk.size() - 2) == kFolder) {
            text = text + QStringLiteral("C:\\\r\n");
            return;
        }
        QString cleaned = chunk;
        cleaned.remove(QLatin1Char('\r'));
        cleaned.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        text = text + cleaned;
        if (chunk == QStringLiteral("\f"))
            text = kBanner;
    }
    void complete()
    {
        text = text.isEmpty() ? QStringLiteral("C:\\> ") : text + QStringLiteral("\r\nC:\\> ");
    }
    void canceled()
    {
        text = text + QStringLiteral("\r\n[**] Process Canceled [**]\r\n\r\nC:\\> ");
    }
};

} // namespace

class tst_console : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void lineBreaksBecomeCrLf_data();
    void lineBreaksBecomeCrLf();
    void crAndLfSplitAcrossChunksGiveOneLineBreak();
    void formFeedAloneStartsTheOutputBanner();
    void formFeedWithinAChunkResetsAsIfAlone_data();
    void formFeedWithinAChunkResetsAsIfAlone();
    void programFolderLineShowsAsDriveRoot_data();
    void programFolderLineShowsAsDriveRoot();
    void firstCommandFollowsTheStartUpTextDirectly();
    void completeOnEmptyConsoleIsThePromptAlone();
    void completeAndCanceledEndTheRun();
    void errorShowsABoxAndChangesNothingElse();
    void boxMatchesWholeTextRewriteForAnyEvents();
    void additionsReachTheBoxWithoutFlushing();
    void floodIsShownAfterTheRunInSlices();
    void lineBreakSplitBetweenSlicesStaysWhole();
    void textPutIntoTheBoxIsTakenOver();
    void endStaysInView();
    void transcriptOfARealRun();
    void outputWithoutEndKeepsTheNewestText();
    void transcriptOnDiskKeepsItsBeginningAndEnd();

private:
    QString boxText() const
    {
        return m_output->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    }

    fake::Services m_fakes{};
    QTextEdit *m_output = nullptr;
    Console *m_console = nullptr;
    int m_hidden = 0;
};

void tst_console::initTestCase()
{
    m_fakes = fake::install();
    m_fakes.app->dir = kFolder;
}

void tst_console::init()
{
    m_output = new QTextEdit;
    m_output->setObjectName(QStringLiteral("Output"));
    m_output->resize(400, 120);
    m_output->show();
    m_console = new Console(m_output);
    m_hidden = 0;
    m_console->setHideBusyIndicators([this] { ++m_hidden; });
    m_fakes.messages->shown.clear();
}

void tst_console::cleanup()
{
    delete m_console;
    delete m_output;
}

void tst_console::cleanupTestCase() { fake::restore(); }

void tst_console::lineBreaksBecomeCrLf_data()
{
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<QString>("appended");
    QTest::newRow("lone LF") << "\n"
                             << "\r\n";
    QTest::newRow("CR LF") << "\r\n"
                           << "\r\n";
    QTest::newRow("lone CR") << "a\rb"
                             << "ab";
    QTest::newRow("mixed") << "one\ntwo\r\nthree\r"
                           << "one\r\ntwo\r\nthree";
    QTest::newRow("empty last chunk") << ""
                                      << "";
}

void tst_console::lineBreaksBecomeCrLf()
{
    QFETCH(QString, chunk);
    QFETCH(QString, appended);
    m_console->setText(QStringLiteral("x"));
    m_console->GotChunk(chunk, chunk.isEmpty());
    QCOMPARE(m_console->text(), QStringLiteral("x") + appended);
    m_console->flush();
    QCOMPARE(boxText(), m_console->text());
}

void tst_console::crAndLfSplitAcrossChunksGiveOneLineBreak()
{
    m_console->setText(QString());
    m_console->GotChunk(QStringLiteral("first\r"), false);
    m_console->flush();
    m_console->GotChunk(QStringLiteral("\nsecond"), false);
    m_console->flush();
    QCOMPARE(m_console->text(), QStringLiteral("first\r\nsecond"));
    QCOMPARE(boxText(), m_console->text());
    QCOMPARE(m_output->document()->blockCount(), 2);
}

void tst_console::formFeedAloneStartsTheOutputBanner()
{
    m_console->setText(kStartUp);
    m_console->Starting(QStringLiteral("apps.bat"));
    m_console->GotChunk(QStringLiteral("\f"), false);
    QCOMPARE(m_console->text(), kBanner);
    m_console->GotChunk(QStringLiteral("Moving Applications\n"), false);
    m_console->flush();
    QCOMPARE(m_console->text(), kBanner + QStringLiteral("Moving Applications\r\n"));
    QCOMPARE(boxText(), m_console->text());
}

// The pipe's reads cut the interpreter's output anywhere: the "Cls" form feed
// and the next echo line often arrive in one chunk.
void tst_console::formFeedWithinAChunkResetsAsIfAlone_data()
{
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<QString>("text");
    QTest::newRow("text before and after") << "abc\fdef" << kBanner + "def";
    QTest::newRow("echo line after") << "\fBacking up\r\n" << kBanner + "Backing up\r\n";
    QTest::newRow("form feed last") << "line\r\n\f" << kBanner;
    QTest::newRow("two form feeds") << "a\fb\fc" << kBanner + "c";
    QTest::newRow("form feeds only") << "\f\f" << kBanner;
    QTest::newRow("folder line after") << "\f" + kFolder + "\r\n" << kBanner + "C:\\\r\n";
    QTest::newRow("line break around") << "a\r\f\nb" << kBanner + "\r\nb";
}

void tst_console::formFeedWithinAChunkResetsAsIfAlone()
{
    QFETCH(QString, chunk);
    QFETCH(QString, text);
    m_console->setText(kStartUp);
    m_console->Starting(QStringLiteral("apps.bat"));
    m_console->GotChunk(chunk, false);
    QCOMPARE(m_console->text(), text);
    m_console->flush();
    QCOMPARE(boxText(), text);
    m_console->GotChunk(QString(), true);
    m_console->Complete();
    QCOMPARE(m_console->text(), text + QStringLiteral("\r\nC:\\> "));
}

void tst_console::programFolderLineShowsAsDriveRoot_data()
{
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<QString>("appended");
    QTest::newRow("folder and CR LF") << kFolder + "\r\n"
                                      << "C:\\\r\n";
    QTest::newRow("folder and any two") << kFolder + ">x"
                                        << "C:\\\r\n";
    QTest::newRow("folder and three") << kFolder + "\r\n\n" << kFolder + "\r\n\r\n";
    QTest::newRow("folder and one") << kFolder + "\n" << kFolder + "\r\n";
    QTest::newRow("other case") << kFolder.toUpper() + "\r\n" << kFolder.toUpper() + "\r\n";
    QTest::newRow("two characters") << "\r\n"
                                    << "\r\n";
}

void tst_console::programFolderLineShowsAsDriveRoot()
{
    QFETCH(QString, chunk);
    QFETCH(QString, appended);
    m_console->setText(QStringLiteral(">"));
    m_console->GotChunk(chunk, false);
    QCOMPARE(m_console->text(), QStringLiteral(">") + appended);
}

void tst_console::firstCommandFollowsTheStartUpTextDirectly()
{
    m_console->setText(kStartUp);
    m_console->Starting(QStringLiteral("Yes.bat"));
    QCOMPARE(m_console->text(), kStartUp + QStringLiteral("Yes.bat\r\n"));
    m_console->flush();
    QCOMPARE(boxText(), m_console->text());
    QCOMPARE(m_output->toPlainText(),
             QStringLiteral("**Farrowmoss's CONSOLE**\nGUI by pellridgeYes.bat\n"));
}

void tst_console::completeOnEmptyConsoleIsThePromptAlone()
{
    m_console->setText(QString());
    m_console->GotChunk(QString(), true);
    m_console->Complete();
    QCOMPARE(m_console->text(), QStringLiteral("C:\\> "));
    QCOMPARE(m_output->toPlainText(), QStringLiteral("C:\\> "));
    QCOMPARE(m_hidden, 1);
}

void tst_console::completeAndCanceledEndTheRun()
{
    m_console->setText(QStringLiteral("out"));
    m_console->Complete();
    QCOMPARE(m_console->text(), QStringLiteral("out\r\nC:\\> "));
    QCOMPARE(boxText(), m_console->text()); // shown at once, no flush needed
    QCOMPARE(m_hidden, 1);

    m_console->Starting(QStringLiteral("fonts.bat"));
    m_console->Canceled();
    QCOMPARE(
        m_console->text(),
        QStringLiteral("out\r\nC:\\> fonts.bat\r\n\r\n[**] Process Canceled [**]\r\n\r\nC:\\> "));
    QCOMPARE(boxText(), m_console->text());
    QCOMPARE(m_hidden, 2);
}

void tst_console::errorShowsABoxAndChangesNothingElse()
{
    m_console->setText(kStartUp);
    m_console->Error(QStringLiteral("Currently processing a command!"), 1201);
    QCOMPARE(m_console->text(), kStartUp);
    QCOMPARE(boxText(), kStartUp);
    QCOMPARE(m_hidden, 0);
    QCOMPARE(m_fakes.messages->shown.size(), 1);
    const fake::ShownBox box = m_fakes.messages->shown.first();
    QCOMPARE(box.title, QStringLiteral("Error"));
    QCOMPARE(box.text,
             QStringLiteral(
                 "Error!\r\nDescription: Currently processing a command!\r\nLastDLLError: 1201"));
    QCOMPARE(box.icon, platform::MsgIcon::Critical);
    QCOMPARE(box.buttons, platform::MsgButtons::Ok);

    m_console->Error(QStringLiteral("CreateProcess failed."), -2);
    QVERIFY(m_fakes.messages->shown.last().text.endsWith(QStringLiteral("LastDLLError: -2")));
}

void tst_console::boxMatchesWholeTextRewriteForAnyEvents()
{
    const QStringList pieces{
        "abc",          "\r", "\n",     "\r\n",   "\f", "x\fy",     kFolder + "\r\n",
        kFolder + "\r", "é€", "line\r", "\nnext", "",   "\n\n\r\r", " "};
    QRandomGenerator random(20260308);
    for (int round = 0; round < 40; ++round) {
        WholeTextConsole expected;
        expected.text = kStartUp;
        m_console->setText(kStartUp);
        for (int step = 0; step < 200; ++step) {
            const int what = random.bounded(100);
            if (what < 80) {
                const QString chunk = pieces[random.bounded(int(pieces.size()))];
                expected.gotChunk(chunk);
                m_console->GotChunk(chunk, false);
            } else if (what < 88) {
                expected.starting(QStringLiteral("Yes.bat"));
                m_console->Starting(QStringLiteral("Yes.bat"));
            } else if (what < 92) {
                expected.complete();
                m_console->Complete();
            } else if (what < 94) {
                expected.canceled();
                m_console->Canceled();
            } else if (what < 95) {
                expected.text = QString();
                m_console->setText(QString());
            } else {
                m_console->flush();
                QCOMPARE(boxText(), m_console->text());
            }
            QCOMPARE(m_console->text(), expected.text);
        }
        m_console->flush();
        QCOMPARE(boxText(), expected.text);
    }
}

void tst_console::additionsReachTheBoxWithoutFlushing()
{
    // Many chunks in a row change the box a few times, not once per chunk, and
    // the box catches up by itself.
    m_console->setText(kStartUp);
    int boxChanges = 0;
    connect(m_output, &QTextEdit::textChanged, this, [&] { ++boxChanges; });
    for (int i = 0; i < 2000; ++i)
        m_console->GotChunk(QStringLiteral("line %1\n").arg(i), false);
    QCOMPARE(boxChanges, 0);
    QTRY_COMPARE(boxText(), m_console->text());
    QVERIFY(boxChanges >= 1 && boxChanges <= 5);
}

void tst_console::floodIsShownAfterTheRunInSlices()
{
    // More output than the box can lay out at once: the transcript is exact at
    // once, the run's end is not held up, and the box catches up by itself
    // while the event loop runs.
    m_console->setText(kStartUp);
    m_console->Starting(QStringLiteral("Yes.bat"));
    QString expected = kStartUp + QStringLiteral("Yes.bat\r\n");
    const QString line =
        QStringLiteral("%1 copied to mobile/Library\n").arg(QString(60, QLatin1Char('f')));
    while (expected.size() < 2 * Console::kShowAtOnceChars) {
        m_console->GotChunk(line, false);
        expected += QString(line).replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    }
    m_console->GotChunk(QString(), true);
    m_console->Complete();
    expected += QStringLiteral("\r\nC:\\> ");
    QCOMPARE(m_console->text(), expected);
    QCOMPARE(m_hidden, 1);
    QVERIFY(!m_console->isShown());
    QTRY_VERIFY(m_console->isShown());
    QCOMPARE(boxText(), expected);
    QCOMPARE(m_output->textCursor().position(), m_output->document()->characterCount() - 1);
}

void tst_console::lineBreakSplitBetweenSlicesStaysWhole()
{
    // Lines longer than one slice of showing, with the CR LF falling on the
    // slice boundary.
    m_console->setText(QString());
    for (int length = 16 * 1024 - 3; length <= 16 * 1024 + 1; ++length)
        m_console->GotChunk(QString(length, QLatin1Char('y')) + QStringLiteral("\n"), false);
    QTRY_VERIFY(m_console->isShown());
    QCOMPARE(boxText(), m_console->text());
    QCOMPARE(m_output->document()->blockCount(), 6);
    QVERIFY(!m_output->toPlainText().contains(QLatin1Char('\r')));
}

void tst_console::textPutIntoTheBoxIsTakenOver()
{
    m_output->setPlainText(QStringLiteral("**Farrowmoss's CONSOLE**\nGUI by pellridge"));
    QCOMPARE(m_console->text(), kStartUp);
    m_console->Starting(QStringLiteral("DFU.bat"));
    m_console->flush();
    QCOMPARE(m_console->text(), kStartUp + QStringLiteral("DFU.bat\r\n"));
    QCOMPARE(boxText(), m_console->text());

    // A console built on a box that already holds text starts from that text.
    Console second(m_output);
    QCOMPARE(second.text(), m_console->text());
}

void tst_console::endStaysInView()
{
    m_console->setText(kStartUp);
    for (int i = 0; i < 300; ++i)
        m_console->GotChunk(QStringLiteral("line %1\n").arg(i), false);
    m_console->Complete();
    QCOMPARE(m_output->textCursor().position(), m_output->document()->characterCount() - 1);
    QVERIFY(!m_output->textCursor().hasSelection());
    QScrollBar *bar = m_output->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());

    // Also after text put in whole.
    m_output->moveCursor(QTextCursor::Start);
    m_console->setText(m_console->text() + QStringLiteral("\r\nmore"));
    QCOMPARE(m_output->textCursor().position(), m_output->document()->characterCount() - 1);
    // The box settles its layout after the text is put in; the view follows.
    QTRY_COMPARE(bar->value(), bar->maximum());
}

void tst_console::transcriptOfARealRun()
{
    qputenv("ComSpec", FAKE_COMSPEC);
    ReadOutput runner;
    m_console->attach(&runner);
    m_console->setText(kStartUp);
    runner.SetCommand(QStringLiteral("echo hi; echo there >&2"));
    runner.ProcessCommand();
    QCOMPARE(m_console->text(),
             kStartUp + QStringLiteral("echo hi; echo there >&2\r\nhi\r\nthere\r\n\r\nC:\\> "));
    QCOMPARE(boxText(), m_console->text());
    QCOMPARE(m_hidden, 1);

    runner.CancelProcess(); // idle: the error goes to a box
    QCOMPARE(m_fakes.messages->shown.size(), 1);
    QVERIFY(m_fakes.messages->shown.first().text.contains(
        QStringLiteral("Not currently processing a command!")));
}

// A device that prints without end: the Console keeps its newest lines, after
// a line saying the rest is left out, and the box shows exactly that.
void tst_console::outputWithoutEndKeepsTheNewestText()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const ScopedCurrentFolder inFolder(folder.path());
    QVERIFY(inFolder.entered());
    m_console->setText(kStartUp);
    m_console->Starting(QStringLiteral("Backup.bat"));
    const QString record = QStringLiteral("%1 | 4 kB | 4.0 kB/s | ETA: 00:00:00 | 100%\n");
    qint64 fed = 0;
    int last = 0;
    for (; fed < 3 * Console::kLargestText; ++last) {
        const QString chunk = record.arg(last, 40, 10, QLatin1Char('0'));
        m_console->GotChunk(chunk, false);
        fed += chunk.size();
        if (last % 25000 == 0)
            QCoreApplication::processEvents(); // the box shows part of it on the way
        QVERIFY(m_console->text().size() <= Console::kLargestText);
    }
    m_console->Complete();
    const QString text = m_console->text();
    const QString leftOut = QStringLiteral("[... earlier output is left out here ...]\r\n");
    QVERIFY(text.startsWith(leftOut));
    QVERIFY(text.size() > Console::kLargestText / 2);
    // Whole lines from the first one kept up to the last one fed, then the prompt.
    QString expected = leftOut;
    for (int i = text.mid(leftOut.size(), 40).toInt(); i < last; ++i)
        expected += QString(record)
                        .arg(i, 40, 10, QLatin1Char('0'))
                        .replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    QCOMPARE(text, expected + QStringLiteral("\r\nC:\\> "));
    m_console->flush();
    QCOMPARE(boxText(), text);
    // The transcript on disk, within its own limit, holds all of it.
    QFile onDisk(jobs::kTranscriptFile);
    QVERIFY(onDisk.open(QIODevice::ReadOnly));
    QCOMPARE(onDisk.size(), QByteArray("Backup.bat\r\n\r\nC:\\> ").size() + fed + last);
    QVERIFY(onDisk.readAll().endsWith(text.right(1000).toUtf8()));
}

// Nor can it fill the disk: the transcript stays within its limit and the
// job's outcome still finds the earliest cause and the verdict at the end.
void tst_console::transcriptOnDiskKeepsItsBeginningAndEnd()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const ScopedCurrentFolder inFolder(folder.path());
    QVERIFY(inFolder.entered());
    constexpr qint64 limit = 4 * 1024 * 1024;
    app::TranscriptFile transcript(limit);
    const QString cause = QStringLiteral("PutFilesBack.bat\r\nAccess denied\r\n");
    const QString records =
        QStringLiteral("Info.plist | 0 kB | 0.4 kB/s | ETA: 00:00:00 | 100%\r\n").repeated(1000);
    const QString verdict = QStringLiteral("Zorvane restore check: OK, every file\r\n");
    transcript.start(cause);
    qint64 fed = cause.size() + verdict.size();
    for (; fed < 10 * limit; fed += records.size()) {
        transcript.add(records);
        QVERIFY(QFileInfo(jobs::kTranscriptFile).size() <= limit);
    }
    transcript.add(verdict);
    QVERIFY(QFileInfo(jobs::kTranscriptFile).size() <= limit);
    const auto notes = [](const QByteArray &text) {
        QFile file(jobs::kOutcomeFile);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    };
    QVERIFY(notes("job restore\r\nend\r\n"));
    const auto done = jobs::JobOutcome::read(jobs::JobOutcome::Kind::Restore);
    QVERIFY(done.succeeded);
    QVERIFY(done.transcript.startsWith(cause) && done.transcript.endsWith(verdict));
    const QRegularExpression leftOut(QStringLiteral(
        "\r\n\\[\\.\\.\\. (\\d+) bytes of the job's output are left out here \\.\\.\\.\\]\r\n"));
    const auto match = leftOut.match(done.transcript);
    QVERIFY(match.hasMatch());
    QCOMPARE(done.transcript.count(QStringLiteral("left out here")), 1);
    // What is kept and what is said to be left out add up to all that was fed.
    QCOMPARE(done.transcript.size() - match.capturedLength() + match.captured(1).toLongLong(), fed);
    QVERIFY(notes("job restore\r\nfailed sending mobile to the device\r\nend\r\n"));
    const auto failed = jobs::JobOutcome::read(jobs::JobOutcome::Kind::Restore);
    QVERIFY2(failed.text.contains(QStringLiteral("refused the password")), qPrintable(failed.text));
}

QTEST_MAIN(tst_console)
#include "tst_console.moc"
