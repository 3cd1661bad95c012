// The companion files in the program's folder: all there, fit for the device's
// shell, and the owners-and-modes tools round-trip awkward names.
#include "TreeSnapshot.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString bin(const QString &name)
{
    return qEnvironmentVariable("ZORVANE_BIN_DIR") + QLatin1Char('/') + name;
}

const QStringList deviceFiles{
    QStringLiteral("move.sh"),  QStringLiteral("hold.sh"),    QStringLiteral("unhold.sh"), QStringLiteral("changed.sh"),
    QStringLiteral("back.sh"),  QStringLiteral("install.sh"), QStringLiteral("fixmail.sh"),
    QStringLiteral("other.sh"), QStringLiteral("apps.sh"),    QStringLiteral("fonts.sh"),
    QStringLiteral("cp"),       QStringLiteral("chown"),      QStringLiteral("chown1"),
    QStringLiteral("plink.exe")};

// Runs a command with the device's shell (busybox sh), as the device would.
QByteArray deviceSh(const QStringList &args, int *exitCode)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("busybox"), QStringList{QStringLiteral("sh")} + args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        *exitCode = -1;
        return p.readAll();
    }
    *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAll();
}

bool makeFile(const QString &path, const QByteArray &data, mode_t mode, uid_t uid, gid_t gid)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        return false;
    f.close();
    const QByteArray p = QFile::encodeName(path);
    return ::chown(p.constData(), uid, gid) == 0 && ::chmod(p.constData(), mode) == 0;
}

} // namespace

class tst_companion : public QObject {
    Q_OBJECT

private slots:
    void everyFileTheJobsNameIsThere();
    void deviceFilesSuitTheDeviceShell_data();
    void deviceFilesSuitTheDeviceShell();
    void pictureIsASmallJpeg();
    void iphucCommandFilesUseKnownCommands();
    void ownersAndModesRoundTripAwkwardNames();
};

void tst_companion::everyFileTheJobsNameIsThere()
{
    for (const QString &f :
         deviceFiles
             + QStringList{QStringLiteral("pwned.jpg"), QStringLiteral("phase1.script"),
                           QStringLiteral("phase2.script")})
        QVERIFY2(QFileInfo(bin(f)).isFile() && QFileInfo(bin(f)).size() > 0, qPrintable(f));
}

void tst_companion::deviceFilesSuitTheDeviceShell_data()
{
    QTest::addColumn<QString>("file");
    for (const QString &f : deviceFiles)
        QTest::newRow(qPrintable(f)) << f;
}

void tst_companion::deviceFilesSuitTheDeviceShell()
{
    QFETCH(QString, file);
    QFile f(bin(file));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY2(!text.contains('\r'), "a carriage return breaks the device's shell");
    QVERIFY(text.endsWith('\n'));
    int rc = 0;
    const QByteArray out = deviceSh({QStringLiteral("-n"), bin(file)}, &rc);
    QVERIFY2(rc == 0, out.constData());
}

void tst_companion::pictureIsASmallJpeg()
{
    QImageReader reader(bin(QStringLiteral("pwned.jpg")));
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QVERIFY(image.width() >= 64 && image.height() >= 64);
    QVERIFY(QFileInfo(bin(QStringLiteral("pwned.jpg"))).size() < 32 * 1024);
}

