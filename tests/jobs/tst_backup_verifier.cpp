// BackupCheck's reading of the device's sizes list, against backups on disk:
// a list that is not whole or cannot be read leaves the backup unchecked, and
// no listed name is looked up outside the backup. And the restore's laying
// apart of the names pscp would cut, against the same backups; and the list
// of the backup's contents, made after a passing check and read before a
// restore: a file changed since the backup is named, a damaged list refuses.
#include "jobs/BackupAmount.h"
#include "jobs/BackupHashes.h"
#include "jobs/BackupVerifier.h"
#include "jobs/ChangedFiles.h"
#include "jobs/Generations.h"
#include "jobs/BackupNames.h"
#include "jobs/PlacedGeneration.h"
#include "jobs/JobOutcome.h"
#include "jobs/ListedTotals.h"
#include "jobs/NameStaging.h"
#include "platform/CoreServices.h"
#include "jobs/QuickRepeat.h"
#include "jobs/TarStaging.h"
#include "platform/Platform.h"
#include "support/FolderFixture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <cstring>

using jobs::BackupHashes;
using jobs::BackupVerifier;
using jobs::NameStaging;
using Refusal = BackupVerifier::Refusal;

Q_DECLARE_METATYPE(BackupVerifier::Refusal)

class tst_backup_verifier : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<FolderFixture>();
        QVERIFY2(m_folder->isValid(), qPrintable(m_folder->error()));
        QVERIFY(QDir().mkpath(QStringLiteral("root/Library/Zorvane")));
        QVERIFY(QDir().mkpath(QStringLiteral("mobile/Media")));
        QVERIFY(QDir().mkpath(QStringLiteral("Applications")));
        for (const QByteArray &name : kNames)
            QVERIFY(write(name, "12345"));
        QVERIFY(write(BackupVerifier::kLinksRecord.toUtf8(), links({}, 0)));
    }
    void cleanup()
    {
        // QDir cannot name what is not UTF-8: those go by their bytes.
        for (const char *tree : {"mobile", "root", "Applications", "StagedNames", "Incoming", "outside",
                                 "Generations", "PreviousBackup"})
            platform::Platform::files().removeTree(tree);
        platform::Platform::files().removeTree("FoundDuringRestore");
        platform::Platform::files().deleteFile(QStringLiteral("BackupDevice.txt"));
        m_folder.reset();
    }

    void wholeListOfEveryKindOfNameIsVerified();
    void missingAndWrongSizedFilesAreNamed();
    void emptyListIsNotComplete();
    void listsThatAreNotWholeAreRefused_data();
    void listsThatAreNotWholeAreRefused();
    void hugeListIsRefusedWithoutReadingIt();
    void noNameLooksOutsideTheBackup();
    void linksAreReadWholeAndNotLookedUp();
    void linksListsThatAreNotWholeAreRefused_data();
    void linksListsThatAreNotWholeAreRefused();
    void namesPscpWouldCutAreLaidApartWithTheSiblingsTheyHit();
    void backupsPscpWouldSpillElsewhereAreRefused_data();
    void backupsPscpWouldSpillElsewhereAreRefused();
    void amountCountsTheBackupsOwnFilesOnly();
    void contentsAreRecordedAndChangedFilesNamed();
    void damagedListsOfContentsRefuseTheRestore_data();
    void damagedListsOfContentsRefuseTheRestore();
    void changedFilesGoInPlaceOnlyInsideTheBackupAndAreNamed();
    void generationsShareUnchangedFilesAndSurviveAStop();
    void olderBackupInPlaceIsLinksAndTheNewestComesBack();
    void quickRepeatLinksOnlyFilesListedTheSame();
    void quickRepeatRefusesListsItCannotTrust();
    void tarStagingMakesOnlyWhatWasAskedInsideTheStagingFolder();
    void tarStagingRefusesACutOrDamagedStream();

private:
    // One member of a tar stream: a ustar header and the data, padded.
    static QByteArray tarMember(const QByteArray &name, char type, const QByteArray &data = {},
                                const QByteArray &link = {})
    {
        QByteArray h(512, '\0');
        const auto put = [&h](int at, const QByteArray &v) {
            std::memcpy(h.data() + at, v.constData(), size_t(v.size()));
        };
        put(0, name.left(100));
        put(100, "0000644");
        put(108, "0000000");
        put(116, "0000000");
        put(124, QByteArray::number(data.size(), 8).rightJustified(11, '0'));
        put(136, "14620000000");
        h[156] = type;
        put(157, link.left(100));
        put(257, QByteArray("ustar\0" "00", 8));
        put(148, "        ");
        qint64 sum = 0;
        for (const char c : h)
            sum += static_cast<unsigned char>(c);
        put(148, QByteArray::number(sum, 8).rightJustified(6, '0') + '\0');
        QByteArray padded = data;
        padded.append(QByteArray((512 - data.size() % 512) % 512, '\0'));
        return h + padded;
    }
    static QByteArray tarEnd() { return QByteArray(1024, '\0'); }
    // A states list line of a file: its size, times and inode.
    static QByteArray stateLine(const QByteArray &path, qint64 size, qint64 modified,
                                qint64 inode = 7)
    {
        const QByteArray t = QByteArray::number(modified);
        return "f " + QByteArray::number(size) + ' ' + t + ' ' + t + " 2026-12-10 10:00:" + t.right(2)
               + ".000000000 +0000 2026-12-10 10:00:" + t.right(2) + ".000000000 +0000 "
               + QByteArray::number(inode) + ' ' + path;
    }
    static QByteArray states(qint64 listedAt, const QList<QByteArray> &lines)
    {
        QByteArray l = "# Zorvane states 1\n# listed " + QByteArray::number(listedAt) + '\n';
        qint64 n = 0;
        for (const QByteArray &line : lines) {
            l += line + '\n';
            n += line.startsWith('#') ? 0 : 1;
        }
        return l + "# end " + QByteArray::number(n) + '\n';
    }

private:
    static QByteArray readAt(const QByteArray &path)
    {
        QByteArray content(4096, '\0');
        FILE *f = std::fopen(path.constData(), "rb");
        if (!f)
            return "(missing)";
        content.truncate(qsizetype(std::fread(content.data(), 1, content.size(), f)));
        std::fclose(f);
        return content;
    }
    // Every path under `path` with its content ("/" for a folder).
    static QList<QByteArray> tree(const QByteArray &path)
    {
        QList<QByteArray> names;
        if (!platform::Platform::files().folderNames(path, &names))
            return {path + " " + readAt(path)};
        QList<QByteArray> all{path + "/"};
        std::sort(names.begin(), names.end());
        for (const QByteArray &name : names)
            all += tree(path + '/' + name);
        return all;
    }
    static QList<QByteArray> sorted(QList<QByteArray> list)
    {
        std::sort(list.begin(), list.end());
        return list;
    }
    inline static const QString kToken = QStringLiteral("0123456789abcdef0123456789abcdef");

    // Names as bytes: a Latin-1 name is not UTF-8 and has no QString form.
    static bool write(const QByteArray &path, const QByteArray &content)
    {
        FILE *f = std::fopen(path.constData(), "wb");
        if (!f)
            return false;
        const bool whole =
            std::fwrite(content.constData(), 1, content.size(), f) == size_t(content.size());
        return std::fclose(f) == 0 && whole;
    }
    // A sizes list of the given entry lines, with the end line stating `count`.
    static QByteArray list(const QList<QByteArray> &entries, qint64 count)
    {
        QByteArray l = "# Zorvane file sizes 1\n";
        for (const QByteArray &e : entries)
            l += e + '\n';
        return count < 0 ? l : l + "# end " + QByteArray::number(count) + '\n';
    }
    // A links list of the given entry lines, with the end line stating `count`.
    static QByteArray links(const QList<QByteArray> &entries, qint64 count)
    {
        return list(entries, count).replace("# Zorvane file sizes 1", "# Zorvane links 1");
    }
    static QByteArray link(const QByteArray &path, const QByteArray &target)
    {
        return QByteArray::number(path.size()) + ' ' + path + " -> " + target;
    }
    static QList<QByteArray> entries()
    {
        QList<QByteArray> e;
        for (const QByteArray &name : kNames)
            e << "5 " + name;
        return e;
    }

    // Names a device can hold: blanks, quotes, batch characters, backslashes,
    // a leading dash, non-ASCII letters, names that look like paths.
    inline static const QList<QByteArray> kNames{
        "mobile/Media/a\\b.txt",          "mobile/Media/..\\..\\x",  "mobile/Media/-rf",
        "mobile/Media/%PATH% & ^ !x",     "mobile/Media/it's \"q\"", "mobile/Media/W\xc3\xb6rter",
        "mobile/Media/Latin-1 \xe9t\xe9", "mobile/Media/..a",        "Applications/Sketch Pad"};
    std::unique_ptr<FolderFixture> m_folder;
};

