#include "ZcmdHarness.h"
#include "jobs/JobScript.h"
#include "platform/CompanionLinks.h"
#include "platform/CoreServices.h"
#include "platform/LeftOverScripts.h"
#include "platform/WorkFolder.h"
#include "support/FakePlatform.h"
#include "support/FolderFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using platform::WorkFolder;

namespace {

int modeOf(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Gives path an access list, entries given as kind, rights, id in turn, in
// the kernel's binary form, as setfacl would.
bool setAccessList(const QString &path, const char *attribute, const QList<uint> &entries)
{
    QByteArray list;
    QDataStream out(&list, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(2);
    for (qsizetype i = 0; i + 2 < entries.size(); i += 3)
        out << quint16(entries[i]) << quint16(entries[i + 1]) << quint32(entries[i + 2]);
    const QByteArray name = QFile::encodeName(path);
    return ::setxattr(name.constData(), attribute, list.constData(), size_t(list.size()), 0) == 0;
}

} // namespace

// Where the program works: its own folder when it may write there, otherwise a
// folder of the user's own, made private, with the program's files linked in.
class tst_work_folder : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        m_program = m_root->filePath(QStringLiteral("program"));
        m_home = m_root->filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(m_program) && QDir().mkpath(m_home));
        // The program's folder as installed: its programs, companion files and
        // a stray job script that must never be linked.
        for (const char *name : {"Zorvane", "zcmd", "cp", "move.sh", "loading.gif", "Yes.bat"})
            QVERIFY(writeFile(m_program + QLatin1Char('/') + QLatin1String(name), name));
        m_variables = std::make_unique<ScopedVariables>();
        m_variables->set("HOME", m_home.toLocal8Bit());
        m_variables->set("TMPDIR", m_root->path().toLocal8Bit());
        m_variables->unset("XDG_DATA_HOME");
        m_fakes = fake::install();
        m_before = QDir::currentPath();
    }

    void cleanup()
    {
        QDir::setCurrent(m_before);
        m_variables.reset();
        fake::restore();
        QFile::setPermissions(m_program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_root.reset();
    }

    void writableProgramFolderIsTheWorkingFolder()
    {
        QCOMPARE(WorkFolder::enter(m_program), m_program);
        QCOMPARE(QDir::currentPath(), m_program);
        QCOMPARE(platform::QtAppInfo().workFolder(), m_program);
        QVERIFY(!QFileInfo::exists(m_home + QStringLiteral("/.local")));
        QVERIFY(m_fakes.messages->shown.isEmpty());
    }

    void ownFolderIsUsableOnlyWhenWritableAndNotASystemFolder()
    {
        QVERIFY(WorkFolder::ownFolderIsUsable(m_program));
        makeProgramReadOnly();
        // Marked read-only: not used, even by root, who could write there.
        QVERIFY(!WorkFolder::ownFolderIsUsable(m_program));
        // The package manager's folders are never written into.
        QVERIFY(!WorkFolder::ownFolderIsUsable(QStringLiteral("/usr/lib")));
        QVERIFY(!WorkFolder::ownFolderIsUsable(m_root->filePath(QStringLiteral("missing"))));
    }

    void readOnlyProgramWorksInThePrivateUserFolder_data()
    {
        QTest::addColumn<QString>("dataHome"); // relative to the temporary root; "" unset
        QTest::addColumn<QString>("expected");
        QTest::newRow("XDG_DATA_HOME set") << "data"
                                           << "data/Zorvane";
        QTest::newRow("XDG_DATA_HOME unset") << ""
                                             << "home/.local/share/Zorvane";
        QTest::newRow("XDG_DATA_HOME relative") << "relative/data"
                                                << "home/.local/share/Zorvane";
    }
    void readOnlyProgramWorksInThePrivateUserFolder()
    {
        QFETCH(QString, dataHome);
        QFETCH(QString, expected);
        if (dataHome.startsWith(QLatin1String("relative/")))
            m_variables->set("XDG_DATA_HOME", dataHome.toLocal8Bit());
        else if (!dataHome.isEmpty())
            m_variables->set("XDG_DATA_HOME", m_root->filePath(dataHome).toLocal8Bit());
        makeProgramReadOnly();

        const QString folder = m_root->filePath(expected);
        QCOMPARE(WorkFolder::enter(m_program), folder);
        QCOMPARE(QDir::currentPath(), folder);
        // The program reports the folder it chose, whatever the current folder becomes.
        QVERIFY(QDir::setCurrent(m_root->path()));
        QCOMPARE(platform::QtAppInfo().workFolder(), folder);
        QVERIFY(QDir::setCurrent(folder));
        QVERIFY2(m_fakes.messages->shown.isEmpty(),
                 qPrintable(m_fakes.messages->shown.value(0).text));
        QCOMPARE(modeOf(folder), 0700);
        // Parents it had to make are private as well.
        QCOMPARE(modeOf(QFileInfo(folder).path()), 0700);

        // Every file of the program is reachable by bare name, through a link.
        for (const char *name : {"Zorvane", "zcmd", "cp", "move.sh", "loading.gif"}) {
            const QFileInfo link{QLatin1String(name)};
            QVERIFY2(link.isSymLink(), name);
            QCOMPARE(link.symLinkTarget(), m_program + QLatin1Char('/') + QLatin1String(name));
            QCOMPARE(contentOf(QLatin1String(name)), QByteArray(name));
        }
        // Job scripts are the program's own to write: never links.
        QVERIFY(!QFileInfo(QStringLiteral("Yes.bat")).exists());
        QVERIFY(!QFileInfo(QStringLiteral("Yes.bat")).isSymLink());
    }

    void startAgainRefreshesLinksAndKeepsTheUsersFiles()
    {
        const QString folder = m_home + QStringLiteral("/.local/share/Zorvane");
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/mobile/Library")));
        QVERIFY(writeFile(folder + QStringLiteral("/mobile/Library/note"), "user data"));
        QVERIFY(writeFile(folder + QStringLiteral("/cp"), "a file of the user's"));
        QTemporaryDir older; // where an older version lived
        QVERIFY(QFile::link(older.filePath(QStringLiteral("move.sh")),
                            folder + QStringLiteral("/move.sh")));
        QVERIFY(QFile::link(m_program + QStringLiteral("/gone.sh"),
                            folder + QStringLiteral("/gone.sh")));
        QVERIFY(QFile::link(QStringLiteral("/nowhere/else"), folder + QStringLiteral("/foreign")));
        makeProgramReadOnly();

        QCOMPARE(WorkFolder::enter(m_program), folder);
        QCOMPARE(contentOf(QStringLiteral("mobile/Library/note")), QByteArray("user data"));
        QVERIFY(!QFileInfo(QStringLiteral("cp")).isSymLink());
        QCOMPARE(contentOf(QStringLiteral("cp")), QByteArray("a file of the user's"));
        QCOMPARE(QFileInfo(QStringLiteral("move.sh")).symLinkTarget(),
                 m_program + QStringLiteral("/move.sh"));
        // A link to a file the program no longer has goes; other links stay.
        QVERIFY(!QFileInfo(QStringLiteral("gone.sh")).isSymLink());
        QVERIFY(QFileInfo(QStringLiteral("foreign")).isSymLink());
        // Entering twice changes nothing.
        QVERIFY(platform::CompanionLinks::refresh(m_program, folder).isEmpty());
        QCOMPARE(QFileInfo(QStringLiteral("zcmd")).symLinkTarget(),
                 m_program + QStringLiteral("/zcmd"));
    }

    void uncreatableFolderIsReportedAndAPrivateFallbackUsed()
    {
        const QString blocker = m_root->filePath(QStringLiteral("not-a-folder"));
        QVERIFY(writeFile(blocker, "x"));
        m_variables->set("XDG_DATA_HOME", blocker.toLocal8Bit());
        makeProgramReadOnly();

        const QString fallback = m_root->filePath(QStringLiteral("Zorvane-%1").arg(::geteuid()));
        QCOMPARE(WorkFolder::enter(m_program), fallback);
        QCOMPARE(QDir::currentPath(), fallback);
        QCOMPARE(platform::QtAppInfo().workFolder(), fallback);
        QCOMPARE(modeOf(fallback), 0700);
        QCOMPARE(contentOf(QStringLiteral("zcmd")), QByteArray("zcmd"));

        QCOMPARE(m_fakes.messages->shown.size(), 1);
        const fake::ShownBox &box = m_fakes.messages->shown.first();
        QCOMPARE(box.title, QStringLiteral("Zorvane"));
        QCOMPARE(box.icon, platform::MsgIcon::Exclamation);
        QVERIFY2(box.text.contains(QLatin1Char('"') + blocker + QStringLiteral("/Zorvane\"")),
                 qPrintable(box.text));
        QVERIFY2(box.text.contains(QLatin1Char('"') + fallback + QLatin1Char('"')),
                 qPrintable(box.text));
    }

    void fallbackOpenToOthersIsNotUsed()
    {
        const QString blocker = m_root->filePath(QStringLiteral("not-a-folder"));
        QVERIFY(writeFile(blocker, "x"));
        m_variables->set("XDG_DATA_HOME", blocker.toLocal8Bit());
        const QString fallback = m_root->filePath(QStringLiteral("Zorvane-%1").arg(::geteuid()));
        QVERIFY(QDir().mkdir(fallback));
        QVERIFY(::chmod(QFile::encodeName(fallback).constData(), 0777) == 0);
        makeProgramReadOnly();

        // Nowhere to work: the program still starts, in its own folder, and says why.
        QCOMPARE(WorkFolder::enter(m_program), m_program);
        QCOMPARE(QDir::currentPath(), m_program);
        QVERIFY(!QFileInfo::exists(fallback + QStringLiteral("/zcmd")));
        QCOMPARE(m_fakes.messages->shown.size(), 1);
        QVERIFY2(
            m_fakes.messages->shown.first().text.contains(QStringLiteral("cannot be used either")),
            qPrintable(m_fakes.messages->shown.first().text));
    }

    // A temporary folder whose parent others may change is no private
    // fallback; nor is a program folder open to others a last resort: no
    // job script (which holds the password) is written there.
    void noFolderOthersCanChangeIsWorkedIn()
    {
        const QString blocker = m_root->filePath(QStringLiteral("not-a-folder"));
        QVERIFY(writeFile(blocker, "x"));
        m_variables->set("XDG_DATA_HOME", blocker.toLocal8Bit());
        const QString openTmp = m_root->filePath(QStringLiteral("open-tmp"));
        QVERIFY(QDir().mkdir(openTmp));
        QVERIFY(::chmod(QFile::encodeName(openTmp).constData(), 0777) == 0); // not sticky
        m_variables->set("TMPDIR", openTmp.toLocal8Bit());
        makeProgramReadOnly();

        // The user's own read-only program folder still takes the program.
        QCOMPARE(WorkFolder::enter(m_program), m_program);
        QCOMPARE(m_fakes.messages->shown.size(), 1);
        QString text = m_fakes.messages->shown.first().text;
        QVERIFY2(
            text.contains(
                QStringLiteral("other users can write to the folder \"%1\" above it").arg(openTmp)),
            qPrintable(text));
        QVERIFY(WorkFolder::refusal().isEmpty());

        // Open to others: refused, with the folder and what is wrong named.
        QVERIFY(::chmod(QFile::encodeName(m_program).constData(), 0777) == 0);
        QVERIFY(WorkFolder::enter(m_program) == m_program);
        QCOMPARE(m_fakes.messages->shown.size(), 2);
        text = m_fakes.messages->shown.last().text;
        QVERIFY2(text.contains(QStringLiteral("its own folder \"%1\" either: other users can "
                                              "write to it")
                                   .arg(m_program)),
                 qPrintable(text));
        QCOMPARE(WorkFolder::refusal().isEmpty(), false);
        QString error;
        QVERIFY(!jobs::JobScript(QStringLiteral("No.bat"))
                     .line(QStringLiteral("@echo off"))
                     .write(&error));
        QCOMPARE(error, WorkFolder::refusal());
        QVERIFY(!QFileInfo::exists(m_program + QStringLiteral("/No.bat")));
    }

    // A folder another user made (or left open) where the program would work:
    // refused with a message naming it; the program works elsewhere and
    // nothing of it, nor a program planted there, is used.
    void workingFolderOthersCanChangeIsRefused_data()
    {
        QTest::addColumn<bool>("otherOwner");
        QTest::newRow("another user's 0777 folder") << true;
        QTest::newRow("the user's own folder open to all") << false;
    }
    void workingFolderOthersCanChangeIsRefused()
    {
        QFETCH(bool, otherOwner);
        if (otherOwner && ::geteuid() != 0)
            QSKIP("making a folder of another user needs root");
        const QString shared = m_root->filePath(QStringLiteral("shared"));
        const QString planted = shared + QStringLiteral("/Zorvane");
        QVERIFY(QDir().mkpath(planted));
        QVERIFY(writeFile(planted + QStringLiteral("/pscp"), "planted"));
        QVERIFY(::chmod(QFile::encodeName(planted).constData(), 0777) == 0);
        if (otherOwner)
            QVERIFY(::chown(QFile::encodeName(planted).constData(), 65534, 65534) == 0);
        m_variables->set("XDG_DATA_HOME", shared.toLocal8Bit());
        makeProgramReadOnly();

        const QString fallback = m_root->filePath(QStringLiteral("Zorvane-%1").arg(::geteuid()));
        QCOMPARE(WorkFolder::enter(m_program), fallback);
        QCOMPARE(QDir::currentPath(), fallback);
        QVERIFY(!QFileInfo::exists(planted + QStringLiteral("/zcmd")));
        QCOMPARE(m_fakes.messages->shown.size(), 1);
        const QString text = m_fakes.messages->shown.first().text;
        QVERIFY2(text.contains(QLatin1Char('"') + planted + QLatin1Char('"')), qPrintable(text));
        QVERIFY2(text.contains(otherOwner ? QStringLiteral("belongs to another user")
                                          : QStringLiteral("other users can write to it")),
                 qPrintable(text));

        // Its own program folder, open to all, is not worked in either.
        QVERIFY(::chmod(QFile::encodeName(m_program).constData(), 0777) == 0);
        QVERIFY(!WorkFolder::ownFolderIsUsable(m_program));

        // Nor are jobs run, through the links, from the programs in it.
        m_variables->set("XDG_DATA_HOME", m_root->filePath(QStringLiteral("data")).toLocal8Bit());
        QCOMPARE(WorkFolder::enter(m_program), m_root->filePath(QStringLiteral("data/Zorvane")));
        QVERIFY2(WorkFolder::refusal().contains(
                     QStringLiteral("folder \"%1\": other users can write to it").arg(m_program)),
                 qPrintable(WorkFolder::refusal()));
        QCOMPARE(m_fakes.messages->shown.last().text, WorkFolder::refusal());
        QVERIFY(
            !jobs::JobScript(QStringLiteral("No.bat")).line(QStringLiteral("echo")).write(nullptr));
        QVERIFY(!QFileInfo::exists(QStringLiteral("No.bat")));
        // The system's own folder (root's, closed to others) is fit to run them.
        QCOMPARE(WorkFolder::checkProgramFolder(QStringLiteral("/usr/lib")), QString());
    }

    // An access list letting another user change the folder (or
    // one above it) is refused whatever the mask, which a chmod lifts; so is
    // a default list opening the job scripts made in it. The owner's are not.
    void accessListsOpeningTheFolderAreRefused_data()
    {
        const uint me = ::geteuid(), nobody = 65534, none = 0xffffffff;
        QTest::addColumn<QByteArray>("attribute");
        QTest::addColumn<QList<uint>>("entries");
        QTest::addColumn<QString>("problem");
        const QByteArray access = "system.posix_acl_access";
        QTest::newRow("another user may write")
            << access << QList<uint>{1, 7, none, 2, 7, nobody, 4, 0, none, 16, 0, none, 32, 0, none}
            << "an access list lets other users change it";
        QTest::newRow("default list opens new files")
            << QByteArray("system.posix_acl_default")
            << QList<uint>{1, 7, none, 4, 0, none, 32, 4, none}
            << "an access list lets other users read or change the files made in it";
        QTest::newRow("a mask and the owner's own entry")
            << access << QList<uint>{1, 7, none, 2, 7, me, 4, 0, none, 16, 5, none, 32, 5, none}
            << QString();
    }
    void accessListsOpeningTheFolderAreRefused()
    {
        QFETCH(QByteArray, attribute);
        QFETCH(QList<uint>, entries);
        QFETCH(QString, problem);
        const QString folder = m_root->filePath(QStringLiteral("listed"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/below")));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0700) == 0);
        if (!setAccessList(folder, attribute.constData(), entries))
            QSKIP("this file system keeps no access lists");
        QCOMPARE(WorkFolder::checkOwnership(folder), problem);
        QCOMPARE(modeOf(folder) & 022, 0); // its mode bits let no one else write
        const QString below = WorkFolder::checkOwnership(folder + QStringLiteral("/below"));
        QCOMPARE(below.isEmpty(), problem.isEmpty() || attribute.endsWith("default"));
    }

    // Scripts a job left when it ended the program from outside go once the
    // interpreter running them has finished, not before; one written afresh
    // meanwhile stays.
    void leftOverScriptsGoOnceTheirInterpreterIsDone()
    {
        QVERIFY(QDir::setCurrent(m_program));
        const QByteArray waits = "@echo off\r\necho running\r\npause >NUL\r\nexit\r\n";
        for (const char *name : {"Yes.bat", "No.bat", "SSH.bat"})
            QVERIFY(writeFile(QLatin1String(name), waits));
        QProcess job, otherJob;
        for (QProcess *p : {&job, &otherJob}) {
            p->setProgram(zcmdtest::zcmdPath());
            p->setArguments({QStringLiteral("/c"), p == &job ? QStringLiteral("\"Yes.bat\"")
                                                             : QStringLiteral("\"SSH.bat\"")});
            p->start();
            QVERIFY(p->waitForReadyRead(20000)); // "running": the script holds its lock
        }

        platform::LeftOverScripts::removeWhenFinished(
            {QStringLiteral("Yes.bat"), QStringLiteral("No.bat"), QStringLiteral("SSH.bat"),
             QStringLiteral("apps.bat")});
        QTRY_VERIFY(!QFile::exists(QStringLiteral("No.bat")));
        QVERIFY(QFile::exists(QStringLiteral("Yes.bat")));

        // A job of this run writes SSH.bat afresh: it is not the one found at start.
        QVERIFY(writeFile(QStringLiteral("SSH.bat"), "@echo off\r\necho new job\r\n"));
        for (QProcess *p : {&otherJob, &job}) {
            p->write("\n");
            QVERIFY(p->waitForFinished(20000));
        }
        QTRY_VERIFY(!QFile::exists(QStringLiteral("Yes.bat")));
        QCOMPARE(contentOf(QStringLiteral("SSH.bat")), QByteArray("@echo off\r\necho new job\r\n"));
    }

private:
    void makeProgramReadOnly()
    {
        QVERIFY(QFile::setPermissions(m_program, QFile::ReadOwner | QFile::ExeOwner
                                                     | QFile::ReadGroup | QFile::ExeGroup
                                                     | QFile::ReadOther | QFile::ExeOther));
    }

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<ScopedVariables> m_variables; // HOME, TMPDIR, XDG_DATA_HOME
    QString m_program;
    QString m_home;
    QString m_before;
    fake::Services m_fakes{};
};

QTEST_MAIN(tst_work_folder)
#include "tst_work_folder.moc"
