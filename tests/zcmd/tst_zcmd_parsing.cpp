// The interpreter's pieces that need no process: line parsing, percent
// expansion, the C runtime's argument split, the /c quote rule, program
// lookup, image-name and wildcard matching; a script run through a
// stand-in for the operating system.
#include "zcmd/Ast.h"
#include "zcmd/Expander.h"
#include "zcmd/Interpreter.h"
#include "zcmd/FileNamePattern.h"
#include "zcmd/IfComparison.h"
#include "zcmd/Invocation.h"
#include "zcmd/LineParser.h"
#include "zcmd/PathResolver.h"
#include "zcmd/ProcessKiller.h"
#include "zcmd/ProgramFinder.h"
#include "zcmd/StallWatch.h"
#include "zcmd/WindowsArgv.h"

#include "StandInSystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace zcmd;

namespace {

std::string dump(const Node &node);

std::string dumpRedirections(const Node &node)
{
    std::string out;
    for (const Redirection &r : node.redirections)
        out += "|" + describe(r);
    return out;
}

std::string dumpChildren(const Node &node, const char *separator)
{
    std::string out;
    for (size_t i = 0; i < node.children.size(); ++i)
        out += (i ? separator : "") + dump(*node.children[i]);
    return out;
}

std::string dump(const Node &node)
{
    switch (node.type) {
    case Node::Type::Command: return "cmd{" + node.text + dumpRedirections(node) + "}";
    case Node::Type::Block:
        return "block{" + dumpChildren(node, ";") + "}" + dumpRedirections(node);
    case Node::Type::Pipe: return "pipe{" + dumpChildren(node, "|") + "}";
    case Node::Type::Sequence: return "seq{" + dumpChildren(node, ";") + "}";
    case Node::Type::Conditional: {
        std::string out = "cond{";
        for (size_t i = 0; i < node.children.size(); ++i)
            out += (i ? (node.orJoins[i] ? "||" : "&&") : "") + dump(*node.children[i]);
        return out + "}";
    }
    case Node::Type::If: {
        const IfTest &t = node.test;
        std::string out =
            std::string("if{") + (t.negate ? "not " : "") + (t.ignoreCase ? "/i " : "") + t.left
            + (t.op.empty() ? "" : " " + t.op + " " + t.right) + "?" + dump(*node.thenBranch);
        if (node.elseBranch)
            out += ":" + dump(*node.elseBranch);
        return out + "}";
    }
    }
    return "?";
}

QString outcome(const LineParser::Result &r)
{
    switch (r.status) {
    case LineParser::Status::NeedsMoreInput: return QStringLiteral("<more>");
    case LineParser::Status::SyntaxError:
        return QStringLiteral("<error: %1>").arg(QString::fromStdString(r.error));
    case LineParser::Status::Complete: break;
    }
    QString text = r.tree ? QString::fromStdString(dump(*r.tree)) : QStringLiteral("<nothing>");
    return r.quiet ? QStringLiteral("@") + text : text;
}

} // namespace

class tst_zcmd_parsing : public QObject {
    Q_OBJECT

private slots:
    void lineParser_data();
    void lineParser();
    void deepNestingIsRefused();
    void expansion_data();
    void expansion();
    void argumentSplit_data();
    void argumentSplit();
    void commandQuoteRule_data();
    void commandQuoteRule();
    void programLookup();
    void imageNames_data();
    void imageNames();
    void wildcards();
    void ifComparisonOrder_data();
    void ifComparisonOrder();
    void stallWatchOnAFakeClock();
    void scriptReachesTheSystemOnlyThroughItsLayer();
};