void tst_backup_verifier::wholeListOfEveryKindOfNameIsVerified()
{
    QList<QByteArray> e = entries();
    e << e.first(); // listed twice: counts once
    QVERIFY(write(BackupVerifier::kSizesRecord.toUtf8(),
                  list(e, e.size()).replace("# end", "# not listed: mobile/Media/a\\nb\n# end")));
    const BackupVerifier::Result r = BackupVerifier::check();
    QCOMPARE(r.refused, Refusal::None);
    QCOMPARE(r.missing, QStringList());
    QCOMPARE(r.wrongSize, QStringList());
    QCOMPARE(r.files, qint64(kNames.size()));
    QCOMPARE(r.bytes, qint64(5 * kNames.size()));
    QVERIFY(r.complete());
    QCOMPARE(r.notListed, QStringList{QStringLiteral("mobile/Media/a\\nb")});
    QCOMPARE(BackupVerifier::outcomeLine(r),
             QStringLiteral("verified %1 %2 0 0 1").arg(kNames.size()).arg(5 * kNames.size()));
    QVERIFY(
        BackupVerifier::report(r).contains(QStringLiteral("  not checked: mobile/Media/a\\nb")));

    // The backslash is a letter: the copy of "a\b.txt" is checked, not "a/b.txt".
    QVERIFY(QDir().mkpath(QStringLiteral("mobile/Media/a")));
    QVERIFY(write("mobile/Media/a/b.txt", "12345"));
    QVERIFY(QFile::remove(QFile::decodeName("mobile/Media/a\\b.txt")));
    const BackupVerifier::Result gone = BackupVerifier::check();
    QCOMPARE(gone.missing, QStringList{QStringLiteral("mobile/Media/a\\b.txt")});
    QVERIFY(!gone.complete());
}

void tst_backup_verifier::missingAndWrongSizedFilesAreNamed()
{
    QList<QByteArray> e = entries();
    e[1] = "6 " + kNames[1];       // arrived with 5 bytes
    e << "7 mobile/Media/gone.jpg" // never arrived
      << "3 root/Library/Zorvane"; // a folder where the device had a file
    QVERIFY(write(BackupVerifier::kSizesRecord.toUtf8(), list(e, e.size())));
    const BackupVerifier::Result r = BackupVerifier::check();
    QCOMPARE(r.refused, Refusal::None);
    QVERIFY(!r.complete());
    QCOMPARE(r.missing, (QStringList{"mobile/Media/gone.jpg", "root/Library/Zorvane"}));
    QCOMPARE(r.wrongSize, QStringList{BackupVerifier::printable(kNames[1])});
    const qint64 bytes = 5 * (kNames.size() - 1) + 6 + 7 + 3;
    QCOMPARE(BackupVerifier::outcomeLine(r),
             QStringLiteral("incomplete %1 %2 2 1 0").arg(kNames.size() + 2).arg(bytes));
    const QStringList said = BackupVerifier::report(r);
    QVERIFY2(said.first().contains(QStringLiteral("NOT complete")), qPrintable(said.first()));
    QVERIFY(said.contains(QStringLiteral("  missing: mobile/Media/gone.jpg")));
    QVERIFY(
        said.contains(QStringLiteral("  size differs: ") + BackupVerifier::printable(kNames[1])));
}

// A list that names nothing proves nothing.
void tst_backup_verifier::emptyListIsNotComplete()
{
    QVERIFY(write(BackupVerifier::kSizesRecord.toUtf8(), list({}, 0)));
    const BackupVerifier::Result r = BackupVerifier::check();
    QCOMPARE(r.refused, Refusal::None);
    QCOMPARE(r.files, qint64(0));
    QVERIFY(!r.complete());
}

void tst_backup_verifier::listsThatAreNotWholeAreRefused_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<Refusal>("refused");
    QTest::addColumn<QString>("note");
    const QList<QByteArray> e = entries();
    const qint64 n = e.size();
    QTest::newRow("no end line") << list(e, -1) << Refusal::Cut << "unchecked cut";
    QTest::newRow("end line cut mid-line")
        << list(e, n).chopped(1) << Refusal::Cut << "unchecked cut";
    QTest::newRow("fewer entries than the end line states")
        << list(e.mid(1), n) << Refusal::Count << "unchecked count";
    QTest::newRow("unreadable line") << list(e + QList<QByteArray>{"five mobile/x"}, n + 1)
                                     << Refusal::Unreadable << "unchecked unreadable";
    QTest::newRow("line after the end line") << list(e, n) + "5 mobile/Media/-rf\n"
                                             << Refusal::Unreadable << "unchecked unreadable";
    QTest::newRow("overlong line")
        << list(e + QList<QByteArray>{"5 mobile/" + QByteArray(5000, 'y')}, n + 1)
        << Refusal::Unreadable << "unchecked unreadable";
    QTest::newRow("sizes that overflow the total")
        << list({"9223372036854775807 mobile/Media/-rf", "9 mobile/Media/..a"}, 2)
        << Refusal::Unreadable << "unchecked unreadable";
    QTest::newRow("a size too large to read") << list({"99999999999999999999 mobile/Media/-rf"}, 1)
                                              << Refusal::Unreadable << "unchecked unreadable";
    QTest::newRow("one name, two sizes") << list({"5 mobile/Media/-rf", "6 mobile/Media/-rf"}, 2)
                                         << Refusal::Unreadable << "unchecked unreadable";
    QTest::newRow("no list at all") << QByteArray("-") << Refusal::Missing << "unchecked missing";
    QTest::newRow("empty list") << QByteArray() << Refusal::Unreadable << "unchecked unreadable";
    QTest::newRow("no header") << list(e, n).mid(int(qstrlen("# Zorvane file sizes 1\n")))
                               << Refusal::Unreadable << "unchecked unreadable";
    QTest::newRow("the owners record's header")
        << list(e, n).replace("file sizes 1", "owners and modes 1") << Refusal::Unreadable
        << "unchecked unreadable";
    QTest::newRow("another header") << list(e, n).replace("sizes 1", "sizes 9")
                                    << Refusal::Unreadable << "unchecked unreadable";
    QTest::newRow("a name going up")
        << list({"5 mobile/../../etc/passwd"}, 1) << Refusal::Outside << "unchecked outside";
    QTest::newRow("a name outside the trees")
        << list({"5 etc/passwd"}, 1) << Refusal::Outside << "unchecked outside";
    QTest::newRow("an absolute name")
        << list({"5 /etc/passwd"}, 1) << Refusal::Outside << "unchecked outside";
}

void tst_backup_verifier::listsThatAreNotWholeAreRefused()
{
    QFETCH(QByteArray, record);
    QFETCH(Refusal, refused);
    QFETCH(QString, note);
    if (record != "-") // "-": the list never arrived
        QVERIFY(write(BackupVerifier::kSizesRecord.toUtf8(), record));
    const BackupVerifier::Result r = BackupVerifier::check();
    QCOMPARE(r.refused, refused);
    QVERIFY(!r.complete());
    QCOMPARE(BackupVerifier::outcomeLine(r), note);
    const QStringList said = BackupVerifier::report(r);
    QVERIFY2(said.join(' ').contains(QStringLiteral("cannot be checked and is not complete")),
             qPrintable(said.join(' ')));
}

void tst_backup_verifier::hugeListIsRefusedWithoutReadingIt()
{
    // One line of a gigabyte: a sparse file, refused by its size alone.
    QFile f(BackupVerifier::kSizesRecord);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.write("# Zorvane file sizes 1\n5 ") > 0);
    QVERIFY(f.resize(qint64(1) << 30));
    f.close();
    const BackupVerifier::Result r = BackupVerifier::check();
    QCOMPARE(r.refused, Refusal::TooLarge);
    QCOMPARE(BackupVerifier::outcomeLine(r), QStringLiteral("unchecked toolarge"));
    // Nor does a restore announce totals from it.
    QVERIFY(!jobs::ListedTotals::read());
}

