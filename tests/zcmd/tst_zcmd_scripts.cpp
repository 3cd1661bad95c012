// The interpreter against a table of batch scripts: exact output bytes
// (standard output and error joined, as the command runner reads them) and
// exit status. A process status keeps only its low 8 bits here, so the error
// level 9009 leaves the process as 9009 & 0xff. Stand-ins for pscp, plink and
// iphuc print their arguments one a line, so the argument lists the tools
// receive are checked exactly.
#include "ZcmdHarness.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace zcmdtest;

namespace {

const QByteArray kNotRecognized = "' is not recognized as an internal or external command,\r\n"
                                  "operable program or batch file.\r\n";

QByteArray notRecognized(const QByteArray &name) { return "'" + name + kNotRecognized; }

QStringList runScript(const QString &name = QStringLiteral("t.bat"))
{
    return {QStringLiteral("/c"), QLatin1Char('"') + name + QLatin1Char('"')};
}

} // namespace

class tst_zcmd_scripts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void scripts_data();
    void scripts();
    void startedProgramsAreStarted();
    void passwordStaysOutOfLaterPrograms_data();
    void passwordStaysOutOfLaterPrograms();
    void conformance_data();
    void conformance();

private:
    QByteArray fill(QByteArray text) const;
    QTemporaryDir scratch_;
    QString folder_;
    QByteArray id_;
};

void tst_zcmd_scripts::initTestCase()
{
    QVERIFY(scratch_.isValid());
    folder_ = QDir(scratch_.path()).canonicalPath();
    id_ = QByteArray::number(::getpid());
    for (const char *name : {"pscp", "plink", "iphuc", "argv", "exitwith", "upcase", "both"})
        QVERIFY(installStandIn(folder_, QString::fromLatin1(name)));
}

QByteArray tst_zcmd_scripts::fill(QByteArray text) const
{
    text.replace("@ID@", id_);
    text.replace("@DIR@", folder_.toUtf8());
    return text;
}