void tst_zcmd_parsing::lineParser_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("more");
    QTest::addColumn<QString>("expected");

    QTest::newRow("sequence") << "echo a & echo b" << false << "seq{cmd{echo a };cmd{echo b}}";
    QTest::newRow("caret escapes") << "echo a ^& b ^^ c" << false << "cmd{echo a & b ^ c}";
    QTest::newRow("quotes protect")
        << "echo \"a & b ^ | c\" d" << false << "cmd{echo \"a & b ^ | c\" d}";
    QTest::newRow("escaped quote does not open quotes")
        << "echo ^\"a & b" << false << "seq{cmd{echo \"a };cmd{b}}";
    QTest::newRow("redirection inside the arguments")
        << "taskkill.exe >NUL /F /IM Zorvane.exe" << false
        << "cmd{taskkill.exe  /F /IM Zorvane.exe|1>NUL}";
    QTest::newRow("handle duplication") << "a 2>&1 >out.txt" << false << "cmd{a  |2>&1|1>out.txt}";
    QTest::newRow("digit inside a word is no handle") << "echo a2>b" << false << "cmd{echo a2|1>b}";
    QTest::newRow("append and input")
        << "sort < \"in file\" >> out" << false << "cmd{sort  |0<\"in file\"|1>>out}";
    QTest::newRow("conditional chain")
        << "a && b || c" << false << "cond{cmd{a }&&cmd{b }||cmd{c}}";
    QTest::newRow("pipe binds tighter")
        << "a | b && c" << false << "cond{pipe{cmd{a }|cmd{b }}&&cmd{c}}";
    QTest::newRow("block over lines")
        << "(echo a\necho b) > x" << false << "block{cmd{echo a};cmd{echo b}}|1>x";
    QTest::newRow("open block wants more") << "(echo a" << true << "<more>";
    QTest::newRow("open block at the end is dropped") << "(echo a" << false << "<error: >";
    QTest::newRow("if else with blocks")
        << "if \"a\"==\"a\" (echo y) else (echo n)" << false
        << "if{\"a\" == \"a\"?block{cmd{echo y}}:block{cmd{echo n}}}";
    QTest::newRow("if takes the rest of the line")
        << "if exist f echo a & echo b" << false << "if{f?seq{cmd{echo a };cmd{echo b}}}";
    QTest::newRow("if /i not") << "if /i not %x%==ABC echo d" << false
                               << "if{not /i %x% == ABC?cmd{echo d}}";
    QTest::newRow("if errorlevel") << "if errorlevel 2 exit" << false << "if{2?cmd{exit}}";
    QTest::newRow("if comparison word")
        << "if 10 GTR 9 echo n" << false << "if{10 GTR 9?cmd{echo n}}";
    QTest::newRow("if inside a block ends at the line")
        << "(if a==a echo x\necho y)" << false << "block{if{a == a?cmd{echo x}};cmd{echo y}}";
    QTest::newRow("nested if: each else pairs with the nearest if")
        << "if a==a if b==b (x) else (y) else z" << false
        << "if{a == a?if{b == b?block{cmd{x}}:block{cmd{y}}}:cmd{z}}";
    QTest::newRow("redirection before a block")
        << ">f (echo a) 2>g" << false << "block{cmd{echo a}}|1>f|2>g";
    QTest::newRow("quiet line") << "@echo off" << false << "@cmd{echo off}";
    QTest::newRow("label") << ": start" << false << "<nothing>";
    QTest::newRow("remark") << "rem a & b > c" << false << "<nothing>";
    QTest::newRow("remark as the command of IF, ELSE, && and ||")
        << "if 1==2 (echo a) else rem b & c || rem d" << false
        << "if{1 == 2?block{cmd{echo a}}:cmd{rem b & c || rem d}}";
    QTest::newRow("remark after ||")
        << "a || rem b & c" << false << "cond{cmd{a }||cmd{rem b & c}}";
    QTest::newRow("remark inside a block")
        << "(\nrem a ) & b\necho c\n)" << false << "block{cmd{rem a ) & b};cmd{echo c}}";
    QTest::newRow("remark after IF") << "if 1==1 rem b" << false << "if{1 == 1?cmd{rem b}}";
    QTest::newRow("closing paren outside a block") << ") anything" << false << "<nothing>";
    QTest::newRow("paren inside arguments") << "echo (a) b)" << false << "cmd{echo (a) b)}";
    QTest::newRow("caret at the end wants more") << "Done ^.^" << true << "<more>";
    QTest::newRow("caret at the end of the file") << "Done ^.^" << false << "cmd{Done .}";
    QTest::newRow("caret joins the next line") << "Done ^.^\npause" << false << "cmd{Done .pause}";
    QTest::newRow("joined line's first character is literal")
        << "echo a^\n&b" << false << "cmd{echo a&b}";
    QTest::newRow("ampersand at the start")
        << "& echo" << false << "<error: & was unexpected at this time.>";
    QTest::newRow("redirection without a file")
        << "echo >" << false << "<error: The syntax of the command is incorrect.>";
    QTest::newRow("if without a command")
        << "if a==a" << false << "<error: The syntax of the command is incorrect.>";
    QTest::newRow("trailing ampersand") << "echo a &" << false << "cmd{echo a }";
    QTest::newRow("an unknown IF operator is named as written")
        << "if 1 Foo 2 echo x" << false << "<error: Foo was unexpected at this time.>";
    QTest::newRow("a known IF operator in any case compares")
        << "if 1 gEq 2 echo x" << false << "if{1 GEQ 2?cmd{echo x}}";
}