void tst_backup_verifier::noNameLooksOutsideTheBackup()
{
    // A folder of the backup that is a link to elsewhere is not the backup.
    QTemporaryDir elsewhere;
    QVERIFY(QDir().mkpath(elsewhere.path() + QStringLiteral("/inside")));
    QVERIFY(write(QFile::encodeName(elsewhere.path()) + "/inside/f", "12345"));
    QVERIFY(
        QFile::link(elsewhere.path() + QStringLiteral("/inside"), QStringLiteral("mobile/Away")));
    QVERIFY(QFile::link(elsewhere.path() + QStringLiteral("/inside/f"),
                        QStringLiteral("mobile/Media/linked")));
    QVERIFY(write(BackupVerifier::kSizesRecord.toUtf8(),
                  list({"5 mobile/Away/f", "5 mobile/Media/linked", "5 mobile/Media/-rf"}, 3)));
    const BackupVerifier::Result r = BackupVerifier::check();
    QCOMPARE(r.refused, Refusal::None);
    QCOMPARE(r.missing, (QStringList{"mobile/Away/f", "mobile/Media/linked"}));
    QVERIFY(!r.complete());
}

void tst_backup_verifier::namesPscpWouldCutAreLaidApartWithTheSiblingsTheyHit()
{
    // Beside "a\b.txt" and "..\..\x": the genuine "b.txt" that pscp would
    // overwrite, a folder "..\sub" beside a genuine "sub" (both holding an
    // "f"), cut names inside it and with a line break, and a colon, kept.
    QVERIFY(QDir().mkpath(QStringLiteral("mobile/Media/sub")));
    QVERIFY(QDir().mkpath(QStringLiteral("mobile/Media/..\\sub/in\\ner")));
    QVERIFY(write("mobile/Media/b.txt", "genuine b"));
    QVERIFY(write("mobile/Media/sub/f", "genuine f"));
    QVERIFY(write("mobile/Media/..\\sub/f", "other f"));
    QVERIFY(write("mobile/Media/..\\sub/\xe9t\xe9", "latin"));
    QVERIFY(write("mobile/Media/..\\sub/in\\ner/d", "deep"));
    QVERIFY(write("mobile/Media/line\nbreak\\y", "nl"));
    QVERIFY(write("mobile/Media/C:\\evil.bat", "bat"));
    QVERIFY(write("mobile/Media/c:d", "colon"));
    // Stand-in for the companion file names.sh, which the staging carries.
    QVERIFY(write("names.sh", "# device step\n"));
    QVERIFY(QDir().mkpath(QStringLiteral("StagedNames.part/left over")));
    const QList<QByteArray> backup = tree("mobile");

    const NameStaging::Result r = NameStaging::stage(kToken);
    QCOMPARE(r.outcome, NameStaging::Outcome::Staged);
    QCOMPARE(r.plan.refused, QList<QByteArray>());
    QCOMPARE(sorted(r.plan.apart),
             (QList<QByteArray>{"mobile/Media/..\\..\\x", "mobile/Media/..\\sub",
                                "mobile/Media/..\\sub/in\\ner", "mobile/Media/C:\\evil.bat",
                                "mobile/Media/a\\b.txt", "mobile/Media/line\nbreak\\y"}));
    QVERIFY(r.plan.apart.indexOf("mobile/Media/..\\sub")
            < r.plan.apart.indexOf("mobile/Media/..\\sub/in\\ner"));
    QCOMPARE(sorted(r.plan.kept), (QList<QByteArray>{"mobile/Media/b.txt", "mobile/Media/sub/f"}));
    // Only the topmost of what pscp makes: "sub/ner", not "sub/ner/d".
    QCOMPARE(r.plan.strays,
             (QList<QByteArray>{"mobile/Media/evil.bat", "mobile/Media/sub/ner",
                                "mobile/Media/sub/\xe9t\xe9", "mobile/Media/x", "mobile/Media/y"}));

    // The backup is as it was; the staging holds each entry under its number.
    QCOMPARE(tree("mobile"), backup);
    QVERIFY(!QFileInfo::exists(QStringLiteral("StagedNames.part")));
    const QByteArray staged = "StagedNames/names-" + kToken.toLatin1();
    const QByteArray listText = readAt(staged + "/names.txt");
    QCOMPARE(listText, NameStaging::list(r.plan));
    QVERIFY(listText.startsWith("# Zorvane names 1\nR mobile/Media/evil.bat\n"));
    QVERIFY(listText.contains(" mobile/Media/line\\0012break\\\\y\n"));
    QVERIFY(listText.endsWith("\n# end 13\n"));
    QCOMPARE(readAt(staged + "/names.sh"), QByteArray("# device step\n"));
    const QList<QByteArray> items = r.plan.kept + r.plan.apart;
    for (int i = 0; i < items.size(); ++i) {
        const QByteArray item = staged + '/' + QByteArray::number(i + 1);
        QVERIFY(listText.contains(' ' + QByteArray::number(i + 1) + ' '
                                  + NameStaging::listed(items[i]) + '\n'));
        if (!items[i].endsWith("sub") && !items[i].endsWith("ner"))
            QCOMPARE(readAt(item), readAt(items[i]));
    }
    // The folder goes without the cut name inside it, which goes on its own.
    const int sub = r.plan.kept.size() + r.plan.apart.indexOf("mobile/Media/..\\sub") + 1;
    QCOMPARE(tree(staged + '/' + QByteArray::number(sub)),
             (QList<QByteArray>{staged + '/' + QByteArray::number(sub) + '/',
                                staged + '/' + QByteArray::number(sub) + "/f other f",
                                staged + '/' + QByteArray::number(sub) + "/\xe9t\xe9 latin"}));
    QCOMPARE(r.files, 11);

    // Names pscp sends as they are need nothing.
    QVERIFY(platform::Platform::files().removeTree(QStringLiteral("mobile")));
    QVERIFY(QDir().mkpath(QStringLiteral("mobile/Media")));
    QVERIFY(write("mobile/Media/c:d", "colon"));
    QCOMPARE(NameStaging::stage(kToken).outcome, NameStaging::Outcome::Nothing);
    QVERIFY(!QFileInfo::exists(QStringLiteral("StagedNames")));
}

void tst_backup_verifier::backupsPscpWouldSpillElsewhereAreRefused_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("refused");
    QTest::newRow("folder into the one above") << QByteArray("mobile/Media/up\\..") << true << true;
    QTest::newRow("file onto the one above") << QByteArray("mobile/Media/up\\..") << false << true;
    QTest::newRow("file onto its folder") << QByteArray("mobile/Media/end\\") << false << true;
    QTest::newRow("file onto its folder, dot")
        << QByteArray("mobile/Media/dot\\.") << false << true;
    QTest::newRow("file onto a folder") << QByteArray("mobile/x\\Media") << false << true;
    QTest::newRow("folder onto a file") << QByteArray("mobile/Media/x\\-rf") << true << true;
    QTest::newRow("folder into its own folder") << QByteArray("mobile/Media/in\\") << true << false;
}

void tst_backup_verifier::backupsPscpWouldSpillElsewhereAreRefused()
{
    QFETCH(QByteArray, path);
    QFETCH(bool, folder);
    QFETCH(bool, refused);
    QVERIFY(write("names.sh", "# stand-in for the device step\n"));
    if (folder) {
        QVERIFY(QDir().mkpath(QFile::decodeName(path)));
        QVERIFY(write(path + "/inside", "12345"));
    } else {
        QVERIFY(write(path, "12345"));
    }
    const NameStaging::Result r = NameStaging::stage(kToken);
    QCOMPARE(r.outcome, refused ? NameStaging::Outcome::Refused : NameStaging::Outcome::Staged);
    QCOMPARE(r.plan.refused.contains(path), refused);
    QCOMPARE(QFileInfo::exists(QStringLiteral("StagedNames")), !refused);
    // Joined to its folder, the contents are names pscp makes there.
    if (!refused)
        QVERIFY(r.plan.strays.contains("mobile/Media/inside"));
}