void tst_zcmd_scripts::scripts_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("exitCode");

    // --- the line forms of the job scripts ---
    QTest::newRow("header: echo off, title, colour, Cls, label")
        << QByteArray("@echo off\ntitle iPod Touch Files Backup version: 1.0.5 Beta\nColor "
                      "F2\nCls\n: start\n"
                      "echo Do NOT worry if during this process it says something like file not "
                      "found, or path not found.\n")
        << runScript() << QByteArray()
        << QByteArray("\fDo NOT worry if during this process it says something like file not "
                      "found, or path not found.\r\n")
        << 0;

    QTest::newRow("connection settings and every pscp / plink form")
        << QByteArray("@echo off\nset IP=10.0.0.2\nset PASS=fennel\n"
                      "pscp -r -pw %PASS% root@%IP%:/var/Applications .\n"
                      "pscp  -r -pw %PASS% root@%IP%:/var/mobile .\n"
                      "pscp -r -pw %PASS% chown1 root@%IP%:/\n"
                      "pscp -r -pw %PASS% fixmail.sh root@%IP%:/usr/bin\n"
                      "plink -ssh %IP% -l root -pw %PASS% -m move.sh\n")
        << runScript() << QByteArray()
        << QByteArray("-r\n-pwfile\nfennel\nroot@10.0.0.2:/var/Applications\n.\n"
                      "-r\n-pwfile\nfennel\nroot@10.0.0.2:/var/mobile\n.\n"
                      "-r\n-pwfile\nfennel\nchown1\nroot@10.0.0.2:/\n"
                      "-r\n-pwfile\nfennel\nfixmail.sh\nroot@10.0.0.2:/usr/bin\n"
                      "-ssh\n10.0.0.2\n-l\nroot\n-pwfile\nfennel\n-m\nmove.sh\n")
        << 0;

    QTest::newRow("empty IP leaves the variable unset")
        << QByteArray("@echo off\nset IP=\nset PASS=fennel\npscp -r -pw %PASS% cp root@%IP%:/\n")
        << runScript() << QByteArray() << QByteArray("-r\n-pwfile\nfennel\ncp\nroot@:/\n") << 0;

    QTest::newRow("rmdir /S /Q with backslash paths, missing folder")
        << QByteArray("@echo off\nmkdir mobile\\Library\\Lockdown\necho x> "
                      "mobile\\Library\\Lockdown\\pair.plist\n"
                      "rmdir /S /Q mobile\\Library\\Lockdown\n"
                      "if exist mobile\\Library echo library stays\n"
                      "if not exist mobile\\Library\\Lockdown echo lockdown gone\n"
                      "rmdir /S /Q MOBILE\nif not exist mobile echo mobile gone\n"
                      "rmdir /S /Q MobileMailSettings.bundle\necho goes on\n")
        << runScript() << QByteArray()
        << QByteArray("library stays\r\nlockdown gone\r\nmobile gone\r\n"
                      "The system cannot find the file specified.\r\ngoes on\r\n")
        << 0; // a failed RMDIR leaves the error level as it was (0 after MKDIR)

    QTest::newRow("closing lines: taskkill with nothing to end, exit keeps the error level")
        << QByteArray("@echo off\ntaskkill.exe >NUL /F /IM NoSuchImage_@ID@.exe\necho "
                      "%ERRORLEVEL%\nexit\n")
        << runScript() << QByteArray()
        << QByteArray("ERROR: The process \"NoSuchImage_@ID@.exe\" not found.\r\n128\r\n") << 128;

    // The caret ending "Done ^.^" joins the pause line to it; the lines after
    // them keep the window open for a key.
    QTest::newRow("SSH.bat: waits for a key at its end")
        << QByteArray("@echo off\ntitle SSHing for the First Time\ncolor 0E\nCls\n:start\nset "
                      "IP=10.0.0.2\n"
                      "set PASS=fennel\npscp -r -pw %PASS% pwned.jpg root@%IP%:/tmp\nDone "
                      "^.^\npause\necho Done.\npause\nexit\n")
        << runScript() << QByteArray("\n")
        << QByteArray("\f-r\n-pwfile\nfennel\npwned.jpg\nroot@10.0.0.2:/tmp\n")
               + notRecognized("Done") + "Done.\r\nPress any key to continue . . . \r\n"
        << (9009 & 0xff); // neither ECHO nor PAUSE changes the error level

    QTest::newRow("DFU.bat lines")
        << QByteArray("@echo off\necho closing necessary iTunes devices, don't be worried if some "
                      "aren't found.\n"
                      "taskkill.exe >NUL /F /IM iTunes_@ID@.exe\niphuc -s phase1.script\n"
                      "echo Sending WTF file please wait...\nsleep 0\niphuc -s phase2.script\n")
        << runScript() << QByteArray()
        << QByteArray("closing necessary iTunes devices, don't be worried if some aren't found.\r\n"
                      "ERROR: The process \"iTunes_@ID@.exe\" not found.\r\n"
                      "-s\nphase1.script\nSending WTF file please wait...\r\n-s\nphase2.script\n")
        << 0;

    // --- invocation ---
    QTest::newRow("/c with the command in quotes, name in another case")
        << QByteArray("@echo off\necho lower-case name runs it\n")
        << runScript(QStringLiteral("T.BAT")) << QByteArray()
        << QByteArray("lower-case name runs it\r\n") << 0;
    QTest::newRow("/c strips the first and the last quote")
        << QByteArray() << QStringList{QStringLiteral("/c"), QStringLiteral("\"argv \"a b\" c\"")}
        << QByteArray() << QByteArray("a b\nc\n") << 0;
    QTest::newRow("batch parameters")
        << QByteArray("@echo off\necho %0 [%1] [%2] [%~2] [%*] [%3]\n")
        << QStringList{QStringLiteral("/c"), QStringLiteral("t.bat one \"two three\"")}
        << QByteArray()
        << QByteArray("t.bat [one] [\"two three\"] [two three] [one \"two three\"] []\r\n") << 0;
    QTest::newRow("LF-only script") << QByteArray("@echo off\necho a\necho b\n") << runScript()
                                    << QByteArray() << QByteArray("a\r\nb\r\n") << 0;
    QTest::newRow("exit code of a program")
        << QByteArray() << QStringList{QStringLiteral("/c"), QStringLiteral("exitwith 5")}
        << QByteArray() << QByteArray() << 5;
    QTest::newRow("exit with a number") << QByteArray("@echo off\nexit 7\necho not reached\n")
                                        << runScript() << QByteArray() << QByteArray() << 7;

    // --- echo ---
    QTest::newRow("command echo while echo is on")
        << QByteArray("echo hi\n@echo off\necho still\n") << runScript() << QByteArray()
        << QByteArray("\r\n@DIR@>echo hi \r\nhi\r\nstill\r\n") << 0;
    QTest::newRow("echo forms")
        << QByteArray(
               "@echo off\necho.\necho\necho on\n@echo\n@echo off\necho  two  blanks \necho.dot\n")
        << runScript() << QByteArray()
        << QByteArray("\r\nECHO is off.\r\nECHO is on.\r\n two  blanks \r\ndot\r\n") << 0;

    // --- percent expansion ---
    QTest::newRow("percent expansion in a batch file")
        << QByteArray(
               "@echo off\nset Name=value\necho [%name%] [%NAME%] [%undefined%]\necho [50%]\n"
               "echo [%%] [%%name%%]\nset PCT=%%name%%\necho [%PCT%]\n")
        << runScript() << QByteArray()
        << QByteArray("[value] [value] []\r\n[50]\r\n[%] [%name%]\r\n[%name%]\r\n") << 0;
    QTest::newRow("percent expansion on a command line keeps undefined names")
        << QByteArray()
        << QStringList{QStringLiteral("/c"), QStringLiteral("echo [%undefined_@ID@%] [50%]")}
        << QByteArray() << QByteArray("[%undefined_@ID@%] [50%]\r\n") << 0;
    QTest::newRow("set forms") << QByteArray(
        "@echo off\nset \"X=quoted value\" ignored\necho [%X%]\nset Y=trail  \necho [%Y%]\nset Y=\n"
        "echo [%Y%]\nset Z_@ID@\n")
                               << runScript() << QByteArray()
                               << QByteArray("[quoted value]\r\n[trail  ]\r\n[]\r\nEnvironment "
                                             "variable Z_@ID@ not defined\r\n")
                               << 1;

    // --- special characters ---
    QTest::newRow("carets and quotes")
        << QByteArray("@echo off\necho a ^& b ^| c ^> d ^< e ^^ f\necho \"a & b | c > d ^\"\n")
        << runScript() << QByteArray()
        << QByteArray("a & b | c > d < e ^ f\r\n\"a & b | c > d ^\"\r\n") << 0;
    QTest::newRow("an expanded value is parsed for special characters, not expanded again")
        << QByteArray("@echo off\nset V=x^&argv %%PATH%%\necho %V%\n") << runScript()
        << QByteArray() << QByteArray("x\r\n%PATH%\n") << 0;
    QTest::newRow("&, &&, ||, blocks and pipes")
        << QByteArray("@echo off\necho one & echo two\nexitwith 3 && echo not-shown\nexitwith 3 || "
                      "echo or-ran\n"
                      "exitwith 0 && echo and-ran\necho %ERRORLEVEL%\n(echo in-block\necho "
                      "second-line) > block.txt\n"
                      "type block.txt\necho piped | upcase\n")
        << runScript() << QByteArray()
        << QByteArray(
               "one \r\ntwo\r\nor-ran\r\nand-ran\r\n0\r\nin-block\r\nsecond-line\r\nPIPED \r\n")
        << 0;
    QTest::newRow("redirections") << QByteArray(
        "@echo off\necho first> out.txt\necho second>>out.txt\ntype out.txt\nboth 2>NUL\nboth "
        ">nul\n"
        "both > both.txt 2>&1\ntype both.txt\necho to-null >NUL\ntype missing.txt 2>&1\n")
                                  << runScript() << QByteArray()
                                  << QByteArray("first\r\nsecond\r\nout\nerr\nout\nerr\nThe system "
                                                "cannot find the file specified.\r\n")
                                  << 1;

    // --- control flow ---
    QTest::newRow("if forms") << QByteArray(
        "@echo off\nset A=abc\nif \"%A%\"==\"abc\" echo eq\nif not \"%A%\"==\"ABC\" echo case\n"
        "if /i \"%A%\"==\"ABC\" echo nocase\nif defined A echo defined\nif not defined B_@ID@ echo "
        "undefined\n"
        "exitwith 2\nif errorlevel 2 echo el2\nif errorlevel 3 (echo el3) else (echo not-el3)\n"
        "if not errorlevel 3 echo below3 & echo same-if\nif exist PSCP echo exists\n"
        "if 10 GTR 9 echo numeric\n")
                              << runScript() << QByteArray()
                              << QByteArray("eq\r\ncase\r\nnocase\r\ndefined\r\nundefined\r\nel2\r"
                                            "\nnot-el3\r\nbelow3 \r\nsame-if\r\n"
                                            "exists\r\nnumeric\r\n")
                              << 2;
    QTest::newRow("goto, labels, call and exit /b")
        << QByteArray(
               "@echo off\ngoto skip\necho not-shown\n: skip\necho after-skip\ncall :sub one\n"
               "echo back %ERRORLEVEL%\ngoto :eof\n:sub\necho in-sub %1\nexit /b 4\n")
        << runScript() << QByteArray() << QByteArray("after-skip\r\nin-sub one\r\nback 4\r\n") << 4;

    // --- commands, files and lookup ---
    QTest::newRow("unknown command: message, 9009, the script goes on")
        << QByteArray("@echo off\nnosuchcommand_@ID@ a b\necho %ERRORLEVEL%\n") << runScript()
        << QByteArray() << notRecognized("nosuchcommand_@ID@") + "9009\r\n"
        << (9009 & 0xff);
    QTest::newRow("program names without regard to case or .exe")
        << QByteArray("@echo off\nARGV.EXE x\nPsCp.exe y\n") << runScript() << QByteArray()
        << QByteArray("x\ny\n") << 0;
    QTest::newRow("file commands with backslash paths")
        << QByteArray("@echo off\nmkdir a\\b\\c\necho x>a\\b\\c\\f.txt\ntype A\\B\\C\\F.TXT\nmove "
                      "a\\b\\c\\f.txt a\\g.txt\n"
                      "ren a\\g.txt h.txt\ntype a\\h.txt\ndel a\\h.txt\nif not exist a\\h.txt echo "
                      "deleted\n"
                      "mkdir a\ncd a\\b\ncd\ncd ..\\..\nrd a\\b\\c\nrd a\\b\nrd /s /q a\nif not "
                      "exist a echo clean\n")
        << runScript() << QByteArray()
        << QByteArray("x\r\n        1 file(s) moved.\r\nx\r\ndeleted\r\nA subdirectory or file a "
                      "already exists.\r\n"
                      "@DIR@/a/b\r\nclean\r\n")
        << 0; // the CD after the failed MKDIR clears the error level
    QTest::newRow("SET /A on a command line shows the value without a line end")
        << QByteArray()
        << QStringList{QStringLiteral("/c"), QStringLiteral("set /a 1+2 & set /a \"x=6*7\"")}
        << QByteArray() << QByteArray("342") << 0;
    QTest::newRow("a typed MOVE or COPY asks before replacing a file; /Y does not")
        << QByteArray("@echo off\necho a>ow1_@ID@\necho b>ow2_@ID@\n")
        << QStringList{QStringLiteral("/c"),
                       QStringLiteral("t.bat & move ow1_@ID@ ow2_@ID@ & copy t.bat ow2_@ID@ & "
                                      "move /Y ow1_@ID@ ow2_@ID@ & type ow2_@ID@")}
        << QByteArray("no\nyes\n")
        << QByteArray("Overwrite @DIR@/ow2_@ID@? (Yes/No/All):         0 file(s) moved.\r\n"
                      "Overwrite @DIR@/ow2_@ID@? (Yes/No/All):         1 file(s) copied.\r\n"
                      "        1 file(s) moved.\r\na\r\n")
        << 0;
    QTest::newRow("/V:ON expands !NAME! as each command runs, %NAME% as the line is read")
        << QByteArray()
        << QStringList{QStringLiteral("/v:on"), QStringLiteral("/c"),
                       QStringLiteral("set X@ID@=1& echo [!X@ID@!] [%X@ID@%]")}
        << QByteArray() << QByteArray("[1] [%X@ID@%]\r\n") << 0;
    QTest::newRow("cls into a pipe is a lone form feed")
        << QByteArray() << QStringList{QStringLiteral("/c"), QStringLiteral("Cls")} << QByteArray()
        << QByteArray("\f") << 0;
    QTest::newRow("title and color write nothing into a pipe")
        << QByteArray()
        << QStringList{QStringLiteral("/c"), QStringLiteral("title x & color 0E & Color E0")}
        << QByteArray() << QByteArray() << 0;
    QTest::newRow("pause reads a key")
        << QByteArray("@echo off\npause\necho after\n") << runScript() << QByteArray("x")
        << QByteArray("Press any key to continue . . . \r\nafter\r\n") << 0;
    QTest::newRow("non-ASCII text passes unchanged")
        << QByteArray("@echo off\nset W=Grüße\necho %W%\nargv %W% \"Ελληνικά\"\n") << runScript()
        << QByteArray() << QByteArray("Grüße\r\nGrüße\nΕλληνικά\n") << 0;
    QTest::newRow("a command line over 8191 characters after expansion is refused")
        << QByteArray()
        << QStringList{QStringLiteral("/c"),
                       QStringLiteral("echo ") + QString(8187, QLatin1Char('x'))}
        << QByteArray() << QByteArray("The input line is too long.\r\n") << 1;
    // Input lines are read whole but kept only up to a limit.
    QTest::newRow("SET /P keeps 1023 characters of a longer line and reads past all of it")
        << QByteArray("@echo off\nset /p V=\nset /p W=\nargv %V%\necho %W%\n") << runScript()
        << QByteArray(5000, 'a') + "\nsecond\n"
        << QByteArray(1023, 'a') + "\nsecond\r\n"
        << 0;
    QTest::newRow("a typed command line over 8191 characters is refused, the next one runs")
        << QByteArray() << QStringList() << "echo " + QByteArray(9000, 'x') + "\necho next\n"
        << QByteArray("The input line is too long.\r\nnext\r\n") << 0;
    QTest::newRow("syntax error ends the batch file")
        << QByteArray("@echo off\necho before\n& echo x\necho after\n") << runScript()
        << QByteArray() << QByteArray("before\r\n& was unexpected at this time.\r\n") << 0;
}