void tst_zcmd_parsing::lineParser()
{
    QFETCH(QString, line);
    QFETCH(bool, more);
    QFETCH(QString, expected);
    QCOMPARE(outcome(LineParser::parse(line.toStdString(), more)), expected);
}

void tst_zcmd_parsing::deepNestingIsRefused()
{
    std::string deep(10000, '(');
    QCOMPARE(LineParser::parse(deep, false).status, LineParser::Status::SyntaxError);
    std::string ifs;
    for (int i = 0; i < 5000; ++i)
        ifs += "if a==a ";
    ifs += "echo x";
    QCOMPARE(LineParser::parse(ifs, false).status, LineParser::Status::SyntaxError);
    std::string shallow;
    for (int i = 0; i < LineParser::kMaxNesting / 2; ++i)
        shallow += "(";
    shallow += "echo x" + std::string(LineParser::kMaxNesting / 2, ')');
    QCOMPARE(LineParser::parse(shallow, false).status, LineParser::Status::Complete);
}

void tst_zcmd_parsing::expansion_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("batch");
    QTest::addColumn<QString>("expected");

    QTest::newRow("case-insensitive name") << "[%name%][%NAME%]" << true << "[value][value]";
    QTest::newRow("doubled percent") << "100%% [%%NAME%%]" << true << "100% [%NAME%]";
    QTest::newRow("undefined goes") << "[%nothing%]" << true << "[]";
    QTest::newRow("lone percent goes") << "50% done" << true << "50 done";
    QTest::newRow("command line keeps them")
        << "[%nothing%] 50% %%" << false << "[%nothing%] 50% %%";
    QTest::newRow("parameters") << "%0|%1|%2|%~2|%9|%*" << true
                                << "t.bat|one|\"two three\"|two three||one \"two three\"";
    QTest::newRow("error level") << "%ERRORLEVEL%" << true << "3";
    QTest::newRow("substring") << "%NAME:~1,3%|%NAME:~-2%|%NAME:~0,-1%" << true << "alu|ue|valu";
    QTest::newRow("replace") << "%NAME:A=X%|%NAME:*l=Q%" << true << "vXlue|Que";
    QTest::newRow("undefined with colon") << "%UNDEF:~1%rest" << true << "~1rest";
    QTest::newRow("value not expanded again") << "%SELF%" << true << "%NAME%";
    QTest::newRow("special characters untouched") << "%SPECIAL%" << true << "a^&b|\"c\"";
}

void tst_zcmd_parsing::expansion()
{
    QFETCH(QString, line);
    QFETCH(bool, batch);
    QFETCH(QString, expected);
    Variables vars;
    vars.set("Name", "value");
    vars.set("SELF", "%NAME%");
    vars.set("SPECIAL", "a^&b|\"c\"");
    BatchArguments args = BatchArguments::parse("t.bat", " one \"two three\"");
    Expander::Context context{vars, 3, batch ? &args : nullptr};
    QCOMPARE(QString::fromStdString(Expander::expand(line.toStdString(), context)), expected);
}