// The links list says where links pointed; pscp left copies, or nothing, in
// their place, so no link is looked for in the copy.
void tst_backup_verifier::linksAreReadWholeAndNotLookedUp()
{
    QVERIFY(write(BackupVerifier::kSizesRecord.toUtf8(), list(entries(), kNames.size())));
    const QList<QByteArray> linked{link("mobile/Media/x -> y", "a -> b"),
                                   link("mobile/Media/..\\..\\x", "..\\%PATH%"),
                                   link("Applications/W\xc3\xb6rter -> ", " -> "),
                                   link("mobile/Media/never arrived", "/var/mobile/gone")};
    QVERIFY(write(BackupVerifier::kLinksRecord.toUtf8(),
                  links(linked
                            + QList<QByteArray>{"# target not listed: mobile/Media/t",
                                                "# not listed: mobile/Media/a\\nb", linked.first()},
                        linked.size() + 1)));
    const BackupVerifier::Result r = BackupVerifier::check();
    QCOMPARE(r.refused, Refusal::None);
    QVERIFY(r.complete());
    QCOMPARE(r.links, qint64(linked.size()));
    QCOMPARE(r.linksNotListed, QStringList{QStringLiteral("mobile/Media/t")});
    const QStringList said = BackupVerifier::report(r);
    QVERIFY2(said.join('\n').contains(QStringLiteral("listed 4 link(s) with their targets")),
             qPrintable(said.join('\n')));
    QVERIFY(said.contains(QStringLiteral("  link not listed: mobile/Media/t")));
}

void tst_backup_verifier::linksListsThatAreNotWholeAreRefused_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<Refusal>("refused");
    const QByteArray good = link("mobile/Media/l", "../-rf");
    QTest::newRow("no end line") << links({good}, -1) << Refusal::Cut;
    QTest::newRow("fewer links than the end line states") << links({good}, 2) << Refusal::Count;
    QTest::newRow("no list at all") << QByteArray("-") << Refusal::Missing;
    QTest::newRow("the sizes list's header")
        << links({good}, 1).replace("links 1", "file sizes 1") << Refusal::Unreadable;
    QTest::newRow("a length past the line's end")
        << links({"99 mobile/Media/l -> x"}, 1) << Refusal::Unreadable;
    QTest::newRow("a length that cuts the name")
        << links({"8 mobile/Media/l -> x"}, 1) << Refusal::Unreadable;
    QTest::newRow("no target") << links({link("mobile/Media/l", "")}, 1) << Refusal::Unreadable;
    QTest::newRow("one name, two targets")
        << links({good, link("mobile/Media/l", "elsewhere")}, 2) << Refusal::Unreadable;
    QTest::newRow("a name going up")
        << links({link("mobile/../../etc/passwd", "x")}, 1) << Refusal::Outside;
    QTest::newRow("an absolute name") << links({link("/etc/passwd", "x")}, 1) << Refusal::Outside;
    QTest::newRow("a tree itself") << links({link("mobile", "/tmp")}, 1) << Refusal::Outside;
}

// The links list is refused as the sizes list is: the backup is not complete.
void tst_backup_verifier::linksListsThatAreNotWholeAreRefused()
{
    QFETCH(QByteArray, record);
    QFETCH(Refusal, refused);
    QVERIFY(write(BackupVerifier::kSizesRecord.toUtf8(), list(entries(), kNames.size())));
    QVERIFY(QFile::remove(BackupVerifier::kLinksRecord));
    if (record != "-")
        QVERIFY(write(BackupVerifier::kLinksRecord.toUtf8(), record));
    const BackupVerifier::Result r = BackupVerifier::check();
    QCOMPARE(r.refused, refused);
    QCOMPARE(r.refusedList, BackupVerifier::List::Links);
    QVERIFY(!r.complete());
    QVERIFY(BackupVerifier::outcomeLine(r).startsWith(QStringLiteral("unchecked ")));
    const QString said = BackupVerifier::report(r).join(' ');
    QVERIFY2(said.contains(QStringLiteral("the list of the device's links"))
                 && said.contains(QStringLiteral("cannot be checked and is not complete")),
             qPrintable(said));
}

// How much a backup holds: its own files only, wherever they nest.
void tst_backup_verifier::amountCountsTheBackupsOwnFilesOnly()
{
    // Beside the backup's files: a nested one, a link, the device's records
    // of the backup, a folder of that name elsewhere, a file outside the trees.
    QVERIFY(QDir().mkpath(QStringLiteral("root/deep/er")));
    QVERIFY(QDir().mkpath(QStringLiteral("mobile/Library/Zorvane")));
    QVERIFY(write("root/deep/er/file", "1234567"));
    QVERIFY(write("mobile/Library/Zorvane/kept", "12"));
    QVERIFY(write("root/Library/Zorvane/sizes", "123"));
    QVERIFY(QFile::link(QStringLiteral("/nowhere"), QStringLiteral("mobile/Media/link")));
    QVERIFY(write("elsewhere", "123"));
    const jobs::BackupAmount amount = jobs::BackupAmount::of(QStringLiteral("."));
    QCOMPARE(amount.files, kNames.size() + 2);
    QCOMPARE(amount.bytes, 5 * kNames.size() + 7 + 2);
}


void tst_backup_verifier::contentsAreRecordedAndChangedFilesNamed()
{
    QVERIFY(write(BackupVerifier::kSizesRecord.toUtf8(), list(entries(), kNames.size())));
    // A list that came with the copy (from the device) is never kept.
    QVERIFY(write(BackupHashes::kRecord.toUtf8(), "forged by the device\n"));
    QStringList unreadable;
    QString error;
    qint64 progressBytes = -1;
    QVERIFY2(BackupHashes::record(&unreadable, &error,
                                  [&](qint64, qint64 bytes, qint64, qint64 total) {
                                      QVERIFY(bytes <= total);
                                      progressBytes = bytes;
                                  }),
             qPrintable(error));
    QCOMPARE(progressBytes, 5 * kNames.size());
    const QByteArray made = readAt(BackupHashes::kRecord.toUtf8());
    QVERIFY2(made.contains("\n5 "
                           + QCryptographicHash::hash("12345", QCryptographicHash::Sha256).toHex()
                           + " mobile/Media/Latin-1 \xe9t\xe9\n"),
             made.constData());
    QVERIFY(!QFileInfo::exists(BackupHashes::kRecord + QStringLiteral(".new")));
    const BackupHashes::Check good = BackupHashes::check();
    QVERIFY(good.passed());
    QCOMPARE(good.by, BackupHashes::Check::By::Content);
    QCOMPARE(good.files, kNames.size());

    // Cut, deleted, changed in place at the same size, grown; the rest is as it was.
    QVERIFY(write("mobile/Media/-rf", "1"));
    QVERIFY(QFile::remove(QStringLiteral("mobile/Media/..a")));
    QVERIFY(write("mobile/Media/W\xc3\xb6rter", "54321"));
    QVERIFY(write("Applications/Sketch Pad", "1234567"));
    const BackupHashes::Check bad = BackupHashes::check();
    QVERIFY(!bad.passed());
    QStringList found;
    for (const BackupHashes::Finding &f : bad.changed)
        found << f.describe();
    const QStringList expected{
        QStringLiteral("mobile/Media/-rf is 1 bytes; it was 5 when it was backed up"),
        QStringLiteral("mobile/Media/W\u00f6rter has other content than when it was backed up "
                       "(the same 5 bytes)"),
        QStringLiteral("mobile/Media/..a is missing; it was 5 bytes when it was backed up"),
        QStringLiteral("Applications/Sketch Pad is 7 bytes; it was 5 when it was backed up")};
    QCOMPARE(found, expected);
    const QStringList notes = BackupHashes::notes(bad);
    for (const QString &f : expected)
        QVERIFY2(notes.contains(QStringLiteral("damaged ") + f), qPrintable(notes.join('\n')));
    QVERIFY(BackupHashes::report(bad).first().startsWith(QStringLiteral("Nothing was sent: ")));

    // A list forged to the cut file's size still knows its content.
    QByteArray forged = readAt(BackupHashes::kRecord.toUtf8());
    forged.replace("\n5 ", "\n1 ");
    QVERIFY(write(BackupHashes::kRecord.toUtf8(), forged));
    const BackupHashes::Check still = BackupHashes::check();
    QVERIFY(std::any_of(still.changed.begin(), still.changed.end(), [](const auto &f) {
        return f.path == QLatin1String("mobile/Media/-rf")
               && f.kind == BackupHashes::Finding::Kind::Content;
    }));

    // A file that cannot be read back makes no list at all.
    QVERIFY(QFile::remove(QStringLiteral("mobile/Media/-rf")));
    QVERIFY(QDir().mkdir(QStringLiteral("mobile/Media/-rf")));
    unreadable.clear();
    QVERIFY(!BackupHashes::record(&unreadable, &error));
    QVERIFY(unreadable.contains(QStringLiteral("mobile/Media/-rf")));
    QVERIFY(!QFileInfo::exists(BackupHashes::kRecord));
}