// Constructs of the Windows interpreter, one group of lines a row; a row
// may name a ".cmd" file, where SET clears the error level.
void tst_zcmd_scripts::conformance_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("exitCode");
    const QString bat = QStringLiteral("c.bat");

    QTest::newRow("each ELSE pairs with the nearest IF whose block it follows")
        << bat
        << QByteArray("@echo off\n"
                      "if 1==1 if 2==2 if 3==3 (echo a1) else (echo a2) else echo a3\n"
                      "if 1==1 if 2==2 if 3==4 (echo b1) else (echo b2) else echo b3\n"
                      "if 1==1 if 2==3 if 3==3 (echo c1) else (echo c2) else echo c3\n"
                      "if 1==2 if 2==2 (echo d1) else (echo d2) else echo d3\n"
                      "if 1==2 (echo e1) else if 2==2 (echo e2) else (echo e3)\n"
                      "if exist nothing_@ID@ (\necho f1\n) else (\necho f2\n)\necho after\n")
        << QByteArray("a1\r\nb2\r\nc3\r\nd3\r\ne2\r\nf2\r\nafter\r\n") << 0;

    QTest::newRow("&& binds tighter than ||")
        << bat
        << QByteArray("@echo off\necho k1||echo k2&&echo k3\nexitwith 1||echo k4&&echo k5\n"
                      "exitwith 1&&echo k6||echo k7\nexitwith 0&&exitwith 2||echo k8&&echo k9\n"
                      "exitwith 1&&echo k10||exitwith 1||echo k11\n")
        << QByteArray("k1\r\nk4\r\nk5\r\nk7\r\nk8\r\nk9\r\nk11\r\n") << 1;

    QTest::newRow("label names end at a blank or special character")
        << bat
        << QByteArray(
               "@echo off\ngoto dest5\n:dest5&& echo FAILURE\ngoto dest6\n:dest6>FAILURE_@ID@.TXT\n"
               "goto dest9\n@   :     dest9>rubbish_@ID@\ngoto :dest10:this is ignored\necho "
               "not-shown\n"
               ":dest10\nif exist FAILURE_@ID@.TXT echo FAILURE-FILE\nif exist rubbish_@ID@ echo "
               "RUBBISH\n"
               "echo reached\n")
        << QByteArray("reached\r\n") << 0;

    QTest::newRow("GOTO and CALL take the next label of a name, wrapping round")
        << bat
        << QByteArray("@echo off\ngoto start\n:sub\necho first sub\nexit /b\n:start\ncall "
                      ":sub\ngoto next\n"
                      ":sub\necho second sub\nexit /b\n:next\ncall :sub\n")
        << QByteArray("second sub\r\nfirst sub\r\n") << 0;

    QTest::newRow("error level after built-in commands in a .bat file")
        << bat
        << QByteArray("@echo off\nexitwith 4\nmkdir eldir_@ID@\necho mkdir %ERRORLEVEL%\n"
                      "exitwith 4\ncd eldir_@ID@\necho cd %ERRORLEVEL%\ncd ..\necho x>elfile_@ID@\n"
                      "exitwith 4\nren elfile_@ID@ elfile2_@ID@\necho ren %ERRORLEVEL%\n"
                      "exitwith 4\nmove elfile2_@ID@ eldir_@ID@ >NUL\necho move %ERRORLEVEL%\n"
                      "exitwith 4\ndel eldir_@ID@\\elfile2_@ID@\necho del %ERRORLEVEL%\n"
                      "exitwith 4\ndel eldir_@ID@\\missing 2>NUL\necho del missing %ERRORLEVEL%\n"
                      "exitwith 4\ntype missing_@ID@ 2>NUL\necho type missing %ERRORLEVEL%\n"
                      "rmdir eldir_@ID@\nexitwith 4\nrmdir missing_@ID@ 2>NUL\necho rmdir missing "
                      "%ERRORLEVEL%\n"
                      "rmdir missing_@ID@ 2>NUL || echo rmdir-failure-fires\n"
                      "echo. >NUL\ntitle x\nset A_@ID@=1\necho set %ERRORLEVEL%\n"
                      "set B_@ID@=\necho set undefined %ERRORLEVEL%\n(call )\necho call-blank "
                      "%ERRORLEVEL%\n"
                      "(call)\necho call-nothing %ERRORLEVEL%\nexitwith 4\ncall echo called\n"
                      "echo call-echo %ERRORLEVEL%\n")
        << QByteArray(
               "mkdir 0\r\ncd 0\r\nren 0\r\nmove 0\r\ndel 0\r\ndel missing 0\r\ntype missing 1\r\n"
               "rmdir missing 4\r\nrmdir-failure-fires\r\nset 4\r\nset undefined 1\r\ncall-blank "
               "0\r\n"
               "call-nothing 1\r\ncalled\r\ncall-echo 0\r\n")
        << 0;
    const QByteArray setAfterFailure(
        "@echo off\nexitwith 4\nset A_@ID@=1\necho set %ERRORLEVEL%\n");
    QTest::newRow("SET leaves the error level in a .bat file")
        << bat << setAfterFailure << QByteArray("set 4\r\n") << 4;
    QTest::newRow("SET clears the error level in a .cmd file")
        << QStringLiteral("c.cmd") << setAfterFailure << QByteArray("set 0\r\n") << 0;

    QTest::newRow("%~dp0 and friends name the batch file, also inside call :label")
        << bat
        << QByteArray("@echo off\nmkdir dpdir_@ID@ 2>NUL\ncd dpdir_@ID@\necho [%~dp0] [%~nx0] "
                      "[%0]\ncall :sub a\n"
                      "cd ..\ngoto :eof\n:sub\necho [%0] [%~n0] [%~x0] [%~f0] [%1]\n")
        << QByteArray("[@DIR@/] [c.bat] [c.bat]\r\n[:sub] [c] [.bat] [@DIR@/c.bat] [a]\r\n") << 0;

    QTest::newRow("CALL :label: %~1 unquotes, %~z1 is a file's size, %* keeps every word")
        << bat
        << QByteArray("@echo off\n>sz_@ID@.txt echo hello\ncall :sub sz_@ID@.txt \"a b\" c\n"
                      "call :sub nosuch_@ID@.txt\ngoto :eof\n:sub\n"
                      "echo [%~z1] [%~2] [%2] [%~nx1] [%*]\n")
        << QByteArray("[7] [a b] [\"a b\"] [sz_@ID@.txt] [sz_@ID@.txt \"a b\" c]\r\n"
                      "[] [] [] [nosuch_@ID@.txt] [nosuch_@ID@.txt]\r\n")
        << 0;

    QTest::newRow("%~$PATH:1 finds a parameter in the folders a variable lists")
        << bat
        << QByteArray(
               "@echo off\nmkdir \"ps d_@ID@\"\necho x>\"ps d_@ID@\\tool.txt\"\n"
               "set KEPT=%PATH%\nset PATH=nosuch_@ID@;\"%CD%\\ps d_@ID@\";%PATH%\n"
               "call :sub tool.txt missing.txt\nset PATH=%KEPT%\ngoto :eof\n:sub\n"
               "echo [%~$PATH:1] [%~$PATH:2] [%~nx$PATH:1] [%~dp$PATH:1] [%~$NOSUCH_@ID@:1]\n")
        << QByteArray("[@DIR@/ps d_@ID@/tool.txt] [] [tool.txt] [@DIR@/ps d_@ID@/] []\r\n") << 0;

    QTest::newRow("CALL expands twice; SHIFT and SHIFT /n")
        << bat
        << QByteArray(
               "@echo off\nset V=value\ncall :sub %%V%% \"two words\" three\ngoto :eof\n:sub\n"
               "echo [%1] [%2] [%3]\nshift\necho [%0] [%1] [%2] [%*]\nshift /1\necho [%0] [%1] "
               "[%2]\n")
        << QByteArray("[value] [\"two words\"] [three]\r\n"
                      "[value] [\"two words\"] [three] [value \"two words\" three]\r\n[value] "
                      "[three] []\r\n")
        << 0;

    QTest::newRow("start /W, redirection before a block, %V:~,n%")
        << bat
        << QByteArray("@echo off\nstart /W exitwith 5\necho start %ERRORLEVEL%\n"
                      ">block_@ID@ (echo in-block\necho second)\n2>NUL >>block_@ID@ echo "
                      "third\ntype block_@ID@\n"
                      "set X=abcdef\necho [%X:~,2%] [%X:~,-2%]\n")
        << QByteArray("start 5\r\nin-block\r\nsecond\r\nthird\r\n[ab] [abcd]\r\n") << 0;

    QTest::newRow("names of Windows commands never run the programs of that name here")
        << bat
        << QByteArray(
               "@echo off\ndir /b\necho %ERRORLEVEL%\nfind \"x\" c.bat\nDATE /t\nfind.exe x\n"
               "if exist dir.started echo RAN-DIR\nif exist find.started echo RAN-FIND\n"
               "if exist date.started echo RAN-DATE\npscp still-found\n")
        << QByteArray(
               "'dir' is not supported by zcmd\r\n9009\r\n'find' is not supported by zcmd\r\n"
               "'DATE' is not supported by zcmd\r\n'find.exe' is not supported by "
               "zcmd\r\nstill-found\n")
        << 0;

    QTest::newRow("a batch file that grows while it runs goes on with its new lines")
        << bat << QByteArray("@echo off\necho one\necho echo appended>>c.bat\necho two\n")
        << QByteArray("one\r\ntwo\r\nappended\r\n") << 0;
    QTest::newRow("a batch file deleted while it runs stops")
        << bat << QByteArray("@echo off\necho one\ndel c.bat\necho never\n")
        << QByteArray("one\r\nThe batch file cannot be found.\r\n") << 0;

    // --- echo on: each command after a blank line and the prompt, as parsed, with a trailing blank ---
    QTest::newRow("echo on shows commands and remarks, not labels or empty lines")
        << bat
        << QByteArray("echo hi\nrem note & more\n:skip\n\necho  two  spaced\nif 1==1 echo yes\n"
                      "if 1==2 (echo no) else (echo else)\nset V=x\n@echo off\necho %V%\n")
        << QByteArray("\r\n@DIR@>echo hi \r\nhi\r\n\r\n@DIR@>rem note & more \r\n"
                      "\r\n@DIR@>echo  two  spaced \r\n two  spaced\r\n"
                      "\r\n@DIR@>if 1 == 1 echo yes \r\nyes\r\n"
                      "\r\n@DIR@>if 1 == 2 (echo no )  else (echo else ) \r\nelse\r\n"
                      "\r\n@DIR@>set V=x \r\nx\r\n")
        << 0;

    QTest::newRow("echo on shows IF words as written, blocks over lines one line each")
        << bat
        << QByteArray("exitwith 0\nif not errorlevel 1 (echo d) else (echo ---)\n"
                      "if 1==1 (\necho a\necho b & echo c\n)\nif 1==2 (\necho no\n) else (\n"
                      "echo yes\n)\nIF /i A==a rem x\n(\nrem inside\necho z\n)\n@echo off\n")
        << QByteArray("\r\n@DIR@>exitwith 0 \r\n"
                      "\r\n@DIR@>if not errorlevel 1 (echo d )  else (echo --- ) \r\nd\r\n"
                      "\r\n@DIR@>if 1 == 1 (\r\necho a \r\n echo b  & echo c \r\n) \r\n"
                      "a\r\nb \r\nc\r\n"
                      "\r\n@DIR@>if 1 == 2 (\r\necho no \r\n)  else (\r\necho yes \r\n) \r\n"
                      "yes\r\n\r\n@DIR@>IF /i A == a rem x \r\n"
                      "\r\n@DIR@>(\r\nrem inside \r\n echo z \r\n) \r\nz\r\n")
        << 0;
    QTest::newRow("PROMPT sets what command echo shows before each command")
        << bat
        << QByteArray("@prompt $G\necho one\nprompt $$ $A$C$F$Q$S[$+]$_x$l$b$g\npushd .\npopd\n"
                      "prompt\n@set PROMPT=#$g\necho two\n@echo off\n")
        << QByteArray("\r\n>echo one \r\none\r\n\r\n>prompt $$ $A$C$F$Q$S[$+]$_x$l$b$g \r\n"
                      "\r\n$ &()= []\r\nx<|>pushd . \r\n\r\n$ &()= [+]\r\nx<|>popd \r\n"
                      "\r\n$ &()= []\r\nx<|>prompt \r\n\r\n#>echo two \r\ntwo\r\n")
        << 0;
    QTest::newRow("REM as the command of IF, ELSE, && and || does nothing")
        << bat
        << QByteArray("@echo off\nif 1==1 rem x & echo not-shown\n"
                      "if 1==2 (echo a) else rem x & echo not-shown\n"
                      "exitwith 1 || rem x & echo not-shown\necho after %errorlevel%\n"
                      "exitwith 0 && rem x\nif 1==1 (\nif 2==2 rem y\necho in-block\n)\necho end\n")
        << QByteArray("after 1\r\nin-block\r\nend\r\n") << 0;

    // --- IF: numbers (decimal, octal, hexadecimal, signed) compare as numbers, the rest as
    // words in the system's collation: case second, lower case first; /I ignores case ---
    QTest::newRow("IF comparison operators")
        << bat
        << QByteArray(
               "@echo off\nif 1 EQU 01 echo a1\nif 010 EQU 8 echo a2\nif 0x10 EQU 16 echo a3\n"
               "if -1 LSS 1 echo a4\nif +5 EQU 5 echo a5\n"
               "if 09 GTR 8 (echo a6-number) else echo a6-string\n"
               "if 10 GTR 2 echo a7\nif \"2\" GTR \"10\" echo a8\n"
               "if a LSS B echo b1\nif B LSS a (echo b2-bytes) else echo b2-words\n"
               "if a LSS A echo b3\nif A GTR a echo b4\nif /i A EQU a echo b5\n"
               "if A NEQ a echo b6\nif /I B GTR a echo b7\nif abc LSS abd echo b8\n"
               "if ab LSS abc echo b9\nif 1 LSS a echo b10\nif 10 LEQ 10 echo c1\n"
               "if 9 GEQ 10 (echo c2) else echo c2-no\nif a==A (echo d1) else echo d1-no\n"
               "if /I a==A echo d2\n")
        << QByteArray("a1\r\na2\r\na3\r\na4\r\na5\r\na6-string\r\na7\r\na8\r\nb1\r\nb2-words\r\n"
                      "b3\r\nb4\r\nb5\r\nb6\r\nb7\r\nb8\r\nb9\r\nb10\r\nc1\r\nc2-no\r\nd1-no\r\n"
                      "d2\r\n")
        << 0;
    QTest::newRow("ELSE IF chains on one line, over lines and inside a block")
        << bat
        << QByteArray("@echo off\nset N=2\n"
                      "if %N%==1 (echo one) else if %N%==2 (echo two) else (echo other)\n"
                      "if %N%==1 (\necho one\n) else if %N%==3 (\necho three\n) else (\n"
                      "echo other\n)\n"
                      "(\nif %N%==1 (echo in-one) else if %N%==2 (echo in-two) else echo in-other\n"
                      "echo in-after\n)\nif %N%==1 (echo x) else if %N%==5 echo y\necho end\n")
        << QByteArray("two\r\nother\r\nin-two\r\nin-after\r\nend\r\n") << 0;
    QTest::newRow("the error level after IF blocks over several lines")
        << bat
        << QByteArray("@echo off\nexitwith 3\nif 1==1 (\necho in %errorlevel%\nexitwith 4\n)\n"
                      "echo after %errorlevel%\nif 1==2 (\nexitwith 5\n) else (\nexitwith 6\n)\n"
                      "echo else %errorlevel%\nif 1==2 (\nexitwith 7\n)\n"
                      "echo skipped %errorlevel%\n")
        << QByteArray("in 3\r\nafter 4\r\nelse 6\r\nskipped 6\r\n") << 6;

    QTest::newRow("IF EXIST: folders, a trailing backslash, wildcards, quotes and blanks")
        << bat
        << QByteArray("@echo off\nmkdir exdir_@ID@\necho x>exdir_@ID@\\f1.txt\n"
                      "echo x>\"exdir_@ID@\\name with blanks.txt\"\n"
                      "if exist exdir_@ID@ echo e1\nif exist exdir_@ID@\\ echo e2\n"
                      "if exist exdir_@ID@\\f1.txt\\ (echo e3-wrong) else echo e3\n"
                      "if exist exdir_@ID@\\*.txt echo e4\n"
                      "if exist exdir_@ID@\\*.doc (echo e5-wrong) else echo e5\n"
                      "if exist \"exdir_@ID@\\name with blanks.txt\" echo e6\n"
                      "if exist exdir_@ID@\\name with blanks.txt echo e7\n"
                      "if exist EXDIR_@ID@\\F1.TXT echo e8\nif exist exdir_@ID@\\f?.txt echo e10\n"
                      "if not exist exdir_@ID@\\f1.txt (echo e11-wrong) else echo e11\n"
                      "if exist \"exdir_@ID@\" echo e12\nif exist \"exdir_@ID@\\\" echo e13\n")
        << QByteArray("e1\r\ne2\r\ne3\r\ne4\r\ne5\r\ne6\r\ne8\r\ne10\r\ne11\r\ne12\r\ne13\r\n")
        << 0;

    QTest::newRow("IF EXIST of NUL, folder\\nul, and names ending in a dot")
        << bat
        << QByteArray("@echo off\nmkdir nuldir_@ID@\necho x>nulfile_@ID@\n"
                      "if exist nuldir_@ID@\\nul echo u1\nif exist NUL echo u2\n"
                      "if exist nosuch_@ID@\\nul (echo u3-wrong) else echo u3\n"
                      "if exist \"nuldir_@ID@\\NUL\" echo u4\n"
                      "if exist nulfile_@ID@\\nul (echo u5-wrong) else echo u5\n"
                      "if not exist nuldir_@ID@\\nul echo u6-wrong\n"
                      "if exist nuldir_@ID@. echo u7\nif exist nulfile_@ID@. echo u8\n"
                      "if exist nosuch_@ID@. (echo u9-wrong) else echo u9\n")
        << QByteArray("u1\r\nu2\r\nu3\r\nu4\r\nu5\r\nu7\r\nu8\r\nu9\r\n") << 0;

    // --- CALL of another batch file, and naming one without CALL ---
    QTest::newRow("CALL of a batch file: arguments, return, error level; without CALL no return")
        << bat
        << QByteArray("@echo off\n>callee_@ID@.bat echo @echo off\n"
                      ">>callee_@ID@.bat echo echo callee [%%1] [%%2]\n"
                      ">>callee_@ID@.bat echo exit /b 3\n"
                      "call callee_@ID@.bat one \"two words\"\necho back %errorlevel%\n"
                      "exitwith 0\ncall callee_@ID@ again\necho back2 %errorlevel%\n"
                      "(call callee_@ID@.bat in-block & echo block-after)\n"
                      "if 1==1 (\ncall CALLEE_@ID@.BAT multi\necho multi-after\n)\n"
                      "call nosuch_@ID@.exe\ncallee_@ID@.bat no-call\necho never\n")
        << QByteArray("callee [one] [\"two words\"]\r\nback 3\r\ncallee [again] []\r\nback2 3\r\n"
                      "callee [in-block] []\r\nblock-after\r\ncallee [multi] []\r\nmulti-after\r\n")
               + notRecognized("nosuch_@ID@.exe") + "callee [no-call] []\r\n"
        << 3;

    QTest::newRow("a batch file named without CALL runs after the rest of its line and block")
        << bat
        << QByteArray("@echo off\n>second_@ID@.bat echo @echo off\n"
                      ">>second_@ID@.bat echo echo second [%%1]\n"
                      ">>second_@ID@.bat echo third_@ID@.bat x ^& echo line-rest\n"
                      ">>second_@ID@.bat echo echo never-second\n"
                      ">third_@ID@.bat echo @echo third [%%1]\n"
                      "(second_@ID@.bat one & echo same-line\necho rest-of-block)\necho never\n")
        << QByteArray("same-line\r\nrest-of-block\r\nsecond [one]\r\nline-rest\r\nthird [x]\r\n")
        << 0;

    // --- SET ---
    QTest::newRow("SET /P prompts, quoted or holding '='; SET of a name with no value")
        << bat
        << QByteArray("@echo off\n>answers_@ID@.txt echo one\n>>answers_@ID@.txt echo two\n"
                      ">>answers_@ID@.txt echo three\n>>answers_@ID@.txt echo four\n"
                      "<answers_@ID@.txt (\nset /p A=Enter a: \nset /p \"B=Quoted prompt: \"\n"
                      "set /p C=\"with quotes: \"\nset /p D=x=y? \nset /p E=nothing left: \n)\n"
                      "echo.\necho [%A%] [%B%] [%C%] [%D%] [%E%] %errorlevel%\n"
                      "set UNSET_@ID@=\nset UNSET_@ID@\necho %errorlevel%\n")
        << QByteArray("Enter a: Quoted prompt: with quotes: x=y? nothing left: \r\n"
                      "[one] [two] [three] [four] [] 1\r\n"
                      "Environment variable UNSET_@ID@ not defined\r\n1\r\n")
        << 1;

    QTest::newRow("SET /P with no name shows its prompt without a line end")
        << bat
        << QByteArray("@echo off\nset /p \"=one \" <nul\n<nul set /p =two\n"
                      "echo  three %errorlevel%\nexitwith 0\n<nul set /p =\"quoted: \"\n"
                      "echo end %errorlevel%\n")
        << QByteArray("one two three 1\r\nquoted: end 1\r\n") << 1;

    QTest::newRow("SETLOCAL keeps variables and the folder until ENDLOCAL or the end of a label")
        << bat
        << QByteArray("@echo off\nset A=outer\nexitwith 3\nsetlocal\necho sl %errorlevel%\n"
                      "set A=inner\nset B=new\nmkdir sl_@ID@ 2>nul\ncd sl_@ID@\n"
                      "echo [%A%] [%B%]\nendlocal\necho [%A%] [%B%] [%CD%]\ncall :sub\n"
                      "echo sub [%A%] [%C%]\nsetlocal enableextensions\necho ext %errorlevel%\n"
                      "set D=d\ncall :keep\necho [%D%]\nendlocal\nendlocal\necho [%D%]\n"
                      "goto :eof\n:sub\nsetlocal\nset A=sub\nset C=c\ngoto :eof\n"
                      ":keep\nsetlocal\nset D=inner\nendlocal & set D=%D%-kept\n")
        << QByteArray("sl 3\r\n[inner] [new]\r\n[outer] [] [@DIR@]\r\nsub [outer] []\r\n"
                      "ext 0\r\n[inner-kept]\r\n[]\r\n")
        << 0;
    QTest::newRow("SETLOCAL ENABLEDELAYEDEXPANSION: !NAME! takes the value as the command runs")
        << bat
        << QByteArray("@echo off\nset x=0\nsetlocal enabledelayedexpansion\necho sl %errorlevel%\n"
                      "(set x=2\necho !x! %x%)\necho hello^^! \"q^!\" lone! end\n"
                      "set s=abcdef\necho !s:~1,3! !s:b=B! [!nosuch_@ID@!] !errorlevel!\n"
                      "(set /a n=1\nif !n!==1 echo n-is-one)\nset f=de_@ID@.txt\n"
                      "echo data>!f!\ntype de_@ID@.txt\necho !x! | more_@ID@\n"
                      "setlocal disabledelayedexpansion\necho inner !x!\nendlocal\n"
                      "echo back !x!\nendlocal\necho outside !x! %x%\n")
        << QByteArray("sl 0\r\n2 0\r\nhello! \"q!\" lone end\r\nbcd aBcdef [] 0\r\n"
                      "n-is-one\r\ndata\r\n")
               + notRecognized("more_@ID@") + "inner !x!\r\nback 2\r\noutside !x! 0\r\n"
        << 0;
    QTest::newRow("SET /A: operators by precedence, number forms, assignments, variables")
        << bat
        << QByteArray("@echo off\nset /a X=5*3\nset /a Y=X+1, Z=Y*2\necho [%X%] [%Y%] [%Z%]\n"
                      "set /a \"A=0x10+010+1\", B=7/2, C=-7/2, D=7%%3, E=-7%%3\n"
                      "echo [%A%] [%B%] [%C%] [%D%] [%E%]\n"
                      "set /a \"F=1<<4, G=255>>2, H=6&3, I=6|3, J=6^3, K=!0, L=~0, M=(2+3)*4\"\n"
                      "echo [%F%] [%G%] [%H%] [%I%] [%J%] [%K%] [%L%] [%M%]\n"
                      "set /a P=1\nset /a P+=5\nset /a P*=2\nset /a P-=1\nset /a P/=3\n"
                      "echo [%P%]\nset /a N=2147483647+1, O=0xFFFFFFFF, Q=-2147483647-1\n"
                      "echo [%N%] [%O%] [%Q%]\nset /a R=nosuch_@ID@+1, S=3 + \"4\"\n"
                      "echo [%R%] [%S%]\n")
        << QByteArray("[15] [16] [32]\r\n[25] [3] [-3] [1] [-1]\r\n"
                      "[16] [63] [2] [7] [5] [1] [-1] [20]\r\n[3]\r\n"
                      "[-2147483648] [-1] [-2147483648]\r\n[1] [7]\r\n")
        << 0;
    QTest::newRow("SET /A errors: message, error level, nothing assigned")
        << bat
        << QByteArray("@echo off\nset /a V=1/0\necho div %errorlevel% [%V%]\n"
                      "set /a 5%%0\necho mod %errorlevel%\nset /a V=08\necho oct %errorlevel%\n"
                      "set /a 2147483648\necho big %errorlevel%\nset /a 1+\n"
                      "echo operand %errorlevel%\nset /a (1\necho paren %errorlevel%\n"
                      "set /a 1 2\necho operator %errorlevel%\nset /a\necho none %errorlevel%\n")
        << QByteArray("Divide by zero error.\r\ndiv 1073750993 []\r\nDivide by zero error.\r\n"
                      "mod 1073750993\r\nInvalid number.  Numeric constants are either decimal "
                      "(17), hexadecimal (0x11), or octal (021).\r\noct 1073750991\r\n"
                      "Invalid number.  Numbers are limited to 32-bits of precision.\r\n"
                      "big 1073750992\r\nMissing operand.\r\noperand 1073750989\r\n"
                      "Unbalanced parenthesis.\r\nparen 1073750988\r\nMissing operator.\r\n"
                      "operator 1073750990\r\nThe syntax of the command is incorrect.\r\n"
                      "none 1\r\n")
        << 1;

    // --- file commands, PATH and START ---
    QTest::newRow("MKDIR of several missing folders, TYPE and MOVE of several files, DEL /Q")
        << bat
        << QByteArray("@echo off\nmkdir fc_@ID@\\a\\b\\c\nif exist fc_@ID@\\a\\b\\c echo made\n"
                      "cd fc_@ID@\necho one>f2.txt\necho two>f1.txt\necho three>g.log\n"
                      "type f2.txt g.log\ntype f*.txt\nmove f*.txt a\\b\nmove g.log a\n"
                      "move a\\b\\f1.txt,a\\b\\f2.txt a\\b\\c\n"
                      "del /q a\\b\\c\\*.txt\nif not exist a\\b\\c\\f1.txt echo gone\n"
                      "del /q a\nif not exist a\\g.log echo folder emptied\ndel /q nosuch.txt\n"
                      "cd ..\n")
        << QByteArray("made\r\n\r\nf2.txt\r\n\r\n\r\none\r\n\r\ng.log\r\n\r\n\r\nthree\r\n"
                      "\r\nf1.txt\r\n\r\n\r\ntwo\r\n\r\nf2.txt\r\n\r\n\r\none\r\n"
                      "@DIR@/fc_@ID@/f1.txt\r\n@DIR@/fc_@ID@/f2.txt\r\n        2 file(s) moved.\r\n"
                      "        1 file(s) moved.\r\n"
                      "@DIR@/fc_@ID@/a/b/f1.txt\r\n@DIR@/fc_@ID@/a/b/f2.txt\r\n"
                      "        2 file(s) moved.\r\n"
                      "gone\r\nfolder emptied\r\nCould Not Find @DIR@/fc_@ID@/nosuch.txt\r\n")
        << 0;
    QTest::newRow("MOVE and COPY onto a file: a batch file replaces it, /-Y and COPYCMD ask")
        << bat
        << QByteArray("@echo off\nmkdir ow_@ID@\ncd ow_@ID@\necho a>a.txt\necho b>b.txt\n"
                      "echo c>c.txt\nmove a.txt b.txt\ntype b.txt\necho n| move /-y c.txt b.txt\n"
                      "type b.txt\necho y| copy /-Y c.txt b.txt\ntype b.txt\nset COPYCMD=/-Y\n"
                      "echo n| copy c.txt b.txt\n(echo maybe& echo all)| copy c.txt b.txt\n"
                      "copy /y b.txt c.txt\nset COPYCMD=\ncd ..\n")
        << QByteArray("        1 file(s) moved.\r\na\r\n"
                      "Overwrite @DIR@/ow_@ID@/b.txt? (Yes/No/All):         0 file(s) moved.\r\n"
                      "a\r\nOverwrite @DIR@/ow_@ID@/b.txt? (Yes/No/All):         1 file(s) "
                      "copied.\r\nc\r\n"
                      "Overwrite @DIR@/ow_@ID@/b.txt? (Yes/No/All):         0 file(s) copied.\r\n"
                      "Overwrite @DIR@/ow_@ID@/b.txt? (Yes/No/All): Overwrite "
                      "@DIR@/ow_@ID@/b.txt? (Yes/No/All):         1 file(s) copied.\r\n"
                      "        1 file(s) copied.\r\n")
        << 0;
    QTest::newRow("COPY of a file, of wildcards and of a folder; copies onto themselves, missing")
        << bat
        << QByteArray("@echo off\nmkdir cp_@ID@\\d1\ncd cp_@ID@\necho one>f.txt\necho two>g.txt\n"
                      "copy f.txt h.txt\necho copy %errorlevel%\ntype h.txt\ncopy *.txt d1\n"
                      "mkdir d2\ncopy d1 d2\ntype d2\\g.txt\ncopy /Y f.txt d2\\F.TXT\n"
                      "copy nosuch.txt x.txt\necho missing %errorlevel%\ncopy f.txt f.txt\n"
                      "copy d1\\*.txt\necho back %errorlevel%\ncd ..\n")
        << QByteArray("        1 file(s) copied.\r\ncopy 0\r\none\r\n"
                      "f.txt\r\ng.txt\r\nh.txt\r\n        3 file(s) copied.\r\n"
                      "d1\\f.txt\r\nd1\\g.txt\r\nd1\\h.txt\r\n        3 file(s) copied.\r\n"
                      "two\r\n        1 file(s) copied.\r\n"
                      "The system cannot find the file specified.\r\n        0 file(s) copied.\r\n"
                      "missing 1\r\nThe file cannot be copied onto itself.\r\n"
                      "        0 file(s) copied.\r\nd1\\f.txt\r\nd1\\g.txt\r\nd1\\h.txt\r\n"
                      "        3 file(s) copied.\r\nback 0\r\n")
        << 0;
    QTest::newRow("COPY a+b joins files as text, ending with Ctrl+Z; COPY /B joins the bytes")
        << bat
        << QByteArray("@echo off\nmkdir cj_@ID@\ncd cj_@ID@\necho one>a.txt\necho two>b.txt\n"
                      "copy a.txt+b.txt c.txt\ntype c.txt\necho.\ncopy /b a.txt + b.txt d.txt\n"
                      "type d.txt\ncopy x.txt+y.txt e.txt\necho %errorlevel%\ncd ..\n")
        << QByteArray("a.txt\r\nb.txt\r\n        1 file(s) copied.\r\none\r\ntwo\r\n\x1a\r\n"
                      "a.txt\r\nb.txt\r\n        1 file(s) copied.\r\none\r\ntwo\r\n"
                      "The system cannot find the file specified.\r\n        0 file(s) copied.\r\n"
                      "1\r\n")
        << 0;
    QTest::newRow("REN with wildcards renames each file; TYPE and COPY of NUL read as empty")
        << bat
        << QByteArray("@echo off\nmkdir rn_@ID@\ncd rn_@ID@\necho a>a.txt\necho b>b.txt\n"
                      "ren *.txt *.bak\nif exist a.bak if exist b.bak echo r1\n"
                      "if not exist a.txt echo r2\nren a.* x.*\nif exist x.bak echo r3\n"
                      "ren *.zz *.yy\necho none %errorlevel%\ntype nul >empty.txt\n"
                      "echo type %errorlevel%\ncopy nul empty2.txt\n"
                      "type nosuch.txt 2>nul\ntype empty.txt empty2.txt 2>nul\n"
                      "echo types %errorlevel%\ncd ..\n")
        << QByteArray("r1\r\nr2\r\nr3\r\nThe system cannot find the file specified.\r\n"
                      "none 1\r\ntype 0\r\n        1 file(s) copied.\r\ntypes 0\r\n")
        << 0;
    QTest::newRow("a redirection into a missing folder skips the command, keeps the error level")
        << bat
        << QByteArray("@echo off\nexitwith 4\necho hi >nofolder_@ID@\\f.txt\necho [%errorlevel%]\n"
                      "exitwith 0\n(echo x) >nofolder_@ID@\\g.txt || echo or-runs\n"
                      "echo [%errorlevel%]\n")
        << QByteArray("The system cannot find the path specified.\r\n[4]\r\n"
                      "The system cannot find the path specified.\r\nor-runs\r\n[0]\r\n")
        << 0;
    QTest::newRow("a program or batch file in a missing folder: the path is not found")
        << bat
        << QByteArray("@echo off\nnofolder_@ID@\\prog.exe\necho [%errorlevel%]\n"
                      "call nofolder_@ID@\\x.bat a\necho [%errorlevel%]\nmkdir pf_@ID@\n"
                      "pf_@ID@\\prog.exe\necho [%errorlevel%]\n")
        << QByteArray("The system cannot find the path specified.\r\n[3]\r\n"
                      "The system cannot find the path specified.\r\n[3]\r\n")
               + notRecognized("pf_@ID@\\prog.exe") + "[9009]\r\n"
        << (9009 & 0xff);
    QTest::newRow("PATH search with and without an extension; START /W's exit code")
        << bat
        << QByteArray(
               "@echo off\nmkdir tools_@ID@\n>tools_@ID@\\tool_@ID@.bat echo @echo tool %%1\n"
               "mkdir more_@ID@\n>more_@ID@\\other_@ID@.cmd echo @echo other %%1\n"
               "set PATH=%CD%\\tools_@ID@;more_@ID@;%PATH%\ncall tool_@ID@ a\n"
               "call TOOL_@ID@.BAT b\ncall other_@ID@ c\ncall other_@ID@.bat d\n"
               "exitwith 3\nstart /W exitwith 0\necho start %errorlevel%\n"
               "start /wait exitwith 7\necho start %errorlevel%\n")
        << QByteArray("tool a\r\ntool b\r\nother c\r\n") + notRecognized("other_@ID@.bat")
               + "start 0\r\nstart 7\r\n"
        << 7;
    QTest::newRow(
        "TYPE, DEL, MOVE, REN and RD of a name in a missing folder: the path is not found")
        << bat
        << QByteArray("@echo off\ntype nofolder_@ID@\\x.txt\necho type %errorlevel%\n"
                      "del nofolder_@ID@\\x.txt\ndel /q nofolder_@ID@\\*.txt\n"
                      "move nofolder_@ID@\\x.txt y.txt\nren nofolder_@ID@\\x.txt y.txt\n"
                      "rd nofolder_@ID@\\sub\n"
                      "type missing_@ID@.txt\ndel missing_@ID@.txt\n")
        << QByteArray("The system cannot find the path specified.\r\ntype 1\r\n"
                      "The system cannot find the path specified.\r\n"
                      "The system cannot find the path specified.\r\n"
                      "The system cannot find the path specified.\r\n"
                      "The system cannot find the path specified.\r\n"
                      "The system cannot find the path specified.\r\n"
                      "The system cannot find the file specified.\r\n"
                      "Could Not Find @DIR@/missing_@ID@.txt\r\n")
        << 0;
    QTest::newRow("START takes its title before or after its options")
        << bat
        << QByteArray("@echo off\nstart /wait \"title\" exitwith 3\necho [%errorlevel%]\n"
                      "start \"t\" /W exitwith 4\necho [%errorlevel%]\n"
                      "start /W \"\" \"exitwith\" 6\necho [%errorlevel%]\n")
        << QByteArray("[3]\r\n[4]\r\n[6]\r\n") << 6;
    QTest::newRow("PATHEXT sets which extensions are tried, in its order")
        << bat
        << QByteArray("@echo off\nmkdir px_@ID@\n>px_@ID@\\tool.cmd echo @echo cmd-version\n"
                      ">px_@ID@\\tool.bat echo @echo bat-version\ncd px_@ID@\ncall tool\n"
                      "set PATHEXT=.CMD;.BAT\ncall tool\nset PATHEXT=.EXE;.COM\ncall tool\n"
                      "set PATHEXT=\ncall tool\ncd ..\n")
        << QByteArray("bat-version\r\ncmd-version\r\n") + notRecognized("tool") + "bat-version\r\n"
        << 0;
    QTest::newRow("names go by their text: '.', '..', a '?' that matches nothing, '*.'")
        << bat
        << QByteArray(
               "@echo off\nmkdir nm_@ID@\\sub\necho x>nm_@ID@\\foo\ncd nm_@ID@\n"
               "if exist nosuch\\..\\foo echo n1\nif exist foo\\. echo n2\n"
               "if exist sub\\* echo n3\nif exist foo? echo n4\nif exist *. echo n5\n"
               "if exist ..\\nm_@ID@\\FOO echo n6\nif exist foo\\ (echo wrong) else echo n7\n"
               "cd ..\n")
        << QByteArray("n1\r\nn2\r\nn3\r\nn4\r\nn5\r\nn6\r\nn7\r\n") << 0;
    QTest::newRow("PUSHD keeps folders to go back to with POPD; a missing one fails")
        << bat
        << QByteArray("@echo off\nmkdir \"pu d_@ID@\\sub\"\nexitwith 3\npushd \"pu d_@ID@\"\n"
                      "echo [%errorlevel%] [%CD%]\npushd sub\necho [%CD%]\npopd\necho [%CD%]\n"
                      "popd\nexitwith 2\npopd\necho [%errorlevel%] [%CD%]\n"
                      "pushd nosuch_@ID@\necho [%errorlevel%] [%CD%]\n")
        << QByteArray(
               "[0] [@DIR@/pu d_@ID@]\r\n[@DIR@/pu d_@ID@/sub]\r\n[@DIR@/pu d_@ID@]\r\n"
               "[2] [@DIR@]\r\nThe system cannot find the path specified.\r\n[1] [@DIR@]\r\n")
        << 1;
    QTest::newRow("PATH shows, clears and sets the search path")
        << bat
        << QByteArray("@echo off\nset KEPT=%PATH%\npath ;\npath\nargv found-here\n"
                      "path tools_@ID@;\"@DIR@\"\npath\nset PATH=%KEPT%\n")
        << QByteArray("No Path\r\nfound-here\nPATH=tools_@ID@;\"@DIR@\"\r\n") << 0;
    QTest::newRow("CALL doubles carets; cmd is the interpreter; TYPE names what it cannot show")
        << bat
        << QByteArray("@echo off\ncall echo a^^b \"c^d\"\ncall :sub \"x^y\"\necho x>tf_@ID@.txt\n"
                      "type tf_@ID@.txt nosuch_@ID@.txt\ncmd /c exit 3\necho cmd %errorlevel%\n"
                      "start /wait cmd.exe /c exit 5\necho start %errorlevel%\ngoto :eof\n"
                      ":sub\necho sub %1\n")
        << QByteArray("a^b \"c^^d\"\r\nsub \"x^^y\"\r\n\r\ntf_@ID@.txt\r\n\r\n\r\nx\r\n"
                      "The system cannot find the file specified.\r\n"
                      "Error occurred while processing: nosuch_@ID@.txt.\r\ncmd 3\r\nstart 5\r\n")
        << 5;
    // The interpreter's limits: a line of 8191 characters after expansion
    // runs, a longer one ends the batch file; a runaway CALL ends them all.
    QTest::newRow("a line of up to 8191 characters runs; a doubling SET stops at the limit")
        << bat
        << "@echo off\nset W=" + QByteArray(8185, 'w') + "\necho %W:~0,3%\nset V=x\n"
               + QByteArray("set V=%V%%V%\n").repeated(40) + "echo never\n"
        << QByteArray("www\r\nThe input line is too long.\r\n") << 1;
    QTest::newRow("a line over the limit is refused however many carriage returns it holds")
        << bat
        << "@echo off\necho a" + QByteArray(20000, '\r') + QByteArray(8200, 'b') + "\necho never\n"
        << QByteArray("The input line is too long.\r\n") << 1;
    QTest::newRow("a label that calls itself ends every batch file with a message")
        << bat << QByteArray("@echo off\ncall :a\necho never\nexit /b\n:a\ncall :a\n")
        << QByteArray("******  B A T C H   R E C U R S I O N  exceeds STACK limits ******\r\n"
                      "Recursion Count=700, Stack Usage=90 percent\r\n"
                      "******       B A T C H   PROCESSING IS   A B O R T E D      ******\r\n")
        << 1;
}