void tst_companion::iphucCommandFilesUseKnownCommands()
{
    const QMap<QString, int> arguments{{QStringLiteral("enterrecovery"), 0},
                                       {QStringLiteral("enterdfu"), 0},
                                       {QStringLiteral("exit"), 0},
                                       {QStringLiteral("waitfor"), 1},
                                       {QStringLiteral("cmd"), -1}};
    for (const QString &name : {QStringLiteral("phase1.script"), QStringLiteral("phase2.script")}) {
        QFile f(bin(name));
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        int commands = 0;
        while (!f.atEnd()) {
            const QString line = QString::fromUtf8(f.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            QVERIFY2(arguments.contains(words.first()), qPrintable(line));
            const int n = arguments.value(words.first());
            QVERIFY2(n < 0 ? words.size() > 1 : words.size() == n + 1, qPrintable(line));
            if (words.first() == QLatin1String("waitfor"))
                QVERIFY2(QStringList({"normal", "recovery", "dfu"}).contains(words.at(1)),
                         qPrintable(line));
            ++commands;
        }
        QVERIFY(commands > 0);
    }
}

void tst_companion::ownersAndModesRoundTripAwkwardNames()
{
    if (geteuid() != 0)
        QSKIP("needs root to give files other owners");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString tree = dir.filePath(QStringLiteral("mobile"));
    QVERIFY(QDir().mkpath(tree + QStringLiteral("/ Leading blank/Ordner mit Umlaut äöü")));
    QVERIFY(QDir().mkpath(tree + QStringLiteral("/Library/Lockdown")));
    QVERIFY(
        makeFile(tree + QStringLiteral("/ Leading blank/trailing blank "), "a", 0640, 501, 501));
    QVERIFY(makeFile(
        tree + QStringLiteral("/ Leading blank/Ordner mit Umlaut äöü/back\\slash %PASS% & x"), "b",
        04711, 0, 80));
    QVERIFY(makeFile(tree + QStringLiteral("/line\nbreak"), "c", 0600, 501, 0));
    QVERIFY(makeFile(tree + QStringLiteral("/Library/Lockdown/pair.plist"), "d", 0600, 0, 0));
    QVERIFY(QFile::link(QStringLiteral("Library"), tree + QStringLiteral("/link to library")));
    QVERIFY(
        ::lchown(QFile::encodeName(tree + QStringLiteral("/link to library")).constData(), 501, 501)
        == 0);
    QVERIFY(::chown(QFile::encodeName(tree).constData(), 501, 501) == 0);
    QVERIFY(::chmod(QFile::encodeName(tree + QStringLiteral("/Library")).constData(), 0705) == 0);
    const TreeSnapshot before = TreeSnapshot::read(tree);

    const QString record = dir.filePath(QStringLiteral("record.txt"));
    int rc = 0;
    QByteArray out =
        deviceSh({bin(QStringLiteral("chown")), QStringLiteral("-x"),
                  QStringLiteral("Library/Lockdown"), record, QStringLiteral("mobile"), tree},
                 &rc);
    QVERIFY2(rc == 0, out.constData());
    QFile f(record);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY(text.startsWith("# Zorvane owners and modes 1\n"));
    QVERIFY(text.contains("\n501 501 640 f mobile/ Leading blank/trailing blank \n"));
    QVERIFY(text.contains(
        "\n0 80 4711 f mobile/ Leading blank/Ordner mit Umlaut äöü/back\\slash %PASS% & x\n"));
    QVERIFY(text.contains("\n501 501 777 l mobile/link to library\n"));
    QVERIFY(text.contains("\n0 0 705 d mobile/Library\n"));
    QVERIFY(!text.contains("Lockdown"));
    QVERIFY(!text.contains("break"));

    // Scramble owners and modes as pscp would leave them, then put them back.
    out = deviceSh({QStringLiteral("-c"),
                    QStringLiteral("chown -hR 0:0 \"$1\" && chmod -R u=rwX,go=rX \"$1\""),
                    QStringLiteral("sh"), tree},
                   &rc);
    QVERIFY2(rc == 0, out.constData());
    QVERIFY(!TreeSnapshot::read(tree).differences(before, TreeSnapshot::OwnersAndModes).isEmpty());
    out = deviceSh({bin(QStringLiteral("chown1")), record, QStringLiteral("mobile"), tree}, &rc);
    QVERIFY2(rc == 0, out.constData());
    // Everything recorded is back; the entries left out stay as scrambled.
    const QStringList diff = TreeSnapshot::read(tree).differences(before, TreeSnapshot::Everything);
    QCOMPARE(diff.size(), 2);
    QVERIFY(diff.filter(QStringLiteral("Library/Lockdown/pair.plist")).size() == 1);
    QVERIFY(diff.filter(QStringLiteral("line\nbreak")).size() == 1);
}

QTEST_GUILESS_MAIN(tst_companion)
#include "tst_companion.moc"