void tst_backup_verifier::damagedListsOfContentsRefuseTheRestore_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<int>("refused");
    QTest::addColumn<bool>("sizesRecord"); // the change is made to the sizes record
    const QByteArray end = "# end " + QByteArray::number(kNames.size()) + '\n';
    QTest::newRow("cut short") << end << QByteArray() << int(Refusal::Cut) << false;
    QTest::newRow("cut inside a line")
        << QByteArray("Sketch Pad\n" + end) << QByteArray("Ske") << int(Refusal::Cut) << false;
    QTest::newRow("a file taken out")
        << QByteArray("\n5 ") << QByteArray("\n# 5 ") << int(Refusal::Count) << false;
    QTest::newRow("a file added outside")
        << end << "5 " + QByteArray(64, 'a') + " mobile/../../etc/passwd\n" + end
        << int(Refusal::Outside) << false;
    QTest::newRow("a hash that is no hash")
        << QByteArray("\n5 ") << QByteArray("\n5 G") << int(Refusal::Unreadable) << false;
    QTest::newRow("another backup's list")
        << QByteArray("# end") << QByteArray("# other\n# end") << int(Refusal::Unreadable) << true;
}

void tst_backup_verifier::damagedListsOfContentsRefuseTheRestore()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(int, refused);
    QFETCH(bool, sizesRecord);
    QVERIFY(write(BackupVerifier::kSizesRecord.toUtf8(), list(entries(), kNames.size())));
    QStringList unreadable;
    QString error;
    QVERIFY2(BackupHashes::record(&unreadable, &error), qPrintable(error));
    const QByteArray changed =
        (sizesRecord ? BackupVerifier::kSizesRecord : BackupHashes::kRecord).toUtf8();
    QByteArray content = readAt(changed);
    const qsizetype at = content.indexOf(from);
    QVERIFY(at >= 0);
    QVERIFY(write(changed, content.replace(at, from.size(), to)));
    const BackupHashes::Check c = BackupHashes::check();
    QVERIFY(!c.passed());
    QCOMPARE(int(c.refused), refused);
    QCOMPARE(c.otherBackup, sizesRecord);
    QVERIFY(c.changed.isEmpty());
    QVERIFY(BackupHashes::notes(c).first().contains(QStringLiteral("file-hashes.txt")));

    // Measured before it is read: a huge list is refused unread.
    QVERIFY(QFile::resize(BackupHashes::kRecord, BackupHashes::kLargestRecord + 1));
    QCOMPARE(BackupHashes::check().refused, Refusal::TooLarge);

    // Without a list of contents, a backup is checked by its sizes alone, and says so.
    QVERIFY(QFile::remove(BackupHashes::kRecord));
    QVERIFY(write(BackupVerifier::kSizesRecord.toUtf8(), list(entries(), kNames.size())));
    const BackupHashes::Check older = BackupHashes::check();
    QVERIFY(older.passed());
    QCOMPARE(older.by, BackupHashes::Check::By::Sizes);
    QVERIFY(BackupHashes::report(older).join(' ').contains(
        QStringLiteral("not be checked by content")));
}

// What the device copied again after the copies: each whole copy goes in
// place of the first one, a file that went leaves the backup, the records from
// after the copy replace the fetched ones; a name outside the backup, a way
// through a link, or a copy that did not arrive whole changes nothing, and
// the verdict names every file that changed and the special entries.
void tst_backup_verifier::changedFilesGoInPlaceOnlyInsideTheBackupAndAreNamed()
{
    using jobs::ChangedFiles;
    QVERIFY(QDir().mkpath(QStringLiteral("Incoming/Refetched/files")));
    QVERIFY(QDir().mkpath(QStringLiteral("outside/secret")));
    QVERIFY(QFile::link(QStringLiteral("../outside"), QStringLiteral("mobile/lnk")));
    const QByteArray hostile = kNames[4]; // "mobile/Media/%PATH% & ^ !x"
    QVERIFY(write("mobile/Media/gone.db-journal", "old"));
    QVERIFY(write("outside/secret/f", "keep"));
    const QByteArray dir = "Incoming/Refetched/";
    for (int n = 1; n <= 5; ++n)
        QVERIFY(write(dir + "files/" + QByteArray::number(n), "version " + QByteArray::number(n)));
    QVERIFY(write(dir + "changes.txt",
                  "# Zorvane changed files 1\n"
                  "whole 1 9 " + hostile + "\n"                     // in place
                  "changing 2 9 mobile/New folder/new.txt\n"        // came with its folder
                  "whole 3 9 mobile/lnk/secret/f\n"                 // through a link: refused
                  "whole 4 9 mobile/../outside/secret/f\n"          // outside: refused
                  "whole 5 99 mobile/Media/a\\b.txt\n"              // cut short: refused
                  "vanished mobile/Media/gone.db-journal\n"
                  "unfetched mobile/Media/not here\n"               // no first copy either
                  "# end 7\n"));
    QVERIFY(write(dir + "specials.txt", "# Zorvane special entries 1\n501 501 620 p mobile/Library/"
                                        "pipe\n0 0 755 s mobile/x.sock\n# end 2\n"));
    for (const char *record : {"file-sizes.txt", "owners-modes.txt", "links.txt"})
        QVERIFY(write(dir + record, QByteArray("after ") + record));
    const QByteArray before = readAt("mobile/Media/a\\b.txt");

    const ChangedFiles::Result r = ChangedFiles::place();
    QVERIFY(r.listRead);
    QCOMPARE(readAt(hostile), QByteArray("version 1"));
    QCOMPARE(readAt("mobile/New folder/new.txt"), QByteArray("version 2"));
    QCOMPARE(readAt("outside/secret/f"), QByteArray("keep"));
    QCOMPARE(readAt("mobile/Media/a\\b.txt"), before);
    QCOMPARE(readAt("mobile/Media/gone.db-journal"), QByteArray("(missing)"));
    QCOMPARE(readAt("root/Library/Zorvane/file-sizes.txt"), QByteArray("after file-sizes.txt"));
    QCOMPARE(readAt("root/Library/Zorvane/specials.txt").left(27),
             QByteArray("# Zorvane special entries 1"));
    QCOMPARE(r.notPlaced.size(), 3);
    QCOMPARE(r.missing, QStringList{QStringLiteral("mobile/Media/not here")});
    QVERIFY(!r.complete());
    QCOMPARE(r.pipes + r.sockets, 2);

    // The verdict of a backup whose check passed says all of it in words.
    QByteArray notes = "job backup\r\nverified 10 100 0 0 0\r\n";
    for (const QString &line : ChangedFiles::noteLines(r))
        if (!line.startsWith(QLatin1String("failed")))
            notes += line.toUtf8() + "\r\n";
    notes += "kept new\r\nend\r\n";
    const jobs::JobOutcome o =
        jobs::JobOutcome::decide(jobs::JobOutcome::Kind::Backup, notes, {}, QStringLiteral("."));
    QVERIFY2(o.succeeded, qPrintable(o.text));
    for (const QString &said :
         {QStringLiteral("1 file changed while it was copied and may not be consistent: "
                         "mobile/New folder/new.txt"),
          QStringLiteral("1 file changed while it was copied and was copied again, whole: ")
              + QString::fromUtf8(hostile),
          QStringLiteral("1 file was removed from your device while the backup was made and is not in "
                         "it: mobile/Media/gone.db-journal"),
          QStringLiteral("2 special entries (a pipe, a socket)"),
          QStringLiteral("A restore makes the pipes again")})
        QVERIFY2(o.text.contains(said), qPrintable(o.text));
    QCOMPARE(o.title, QStringLiteral("Backup Complete, but Files Changed"));
}