void tst_zcmd_scripts::conformance()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, script);
    QFETCH(QByteArray, expected);
    QFETCH(int, exitCode);

    // Programs named like Windows commands: running one leaves "<name>.started".
    for (const char *name : {"dir", "find", "date"})
        QVERIFY(installStandIn(folder_, QString::fromLatin1(name)));
    QVERIFY(writeScript(folder_ + QLatin1Char('/') + file, fill(script)));
    RunResult run = runZcmd(folder_, runScript(file));
    QVERIFY2(run.finished, run.output.constData());
    QCOMPARE(run.output, fill(expected));
    QCOMPARE(run.exitCode, exitCode);
}

void tst_zcmd_scripts::scripts()
{
    QFETCH(QByteArray, script);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QFETCH(int, exitCode);

    const bool lfOnly = QByteArray(QTest::currentDataTag()).startsWith("LF-only");
    if (!script.isEmpty())
        QVERIFY(writeScript(folder_ + QStringLiteral("/t.bat"), fill(script), !lfOnly));
    for (QString &argument : arguments)
        argument = QString::fromUtf8(fill(argument.toUtf8()));
    RunResult run = runZcmd(folder_, arguments, input);
    QVERIFY2(run.finished, run.output.constData());
    QCOMPARE(run.output, fill(expected));
    QCOMPARE(run.exitCode, exitCode);
}