void tst_zcmd_parsing::argumentSplit_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("plain") << "p a b  c" << QStringList{"p", "a", "b", "c"};
    QTest::newRow("quoted program name") << "\"C:\\a b\\p\" x" << QStringList{"C:\\a b\\p", "x"};
    QTest::newRow("quotes removed") << "p \"a b\" c\"d e\"f" << QStringList{"p", "a b", "cd ef"};
    QTest::newRow("backslashes alone are literal") << "p a\\\\\\b" << QStringList{"p", "a\\\\\\b"};
    QTest::newRow("odd backslashes before a quote")
        << "p a\\\\\\\"b c" << QStringList{"p", "a\\\"b", "c"};
    QTest::newRow("even backslashes before a quote")
        << "p a\\\\\\\\\"b c\" d" << QStringList{"p", "a\\\\b c", "d"};
    QTest::newRow("doubled quote inside quotes")
        << "p \"a\"\"b\" c" << QStringList{"p", "a\"b", "c"};
    QTest::newRow("escaped quote") << "p \"a b&\\\"c%d\"" << QStringList{"p", "a b&\"c%d"};
    QTest::newRow("empty argument") << "p \"\" x" << QStringList{"p", "", "x"};
    QTest::newRow("tabs separate") << "p\ta\t\"b\tc\"" << QStringList{"p", "a", "b\tc"};
}

void tst_zcmd_parsing::argumentSplit()
{
    QFETCH(QString, commandLine);
    QFETCH(QStringList, expected);
    QStringList actual;
    for (const std::string &arg : WindowsArgv::split(commandLine.toStdString()))
        actual << QString::fromStdString(arg);
    QCOMPARE(actual, expected);
}

void tst_zcmd_parsing::commandQuoteRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("slashS");
    QTest::addColumn<QString>("expected");

    QTest::newRow("quoted script") << "\"Yes.bat\"" << false << "Yes.bat";
    QTest::newRow("program with a blank stays quoted")
        << "\"my prog\" x" << false << "\"my prog\" x";
    QTest::newRow("not a program") << "\"no such\" x" << false << "no such x";
    QTest::newRow("more quotes") << "\"my prog\" \"x\"" << false << "my prog\" \"x";
    QTest::newRow("/s always strips") << "\"my prog\" x" << true << "my prog x";
    QTest::newRow("special character inside") << "\"my&prog\"" << false << "my&prog";
    QTest::newRow("no leading quote") << "  echo \"a\"" << false << "echo \"a\"";
}

void tst_zcmd_parsing::commandQuoteRule()
{
    QFETCH(QString, text);
    QFETCH(bool, slashS);
    QFETCH(QString, expected);
    auto isProgram = [](const std::string &name) { return name == "my prog"; };
    QCOMPARE(
        QString::fromStdString(Invocation::applyQuoteRule(text.toStdString(), slashS, isProgram)),
        expected);
}