// Backups kept as generations: an unchanged file is one file shared by the
// newest backup and the one before it, a changed or removed one keeps its old
// content there. A stop while a backup moved in, or while the oldest was being
// removed, leaves every complete generation whole, and tidying finishes both.
void tst_backup_verifier::generationsShareUnchangedFilesAndSurviveAStop()
{
    using jobs::Generations;
    platform::FileSystem &files = platform::Platform::files();
    const auto backUp = [&](const QList<QPair<QByteArray, QByteArray>> &content) {
        for (const char *t : {"mobile", "root", "Applications"})
            files.removeTree(t);
        QList<QByteArray> lines;
        bool written = QDir().mkpath(QStringLiteral("root/Library/Zorvane"))
                       && QDir().mkpath(QStringLiteral("mobile/Media"))
                       && QDir().mkpath(QStringLiteral("Applications"));
        for (const auto &[path, data] : content) {
            written = written && write(path, data);
            lines << QByteArray::number(data.size()) + ' ' + path;
        }
        QStringList unreadable;
        QString error;
        // As a passing check leaves it: the sizes record and the list of contents.
        return written && write(BackupVerifier::kSizesRecord.toUtf8(), list(lines, lines.size()))
               && BackupHashes::record(&unreadable, &error);
    };
    const auto setAside = [&] {
        bool moved = QDir().mkdir(QStringLiteral("PreviousBackup"));
        for (const QString &t : {QStringLiteral("Applications"), QStringLiteral("mobile"),
                                 QStringLiteral("root")})
            moved = moved && files.rename(t, QStringLiteral("PreviousBackup/") + t);
        return moved && write("PreviousBackup/saved.txt", "saved\n");
    };
    const QByteArray photo = "mobile/Media/IMG 0001 \xe9.JPG";
    QVERIFY(backUp({{photo, "photo"}, {"mobile/Media/sms.db", "v1"}, {"mobile/Media/gone.txt", "x"}}));
    QVERIFY(setAside());
    QVERIFY(backUp({{photo, "photo"}, {"mobile/Media/sms.db", "v2"}, {"mobile/Media/new.txt", "y"}}));

    const Generations::Kept kept = Generations::keepPrevious(Generations::kDefaultKeep);
    QCOMPARE(kept.outcome, Generations::Kept::Outcome::Kept);
    QVERIFY(!QFileInfo::exists(QStringLiteral("PreviousBackup")));
    const QByteArray first = "Generations/" + kept.folder.toUtf8() + '/';
    QCOMPARE(readAt(first + "mobile/Media/sms.db"), QByteArray("v1"));
    QCOMPARE(readAt(first + "mobile/Media/gone.txt"), QByteArray("x"));
    QVERIFY(!QFileInfo::exists(QString::fromUtf8(first) + QStringLiteral("mobile/Media/new.txt")));
    QVERIFY(!QFileInfo::exists(QString::fromUtf8(first) + QStringLiteral("saved.txt")));
    QVERIFY(files.sameFile(photo, first + photo));
    QVERIFY(!files.sameFile("mobile/Media/sms.db", first + "mobile/Media/sms.db"));
    QCOMPARE(readAt(photo), QByteArray("photo"));
    QCOMPARE(kept.linked, 1);
    // The newest backup still checks out as it was recorded.
    QVERIFY(BackupHashes::check().passed());
    QCOMPARE(Generations::list().size(), 1);
    QCOMPARE(Generations::list().first().files, 3);

    // Stopped right after the next backup moved in, and while the first was
    // being removed: nothing half done is counted, and tidying finishes both.
    QVERIFY(setAside());
    QVERIFY(backUp({{photo, "photo"}, {"mobile/Media/sms.db", "v3"}}));
    QVERIFY(files.rename(QStringLiteral("PreviousBackup"), QStringLiteral("Generations/.new-x")));
    QVERIFY(files.rename(QStringLiteral("Generations/") + kept.folder,
                         QStringLiteral("Generations/.removing-") + kept.folder));
    QCOMPARE(Generations::list().size(), 0);
    QCOMPARE(Generations::tidy().size(), 2);
    QList<Generations::Generation> all = Generations::list();
    QCOMPARE(all.size(), 1);
    QCOMPARE(readAt("Generations/" + all.first().folder.toUtf8() + "/mobile/Media/sms.db"),
             QByteArray("v2"));
    QVERIFY(QDir(QStringLiteral("Generations")).entryList(QDir::AllEntries | QDir::Hidden
                                                           | QDir::NoDotAndDotDot)
                == QStringList{all.first().folder});

    // Kept to two backups in all: the newest in place and the one before it.
    QVERIFY(setAside());
    QVERIFY(backUp({{photo, "photo"}, {"mobile/Media/sms.db", "v4"}}));
    const Generations::Kept rotated = Generations::keepPrevious(2);
    QCOMPARE(rotated.removed, QStringList{all.first().folder});
    all = Generations::list();
    QCOMPARE(all.size(), 1);
    QCOMPARE(readAt("Generations/" + all.first().folder.toUtf8() + "/mobile/Media/sms.db"),
             QByteArray("v3"));

    // A kept backup's copy damaged on this disk after its lists were made
    // (same size, one byte off, past the first megabyte) is not taken for the
    // newest file: that keeps its own bytes, the copies that are the same
    // become links.
    const QByteArray song(3 << 20, 's'), mail(2 << 20, 'm');
    QByteArray damaged = song;
    damaged[damaged.size() - 1] = 'x';
    const QByteArray songPath = "mobile/Media/song.mp3", mailPath = "mobile/Media/mail.emlx";
    QVERIFY(setAside());
    QVERIFY(backUp({{photo, "photo"}, {songPath, song}, {mailPath, mail}}));
    QCOMPARE(Generations::keepPrevious(Generations::kDefaultKeep).outcome,
             Generations::Kept::Outcome::Kept);
    QVERIFY(setAside());
    QVERIFY(write("PreviousBackup/" + songPath, damaged));
    QVERIFY(backUp({{photo, "photo"}, {songPath, song}, {mailPath, mail}}));
    const Generations::Kept checked = Generations::keepPrevious(Generations::kDefaultKeep);
    const QByteArray kept2 = "Generations/" + checked.folder.toUtf8() + '/';
    QVERIFY(!files.sameFile(songPath, kept2 + songPath));
    QFile newestSong(QString::fromUtf8(songPath));
    QVERIFY(newestSong.open(QIODevice::ReadOnly) && newestSong.readAll() == song);
    QVERIFY(files.sameFile(mailPath, kept2 + mailPath) && files.sameFile(photo, kept2 + photo));

    // On a disk without hard links (FAT, exFAT) nothing is kept: the previous
    // backup stays whole where the script replaces it as before.
    struct NoLinksDisk : platform::QtFileSystem { // stand-in for a FAT disk
        Link hardLink(const QByteArray &, const QByteArray &) override { return Link::Unsupported; }
    };
    QVERIFY(setAside());
    QVERIFY(backUp({{photo, "photo"}, {"mobile/Media/sms.db", "v5"}}));
    const int keptBefore = int(Generations::list().size());
    platform::Platform::setFiles(std::make_unique<NoLinksDisk>());
    const auto production = qScopeGuard([] { platform::Platform::setFiles(nullptr); });
    const Generations::Kept none = Generations::keepPrevious(Generations::kDefaultKeep);
    QCOMPARE(none.outcome, Generations::Kept::Outcome::NoLinks);
    QCOMPARE(readAt("PreviousBackup/" + songPath), song.left(4096));
    QCOMPARE(readAt("PreviousBackup/" + photo), QByteArray("photo"));
    QCOMPARE(int(Generations::list().size()), keptBefore);
    QVERIFY(Generations::report(none).join(QLatin1Char(' ')).contains(QStringLiteral("hard links")));
}