// "start" returns at once; the programs appear on their own.
void tst_zcmd_scripts::startedProgramsAreStarted()
{
    QVERIFY(installStandIn(folder_, QStringLiteral("Zorvane"), true));
    QVERIFY(installStandIn(folder_, QStringLiteral("BackupComplete")));
    QVERIFY(installStandIn(folder_, QStringLiteral("xdg-open")));
    QFile installer(folder_ + QStringLiteral("/Zorvane.msi"));
    QVERIFY(installer.open(QIODevice::WriteOnly));
    installer.close();
    QVERIFY(writeScript(
        folder_ + QStringLiteral("/s.bat"),
        "@echo off\nstart Zorvane.exe\nstart \"\" BackupComplete.exe done\nstart zorvane.MSI\n"
        "start NoSuchThing_"
            + id_ + ".exe\nexit\n"));
    RunResult run = runZcmd(folder_, runScript(QStringLiteral("s.bat")));
    QVERIFY(run.finished);
    QCOMPARE(run.output, "The system cannot find the file NoSuchThing_" + id_ + ".exe.\r\n");
    QCOMPARE(run.exitCode, 2);
    auto content = [&](const char *name) {
        QFile f(folder_ + QLatin1Char('/') + QLatin1String(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    QTRY_COMPARE(content("Zorvane.started"), QByteArray());
    QTRY_COMPARE(content("BackupComplete.started"), QByteArray("done\n"));
    QTRY_COMPARE(content("xdg-open.started"),
                 (folder_ + QStringLiteral("/Zorvane.msi\n")).toUtf8());
}

// A variable a line gives pscp or plink after "-pw" is the password: no
// program started afterwards gets it (or a copy of its value) in its
// environment, whether the tool ran in this interpreter, in a side of a
// pipe, or was never found.
void tst_zcmd_scripts::passwordStaysOutOfLaterPrograms_data()
{
    QTest::addColumn<QByteArray>("toolLine");
    QTest::newRow("pscp run here") << QByteArray("pscp -r -pw %PASS% x root@%IP%:/ >NUL");
    QTest::newRow("pscp in a side of a pipe")
        << QByteArray("echo y | pscp -r -pw %PASS% x root@%IP%:/ >NUL");
    QTest::newRow("plink not found") << QByteArray("missing\\plink.exe -ssh %IP% -pw %PASS% 2>NUL");
}

void tst_zcmd_scripts::passwordStaysOutOfLaterPrograms()
{
    QFETCH(QByteArray, toolLine);
    const QByteArray secret = "fennel" + id_;
    QVERIFY(writeScript(folder_ + QStringLiteral("/pw.bat"),
                        "@echo off\nset IP=10.0.0.2\nset PASS=" + secret + "\nset COPY=" + secret
                            + "\n" + toolLine + "\nenv\nset PASS=changed\nenv\n"));
    RunResult run = runZcmd(folder_, runScript(QStringLiteral("pw.bat")));
    QVERIFY(run.finished);
    // The started program does get the rest of the environment.
    QCOMPARE(run.output.count("\nIP=10.0.0.2\n"), 2);
    QVERIFY2(!run.output.contains(secret), run.output.constData());
    QVERIFY2(!run.output.contains("PASS="), run.output.constData());
}

QTEST_GUILESS_MAIN(tst_zcmd_scripts)
#include "tst_zcmd_scripts.moc"
