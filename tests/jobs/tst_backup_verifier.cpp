// The check that decides whether a fetched backup is whole, against a sizes
// record as the device writes it, in a folder of the suite's own (no device,
// no root).
#include "jobs/BackupVerifier.h"
#include "support/FolderFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <memory>

using jobs::BackupVerifier;

namespace {

const QByteArray kHeader = "# Zorvane file sizes 1\n";

bool put(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

bool putRecord(const QByteArray &content) { return put(BackupVerifier::kSizesRecord, content); }

} // namespace

class tst_backup_verifier : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<FolderFixture>();
        QVERIFY2(m_folder->isValid(), qPrintable(m_folder->error()));
        // A backup of three files, one in each tree; names with blanks and letters.
        QVERIFY(put(QStringLiteral("Applications/Mail Ü.app/Mail"), QByteArray(1200, 'm')));
        QVERIFY(put(QStringLiteral("mobile/Library/Preferences/a.plist"), "plist"));
        QVERIFY(put(QStringLiteral("root/Library/Lockdown/pair"), QByteArray()));
    }
    void cleanup() { m_folder.reset(); }

    void wholeBackupIsVerified()
    {
        QVERIFY(putRecord(kHeader
                          + "1200 Applications/Mail \xc3\x9c.app/Mail\n"
                            "5 mobile/Library/Preferences/a.plist\n"
                            "# a remark\n\n"
                            "0 root/Library/Lockdown/pair\n"));
        const BackupVerifier::Result r = BackupVerifier::check();
        QVERIFY(r.recordFound);
        QVERIFY(r.complete());
        QCOMPARE(r.files, 3);
        QCOMPARE(r.bytes, 1205);
        QCOMPARE(BackupVerifier::outcomeLine(r), QStringLiteral("verified 3 1205 0 0"));
        QCOMPARE(BackupVerifier::report(r),
                 QStringList{"Backup check: 3 files, 0.0 MB arrived, every file with the size "
                             "the device listed."});
    }

    void missingAndWrongSizedFilesAreNamed()
    {
        QVERIFY(putRecord(kHeader
                          + "1201 Applications/Mail \xc3\x9c.app/Mail\n"
                            "5 mobile/Library/Preferences/a.plist\n"
                            "7 mobile/Media/gone.jpg\n"
                            "3 root/Library/Lockdown\n")); // a folder where a file was
        const BackupVerifier::Result r = BackupVerifier::check();
        QVERIFY(!r.complete());
        QCOMPARE(r.files, 4);
        QCOMPARE(r.missing, (QStringList{"mobile/Media/gone.jpg", "root/Library/Lockdown"}));
        QCOMPARE(r.wrongSize, QStringList{QString::fromUtf8("Applications/Mail Ü.app/Mail")});
        QCOMPARE(BackupVerifier::outcomeLine(r), QStringLiteral("incomplete 4 1216 2 1"));
        const QStringList report = BackupVerifier::report(r);
        QVERIFY2(report.first().contains(QStringLiteral("NOT complete")), qPrintable(report[0]));
        QVERIFY(report.contains(QStringLiteral("  missing: mobile/Media/gone.jpg")));
        QVERIFY(report.contains(QString::fromUtf8("  size differs: Applications/Mail Ü.app/Mail")));
    }

    // Without a record the device wrote, nothing can be called complete.
    void recordWithoutItsHeaderIsNoRecord_data()
    {
        QTest::addColumn<QByteArray>("record"); // "-" for no record at all
        QTest::newRow("missing") << QByteArray("-");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("another header") << QByteArray("# Zorvane file sizes 2\n5 mobile/x\n");
        QTest::newRow("no header") << QByteArray("5 mobile/Library/Preferences/a.plist\n");
        QTest::newRow("owners record") << QByteArray("# Zorvane owners and modes 1\n");
    }
    void recordWithoutItsHeaderIsNoRecord()
    {
        QFETCH(QByteArray, record);
        if (record != "-")
            QVERIFY(putRecord(record));
        const BackupVerifier::Result r = BackupVerifier::check();
        QVERIFY(!r.recordFound);
        QVERIFY(!r.complete());
        QCOMPARE(BackupVerifier::outcomeLine(r), QStringLiteral("unchecked"));
        QVERIFY(BackupVerifier::report(r).first().contains(QStringLiteral("did not arrive")));
    }

    // A record that lists nothing proves nothing.
    void emptyListIsNotComplete()
    {
        QVERIFY(putRecord(kHeader));
        const BackupVerifier::Result r = BackupVerifier::check();
        QVERIFY(r.recordFound);
        QVERIFY(!r.complete());
    }

    // The record comes from the device: names that leave the backup's trees,
    // with either separator, are neither counted nor looked at.
    void namesOutsideTheBackupAreIgnored()
    {
        QVERIFY(put(QStringLiteral("LastJob.txt"), "notes"));
        QVERIFY(putRecord(kHeader
                          + "5 mobile/Library/Preferences/a.plist\n"
                            "5 LastJob.txt\n"
                            "5 ./LastJob.txt\n"
                            "5 mobile/../LastJob.txt\n"
                            "5 mobile\\..\\LastJob.txt\n"
                            "5 root/Library/..\\..\\LastJob.txt\n"
                            "5 Applications/..\n"
                            "5 "
                          + QFile::encodeName(m_folder->file("LastJob.txt"))
                          + "\n"
                            "5 mobiles/x\n"));
        const BackupVerifier::Result r = BackupVerifier::check();
        QCOMPARE(r.files, 1);
        QCOMPARE(r.bytes, 5);
        QVERIFY(r.missing.isEmpty());
        QVERIFY(r.wrongSize.isEmpty());
    }

private:
    std::unique_ptr<FolderFixture> m_folder;
};

QTEST_GUILESS_MAIN(tst_backup_verifier)
#include "tst_backup_verifier.moc"