// An older backup put in place for a restore: its trees are new folders of
// hard links to its own files, the newest backup waits whole aside, and
// putting it back removes only that linked copy. What else lies in place is
// kept; a stop at any step is settled by the tidying at start.
void tst_backup_verifier::olderBackupInPlaceIsLinksAndTheNewestComesBack()
{
    using jobs::Generations;
    using jobs::PlacedGeneration;
    platform::FileSystem &files = platform::Platform::files();
    const QByteArray photo = "mobile/Media/IMG 0001 \xe9.JPG";
    const auto backUp = [&](const QByteArray &sms) {
        QList<QByteArray> lines;
        bool written = QDir().mkpath(QStringLiteral("root/Library/Zorvane"))
                       && QDir().mkpath(QStringLiteral("mobile/Media"));
        for (const QByteArray &path : {photo, QByteArray("mobile/Media/sms.db")}) {
            const QByteArray data = path == photo ? QByteArray("photo") : sms;
            written = written && write(path, data);
            lines << QByteArray::number(data.size()) + ' ' + path;
        }
        QStringList unreadable;
        QString error;
        return written && write(BackupVerifier::kSizesRecord.toUtf8(), list(lines, lines.size()))
               && BackupHashes::record(&unreadable, &error);
    };
    for (const char *t : {"mobile", "root", "Applications"})
        files.removeTree(t);
    QVERIFY(backUp("v1") && write("BackupDevice.txt", "hostkey ssh-ed25519 aa\n"));
    QVERIFY(QDir().mkdir(QStringLiteral("PreviousBackup")));
    for (const QString &item : jobs::backupItems()) {
        if (QFileInfo::exists(item))
            QVERIFY(files.rename(item, QStringLiteral("PreviousBackup/") + item));
    }
    QVERIFY(backUp("v2") && write("BackupDevice.txt", "hostkey ssh-ed25519 bb\n"));
    QCOMPARE(Generations::keepPrevious(Generations::kDefaultKeep).outcome,
             Generations::Kept::Outcome::Kept);
    const QString older = Generations::list().first().folder;
    const QByteArray kept = "Generations/" + older.toUtf8() + '/';
    const QByteArray aside = PlacedGeneration::kAsideFolder.toUtf8() + '/';

    QString why;
    QVERIFY2(PlacedGeneration::place(older, &why), qPrintable(why));
    QCOMPARE(PlacedGeneration::current().value().folder, older);
    QCOMPARE(readAt("mobile/Media/sms.db"), QByteArray("v1"));
    QCOMPARE(readAt("BackupDevice.txt"), QByteArray("hostkey ssh-ed25519 aa\n"));
    QVERIFY(files.sameFile("mobile/Media/sms.db", kept + "mobile/Media/sms.db"));
    QVERIFY(BackupHashes::check().passed());
    QCOMPARE(readAt(aside + "mobile/Media/sms.db"), QByteArray("v2"));
    // Only one at a time.
    QVERIFY(!PlacedGeneration::place(older, &why));

    // A file someone put among the linked copy: that tree is kept, out of the way.
    QVERIFY(write("mobile/Media/mine.txt", "mine"));
    QStringList lines;
    QVERIFY(PlacedGeneration::putBack(&lines));
    QCOMPARE(lines.size(), 1);
    QCOMPARE(readAt("FoundDuringRestore/mobile/Media/mine.txt"), QByteArray("mine"));
    QCOMPARE(readAt("mobile/Media/sms.db"), QByteArray("v2"));
    QCOMPARE(readAt("BackupDevice.txt"), QByteArray("hostkey ssh-ed25519 bb\n"));
    QCOMPARE(readAt(kept + "mobile/Media/sms.db"), QByteArray("v1"));
    QCOMPARE(readAt(kept + photo), QByteArray("photo"));
    QVERIFY(!PlacedGeneration::newestIsAside() && !PlacedGeneration::current());
    QVERIFY(BackupHashes::check().passed());

    // Stopped while the newest was being moved aside: it comes back, and
    // nothing in place is taken for a linked copy.
    QVERIFY(files.makeFolder(PlacedGeneration::kAsideFolder.toUtf8()));
    QVERIFY(write(aside + "placed.txt", "generation " + older.toUtf8() + '\n'));
    QVERIFY(files.rename(QStringLiteral("mobile"), QString::fromUtf8(aside + "mobile")));
    QCOMPARE(Generations::tidy().size(), 1);
    QCOMPARE(readAt("mobile/Media/sms.db"), QByteArray("v2"));
    QVERIFY(BackupHashes::check().passed());

    // Stopped while its links were being made: the partial copy goes.
    QVERIFY2(PlacedGeneration::place(older, &why), qPrintable(why));
    QVERIFY(files.removeTree(QStringLiteral("root")));
    QVERIFY(files.deleteFileAt(photo));
    const QStringList told = Generations::tidy();
    QVERIFY2(told.size() == 1
                 && told.first().contains(
                     PlacedGeneration::madeText(Generations::list().first().made)),
             qPrintable(told.join(QLatin1Char('\n'))));
    QCOMPARE(readAt("mobile/Media/sms.db"), QByteArray("v2"));
    QCOMPARE(readAt(photo), QByteArray("photo"));
    QCOMPARE(readAt(kept + "mobile/Media/sms.db"), QByteArray("v1"));
    QVERIFY(!PlacedGeneration::newestIsAside());
    QVERIFY(BackupHashes::check().passed());
}

// The quick repeat's comparison: a file listed exactly as before, not within
// two seconds of the earlier listing, and whose copy here has its size, is
// linked from the previous backup; any other difference (an older time too)
// fetches it. A file that became a folder is a folder, a file that went is
// not there, links and unlisted subtrees are fetched whole with the records.
void tst_backup_verifier::quickRepeatLinksOnlyFilesListedTheSame()
{
    using jobs::QuickRepeat;
    platform::FileSystem &files = platform::Platform::files();
    const qint64 then = 1800000000;
    const QByteArray hostile = kNames[3]; // "mobile/Media/%PATH% & ^ !x"
    QVERIFY(QDir().mkpath(QStringLiteral("PreviousBackup/root/Library/Zorvane")));
    QVERIFY(QDir().mkpath(QStringLiteral("PreviousBackup/mobile/Media")));
    QVERIFY(QDir().mkpath(QStringLiteral("Incoming")));
    for (const char *name : {"same", "recent", "older", "size", "became", "gone", "cut"})
        QVERIFY(write("PreviousBackup/mobile/Media/" + QByteArray(name), "12345"));
    QVERIFY(write("PreviousBackup/mobile/Media/cut", "123"));
    QVERIFY(write("PreviousBackup/" + hostile, "12345"));
    const QList<QByteArray> before{"d mobile", "d mobile/Media",
                                   stateLine("mobile/Media/same", 5, then - 100),
                                   stateLine(hostile, 5, then - 100),
                                   stateLine("mobile/Media/recent", 5, then - 1),
                                   stateLine("mobile/Media/older", 5, then - 100),
                                   stateLine("mobile/Media/size", 5, then - 100),
                                   stateLine("mobile/Media/became", 5, then - 100),
                                   stateLine("mobile/Media/gone", 5, then - 100),
                                   stateLine("mobile/Media/cut", 5, then - 100)};
    QVERIFY(write("PreviousBackup/" + QuickRepeat::kKeptList, states(then, before)));
    QVERIFY(write("Incoming/states.txt",
                  states(then + 600, {"d mobile", "d mobile/Media", "d root",
                                      stateLine("mobile/Media/same", 5, then - 100),
                                      stateLine(hostile, 5, then - 100),
                                      stateLine("mobile/Media/recent", 5, then - 1),
                                      stateLine("mobile/Media/older", 5, then - 200),
                                      stateLine("mobile/Media/size", 6, then - 100),
                                      "d mobile/Media/became",
                                      stateLine("mobile/Media/became/inner", 5, then + 10),
                                      stateLine("mobile/Media/cut", 5, then - 100),
                                      stateLine("mobile/Media/new", 9, then + 10),
                                      "l mobile/Media/link", "o mobile/Media/pipe",
                                      "x root/Library/Lockdown", "# line breaks 0"})));

    const QuickRepeat::Plan plan = QuickRepeat::plan(QStringLiteral("Incoming"),
                                                     QStringLiteral("PreviousBackup"));
    QVERIFY2(plan.possible, qPrintable(plan.reason));
    QVERIFY(files.sameFile("Incoming/mobile/Media/same", "PreviousBackup/mobile/Media/same"));
    QVERIFY(files.sameFile("Incoming/" + hostile, "PreviousBackup/" + hostile));
    QCOMPARE(plan.linkedFiles, 2);
    QCOMPARE(files.entryAt("Incoming/mobile/Media/became", nullptr),
             platform::FileSystem::Entry::Folder);
    for (const char *absent : {"recent", "older", "size", "gone", "cut", "new", "pipe"})
        QCOMPARE(files.entryAt("Incoming/mobile/Media/" + QByteArray(absent), nullptr),
                 platform::FileSystem::Entry::None);
    const QList<QByteArray> fetch{"mobile/Media/became/inner", "mobile/Media/cut",
                                  "mobile/Media/link",         "mobile/Media/new",
                                  "mobile/Media/older",        "mobile/Media/recent",
                                  "mobile/Media/size",         "root/Library/Lockdown",
                                  "root/Library/Zorvane"};
    QCOMPARE(plan.fetch, fetch);
    QCOMPARE(plan.fetchFiles, 6);
    QCOMPARE(plan.fetchBytes, 5 + 5 + 9 + 5 + 5 + 6);
    QByteArray list;
    QString error;
    QVERIFY(files.readFile(QStringLiteral("Incoming/fetch.lst"), &list, &error));
    QCOMPARE(list, fetch.join('\0') + '\0');
    QCOMPARE(QuickRepeat::report(plan).first(),
             QStringLiteral("Copying only what changed: 6 files, 0.0 MB to fetch."));
    // Nothing was written into the previous backup.
    QCOMPARE(readAt("PreviousBackup/mobile/Media/same"), QByteArray("12345"));
}