void tst_zcmd_parsing::programLookup()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string folder = dir.path().toStdString();
    auto make = [&](const char *name, bool executable) {
        QFile f(dir.path() + QLatin1Char('/') + QLatin1String(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.close();
        if (executable)
            f.setPermissions(f.permissions() | QFile::ExeOwner);
    };
    make("plink.exe", false); // a file for the device, not a program here
    make("plink", true);
    make("Zorvane", true);
    make("No.bat", false);
    make("tool.bat", false);
    make("tool", true);

    auto found = [&](const char *name) -> QString {
        auto f = ProgramFinder::findIn(folder, name);
        if (!f)
            return QStringLiteral("<none>");
        QString file = QString::fromStdString(f->path).section(QLatin1Char('/'), -1);
        return (f->kind == FoundProgram::Kind::Batch ? QStringLiteral("batch:")
                                                     : QStringLiteral("exe:"))
               + file;
    };
    QCOMPARE(found("plink"), QStringLiteral("exe:plink"));
    QCOMPARE(found("PLINK.EXE"), QStringLiteral("exe:plink"));
    QCOMPARE(found("zorvane.exe"), QStringLiteral("exe:Zorvane"));
    QCOMPARE(found("no.bat"), QStringLiteral("batch:No.bat"));
    QCOMPARE(found("no"), QStringLiteral("batch:No.bat"));
    QCOMPARE(found("tool"), QStringLiteral("batch:tool.bat")); // extensions before the bare name
    QCOMPARE(found("tool.bat"), QStringLiteral("batch:tool.bat"));
    QCOMPARE(found("missing"), QStringLiteral("<none>"));
    QCOMPARE(found("No.exe"), QStringLiteral("<none>"));

    Variables vars;
    vars.set("PATH", folder);
    auto viaPath = ProgramFinder::find("TOOL.BAT", vars);
    QVERIFY(viaPath);
    QCOMPARE(QString::fromStdString(viaPath->path), dir.path() + QStringLiteral("/tool.bat"));
}

void tst_zcmd_parsing::imageNames_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("truncated");
    QTest::addColumn<bool>("matches");

    QTest::newRow("with .exe") << "Zorvane.exe"
                               << "Zorvane" << false << true;
    QTest::newRow("case") << "ZORVANE.EXE"
                          << "zorvane" << false << true;
    QTest::newRow("without .exe") << "Zorvane"
                                  << "Zorvane" << false << true;
    QTest::newRow("exact .exe name") << "Zorvane.exe"
                                     << "Zorvane.exe" << false << true;
    QTest::newRow("other program") << "Zorvane.exe"
                                   << "ZorvaneHelper" << false << false;
    QTest::newRow("prefix only") << "Zorvane.exe"
                                 << "Zorv" << false << false;
    QTest::newRow("bare image does not match .exe name") << "Zorvane"
                                                         << "Zorvane.exe" << false << false;
    QTest::newRow("cut command name") << "SymlinkCompleteX.exe"
                                      << "SymlinkComplete" << true << true;
    QTest::newRow("cut name needs the cut") << "SymlinkCompleteX.exe"
                                            << "SymlinkComplete" << false << false;
    QTest::newRow("wildcard") << "iTunes*"
                              << "iTunesHelper" << false << true;
}

void tst_zcmd_parsing::imageNames()
{
    QFETCH(QString, image);
    QFETCH(QString, name);
    QFETCH(bool, truncated);
    QFETCH(bool, matches);
    QCOMPARE(ProcessKiller::imageMatches(image.toStdString(), name.toStdString(), truncated),
             matches);
}

void tst_zcmd_parsing::wildcards()
{
    QVERIFY(PathResolver::wildcardMatch("*.TXT", "notes.txt"));
    QVERIFY(PathResolver::wildcardMatch("*.*", "noext"));
    QVERIFY(PathResolver::wildcardMatch("a?c*", "abcdef"));
    QVERIFY(!PathResolver::wildcardMatch("a?c", "ac"));
    QVERIFY(!PathResolver::wildcardMatch("*.txt", "notes.txt.bak"));
    // File names as the Windows file system matches them.
    QVERIFY(FileNamePattern::matches("f?.txt", "f.txt"));
    QVERIFY(FileNamePattern::matches("f?.txt", "fa.txt"));
    QVERIFY(!FileNamePattern::matches("f?.txt", "fab.txt"));
    QVERIFY(FileNamePattern::matches("foo??", "foo"));
    QVERIFY(FileNamePattern::matches("*.", "readme"));
    QVERIFY(!FileNamePattern::matches("*.", "read.me"));
    QVERIFY(FileNamePattern::matches("*.TXT", "a.b.txt"));
    QVERIFY(!FileNamePattern::matches("*.txt", "notes.txt.bak"));
    QVERIFY(FileNamePattern::matches("*.*", "noext"));
    QVERIFY(!FileNamePattern::matches("a?c", "ac"));
    QVERIFY(!FileNamePattern::matches(std::string(40, '*') + "b", std::string(60, 'a')));
    QVERIFY(PathResolver::isNullDevice("nul"));
    QVERIFY(PathResolver::isNullDevice("\"NUL\""));
    QVERIFY(!PathResolver::isNullDevice("null"));
}

void tst_zcmd_parsing::ifComparisonOrder_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<int>("order");

    QTest::newRow("octal") << "010"
                           << "8" << false << 0;
    QTest::newRow("hexadecimal") << "0x1F"
                                 << "31" << false << 0;
    QTest::newRow("signs") << "-5"
                           << "+4" << false << -1;
    QTest::newRow("numbers, not digits") << "9"
                                         << "10" << false << -1;
    QTest::newRow("no octal 9: compared as words") << "09"
                                                   << "8" << false << -1;
    QTest::newRow("beyond 32 bits stands at the limit") << "2147483648"
                                                        << "2147483647" << false << 0;
    QTest::newRow("case breaks ties only") << "a"
                                           << "B" << false << -1;
    QTest::newRow("lower case first") << "a"
                                      << "A" << false << -1;
    QTest::newRow("/I ignores case") << "ABC"
                                     << "abc" << true << 0;
    QTest::newRow("shorter first") << "ab"
                                   << "abc" << false << -1;
    QTest::newRow("digits before letters") << "1x"
                                           << "a" << false << -1;
    QTest::newRow("symbols before digits") << "_x"
                                           << "0" << false << -1;
    QTest::newRow("a hyphen counts last") << "co-op"
                                          << "coop" << false << 1;
    QTest::newRow("hyphen passed over") << "co-op"
                                        << "cop" << false << -1;
}

void tst_zcmd_parsing::ifComparisonOrder()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(bool, ignoreCase);
    QFETCH(int, order);
    auto sign = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
    QCOMPARE(sign(IfComparison::compare(left.toStdString(), right.toStdString(), ignoreCase)),
             order);
    QCOMPARE(sign(IfComparison::compare(right.toStdString(), left.toStdString(), ignoreCase)),
             -order);
}

// The watchdog's decisions, sampled once a second on a made-up clock.
void tst_zcmd_parsing::stallWatchOnAFakeClock()
{
    using zcmd::StallLimits;
    using zcmd::StallWatch;
    using Say = StallWatch::Say;
    // Limits a test may set; anything else leaves the user's defaults.
    const StallLimits set = StallLimits::parse("2,6,3");
    QCOMPARE((std::vector<int>{set.noticeSeconds, set.stopSeconds, set.afterStopSeconds}),
             (std::vector<int>{2, 6, 3}));
    for (const char *bad : {"", "2,6", "2,6,3,4", "0,6,3", "7,6,3", "2,x,3", "2,6,3 ", "-1,6,3"}) {
        const StallLimits d = StallLimits::parse(bad);
        QVERIFY2(d.noticeSeconds == 15 && d.stopSeconds == 90 && d.afterStopSeconds == 20, bad);
    }
    QCOMPARE(StallLimits::parse(nullptr).stopSeconds, 90);

    // Says "quiet" from the notice on, every few seconds, and stops at the limit.
    const StallLimits limits = StallLimits::parse("2,12,3");
    StallWatch w(limits, false, 0);
    QList<std::pair<int, Say>> said;
    for (int s = 1; s <= 12; ++s) {
        const Say say = w.sample(s * 1000, false);
        if (say != Say::Nothing)
            said.append({s, say});
    }
    QCOMPARE(said, (QList<std::pair<int, Say>>{{2, Say::Quiet}, {7, Say::Quiet}, {12, Say::Stop}}));
    QCOMPARE(w.quietSeconds(12000), 12);
    QVERIFY(!w.everMoved());

    // A link back just before the limit goes on with the whole limit again.
    StallWatch back(limits, false, 0);
    for (int s = 1; s <= 11; ++s)
        QVERIFY(back.sample(s * 1000, false) != Say::Stop);
    QCOMPARE(back.sample(11500, true), Say::Back);
    QCOMPARE(back.sample(12500, true), Say::Nothing);
    QCOMPARE(back.sample(23000, false), Say::Quiet);
    QCOMPARE(back.sample(24000, false), Say::Nothing);
    QCOMPARE(back.sample(24500, false), Say::Stop);
    QVERIFY(back.everMoved());

    // After a stopped step: the shorter limit, until the device answers.
    StallWatch after(limits, true, 0);
    QCOMPARE(after.stopSeconds(), 3);
    QCOMPARE(after.sample(2000, false), Say::Quiet);
    QCOMPARE(after.sample(3000, false), Say::Stop);
    StallWatch revived(limits, true, 0);
    QCOMPARE(revived.sample(1000, true), Say::Nothing);
    QCOMPARE(revived.stopSeconds(), 12);
    QCOMPARE(revived.sample(5000, false), Say::Quiet);
    QCOMPARE(revived.sample(9000, false), Say::Nothing);
    QCOMPARE(revived.sample(13000, false), Say::Stop);
}