// A list that is cut, names a place outside the trees, lists a name twice or
// holds names with line breaks copies the whole device instead.
void tst_backup_verifier::quickRepeatRefusesListsItCannotTrust()
{
    using jobs::QuickRepeat;
    QVERIFY(QDir().mkpath(QStringLiteral("PreviousBackup/root/Library/Zorvane")));
    QVERIFY(QDir().mkpath(QStringLiteral("Incoming")));
    const QByteArray good = states(100, {"d mobile", stateLine("mobile/a", 1, 1)});
    QVERIFY(write("PreviousBackup/" + QuickRepeat::kKeptList, good));
    const QList<QByteArray> bad{
        good.left(good.size() - 2),
        states(100, {"d mobile", stateLine("mobile/../../outside", 1, 1)}),
        states(100, {stateLine("/etc/passwd", 1, 1)}),
        states(100, {stateLine("mobile/a", 1, 1), stateLine("mobile/a", 2, 1)}),
        states(100, {stateLine("mobile/a", 1, 1), "# line breaks 2"}),
        states(100, {"f 1 2 mobile/a"}),
        QByteArray("# Zorvane file sizes 1\n# end 0\n")};
    for (const QByteArray &list : bad) {
        QVERIFY(write("Incoming/states.txt", list));
        const QuickRepeat::Plan plan = QuickRepeat::plan(QStringLiteral("Incoming"),
                                                         QStringLiteral("PreviousBackup"));
        QVERIFY2(!plan.possible, list.constData());
        QVERIFY(!plan.reason.isEmpty());
        QVERIFY(!QFileInfo::exists(QStringLiteral("outside")));
    }
    QVERIFY(write("Incoming/states.txt", good));
    QVERIFY(platform::Platform::files().deleteFile(QString::fromLatin1("PreviousBackup/" + QuickRepeat::kKeptList)));
    QVERIFY(!QuickRepeat::plan(QStringLiteral("Incoming"), QStringLiteral("PreviousBackup")).possible);
}

// What the device sends is made only inside the staging folder and only
// where it was asked for: no "..", no absolute name, no link made or
// followed (a link, then a file through it), no hard link to what the stream
// did not bring; a file linked there from the previous backup is replaced,
// never written into. Long names, pax paths and streams one after the other
// are read.
void tst_backup_verifier::tarStagingMakesOnlyWhatWasAskedInsideTheStagingFolder()
{
    using jobs::TarStaging;
    platform::FileSystem &files = platform::Platform::files();
    QVERIFY(QDir().mkpath(QStringLiteral("Incoming/mobile/Media")));
    QVERIFY(QDir().mkpath(QStringLiteral("PreviousBackup/mobile/Media")));
    QVERIFY(QDir().mkpath(QStringLiteral("outside")));
    QVERIFY(QFile::link(QStringLiteral("../../outside"), QStringLiteral("Incoming/mobile/evil")));
    QVERIFY(write("PreviousBackup/mobile/Media/linked", "old"));
    QVERIFY(files.hardLink("PreviousBackup/mobile/Media/linked", "Incoming/mobile/Media/linked")
            == platform::FileSystem::Link::Made);
    const QByteArray longName = "mobile/Media/" + QByteArray(150, 'n') + ".txt";
    const QByteArray pax = "mobile/Media/pax name & ^.txt";
    const QSet<QByteArray> wanted{"mobile/Media/new", "mobile/lnk", "mobile/evil/x",
                                  longName, pax, "mobile/Media/twin", "mobile/Media/stray",
                                  "mobile/Media/linked", "../escape", "root/Library/Zorvane"};
    QByteArray stream = tarMember("mobile/Media/new", '0', "fresh")
                        + tarMember("../escape", '0', "x") + tarMember("/abs", '0', "x")
                        + tarMember("mobile/Media/../../../escape2", '0', "x")
                        + tarMember("mobile/lnk", '2', {}, "/")
                        + tarMember("mobile/lnk/through", '0', "inside")
                        + tarMember("mobile/evil/x", '0', "x")
                        + tarMember("././@LongLink", 'L', longName + '\0')
                        + tarMember(longName.left(100), '0', "long")
                        + tarMember("PaxHeader", 'x', QByteArray::number(pax.size() + 9) + " path=" + pax + '\n')
                        + tarMember("mobile/Media/short", '0', "pax")
                        + tarMember("mobile/Media/twin", '1', {}, "mobile/Media/new")
                        + tarMember("mobile/Media/stray", '1', {}, "mobile/Media/linked")
                        + tarMember("mobile/Media/linked", '0', "new")
                        + tarMember("mobile/Media/unasked", '0', "x")
                        + tarMember("mobile/Media/fifo", '6') + tarEnd()
                        + tarMember("root/Library/Zorvane/", '5')
                        + tarMember("root/Library/Zorvane/file-sizes.txt", '0', "sizes") + tarEnd();
    QVERIFY(write("Incoming/fetch.tar", stream));

    const TarStaging::Result r =
        TarStaging::extract(QStringLiteral("Incoming/fetch.tar"), QStringLiteral("Incoming"), wanted);
    QVERIFY2(r.whole, qPrintable(r.problem));
    QCOMPARE(readAt("Incoming/mobile/Media/new"), QByteArray("fresh"));
    QCOMPARE(readAt("Incoming/mobile/Media/twin"), QByteArray("fresh"));
    QCOMPARE(readAt("Incoming/" + longName), QByteArray("long"));
    QCOMPARE(readAt("Incoming/" + pax), QByteArray("pax"));
    QCOMPARE(readAt("Incoming/mobile/lnk/through"), QByteArray("inside"));
    QCOMPARE(files.entryAt("Incoming/mobile/lnk", nullptr), platform::FileSystem::Entry::Folder);
    QCOMPARE(readAt("Incoming/root/Library/Zorvane/file-sizes.txt"), QByteArray("sizes"));
    QCOMPARE(readAt("Incoming/mobile/Media/linked"), QByteArray("new"));
    QCOMPARE(readAt("PreviousBackup/mobile/Media/linked"), QByteArray("old"));
    for (const QByteArray &absent : {QByteArray("escape"), QByteArray("Incoming/escape"),
                                     QByteArray("outside/x"), QByteArray("Incoming/mobile/Media/unasked"),
                                     QByteArray("Incoming/mobile/Media/stray"),
                                     QByteArray("Incoming/mobile/Media/fifo"),
                                     QByteArray("Incoming/mobile/Media/short")})
        QCOMPARE(files.entryAt(absent, nullptr), platform::FileSystem::Entry::None);
    QCOMPARE(QDir(QStringLiteral("outside")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList());
    QCOMPARE(r.files, 7);
    QCOMPARE(r.refused.size(), 8);
    QVERIFY(!TarStaging::report(r).join(QLatin1Char('\n')).contains(QStringLiteral("NOT whole")));
    for (const QByteArray &name : {QByteArray("../x"), QByteArray("/x"), QByteArray("mobile/./x"),
                                   QByteArray("mobile//x"), QByteArray("elsewhere/x"), QByteArray("mobile")})
        QVERIFY2(!TarStaging::nameRefusal(name).isEmpty(), name.constData());
    QVERIFY(TarStaging::nameRefusal("mobile/..a/b c").isEmpty());
}

// A stream cut in a file's data, with a damaged header or without its end
// is not whole, and says why.
void tst_backup_verifier::tarStagingRefusesACutOrDamagedStream()
{
    using jobs::TarStaging;
    QVERIFY(QDir().mkpath(QStringLiteral("Incoming")));
    const QByteArray member = tarMember("mobile/big", '0', QByteArray(3000, 'b'));
    QByteArray damaged = member + tarEnd();
    damaged[10] = 'X';
    for (const QByteArray &stream : {member.left(1500), damaged, member})
    {
        QVERIFY(write("Incoming/fetch.tar", stream));
        const TarStaging::Result r = TarStaging::extract(
            QStringLiteral("Incoming/fetch.tar"), QStringLiteral("Incoming"), {"mobile/big"});
        QVERIFY(!r.whole);
        QVERIFY(!r.problem.isEmpty());
        QVERIFY(TarStaging::report(r).join(QLatin1Char('\n')).contains(QStringLiteral("NOT whole")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("Incoming/mobile/big"))
                || stream == member);
    }
}

QTEST_GUILESS_MAIN(tst_backup_verifier)
#include "tst_backup_verifier.moc"