// Folders, files and a started program, all through a stand-in system: what
// the script did is in the stand-in, nothing of it on the real disk.
void tst_zcmd_parsing::scriptReachesTheSystemOnlyThroughItsLayer()
{
    QTemporaryDir realFolder;
    QVERIFY(realFolder.isValid());
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(realFolder.path()));
    const auto restoreFolder = qScopeGuard([&] { QDir::setCurrent(before); });

    StandInSystem standIn;
    standIn.addFolder("/job");
    standIn.addFolder("/job/Sub");
    standIn.addFile("/job/Sub/a.txt", "hello\r\n");
    standIn.addFolder("/tools");
    standIn.addFile("/tools/tool.exe", "", true);
    standIn.addFile("/job/job.bat", "@echo off\r\ncd sub\r\nmd new\r\ncopy A.TXT new\\b.txt\r\n"
                                    "del a.txt\r\ntool one two\r\necho done %errorlevel%\r\n");
    standIn.folder = "/job";
    standIn.programExitCode = 7;
    System *const replaced = System::replace(&standIn);
    const auto restoreSystem = qScopeGuard([&] { System::replace(replaced); });

    Session session;
    session.variables.set("PATH", "/tools");
    session.variables.set("PATHEXT", ".COM;.EXE;.BAT;.CMD");
    Interpreter interpreter(session);
    const int code = interpreter.runBatch("job.bat", "job.bat", "");
    System::replace(replaced);

    QCOMPARE(code, 7);
    QVERIFY2(standIn.errors.empty(), standIn.errors.c_str());
    QVERIFY2(standIn.output.find("1 file(s) copied.") != std::string::npos, standIn.output.c_str());
    QVERIFY2(standIn.output.find("done 7\r\n") != std::string::npos, standIn.output.c_str());
    const std::vector<std::string> changes{
        "changeFolder /job/Sub",
        "makeFolder /job/Sub/new",
        "openFile /job/Sub/new/b.txt for writing",
        "removeFile /job/Sub/a.txt",
        "startChild /tools/tool.exe one two",
    };
    QCOMPARE(standIn.changes, changes);
    QCOMPARE(standIn.started.size(), size_t(1));
    QCOMPARE(standIn.started[0].arguments, std::vector<std::string>({"tool.exe", "one", "two"}));
    QCOMPARE(standIn.tree.count("/job/Sub/a.txt"), size_t(0));
    QCOMPARE(standIn.tree["/job/Sub/new/b.txt"].content, std::string("hello\r\n"));
    QCOMPARE(standIn.folder, std::string("/job/Sub"));

    QCOMPARE(QDir::currentPath(), realFolder.path());
    QVERIFY(QDir(realFolder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                .isEmpty());

    // A process id beyond the system's range names no process, not the one
    // it would wrap round to (4294967297 is 1 cut to 32 bits).
    standIn.running = {1, 1234};
    standIn.changes.clear();
    standIn.errors.clear();
    System::replace(&standIn);
    QCOMPARE(interpreter.runCommandLine("taskkill /F /PID 4294967297"), 128);
    QCOMPARE(interpreter.runCommandLine("taskkill /F /PID 1234"), 0);
    System::replace(replaced);
    QVERIFY2(standIn.errors.find("The process \"4294967297\" not found.") != std::string::npos,
             standIn.errors.c_str());
    QCOMPARE(standIn.changes, std::vector<std::string>({"endProcess 1234 forced"}));
}

QTEST_GUILESS_MAIN(tst_zcmd_parsing)
#include "tst_zcmd_parsing.moc"
