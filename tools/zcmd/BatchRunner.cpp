#include "zcmd/BatchRunner.h"
#include "zcmd/JobLock.h"

#include "zcmd/BatchFileReader.h"
#include "zcmd/Expander.h"
#include "zcmd/Interpreter.h"
#include "zcmd/Output.h"
#include "zcmd/PasswordHandover.h"
#include "zcmd/PathResolver.h"
#include "zcmd/ScriptLimits.h"
#include "zcmd/SetCommand.h"
#include "zcmd/Text.h"

#include <fcntl.h>
#include <list>
#include <sys/file.h>
#include <unistd.h>

namespace zcmd {

namespace {

const char kBatchMissing[] = "The batch file cannot be found.";

// Held while a batch file runs: a shared lock on it, which says to the
// program (that removes finished job scripts, which hold the device's
// password) that the file is still in use.
class RunningLock {
public:
    explicit RunningLock(const std::string &path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        if (fd_ >= 0)
            ::flock(fd_, LOCK_SH);
    }
    ~RunningLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    RunningLock(const RunningLock &) = delete;
    RunningLock &operator=(const RunningLock &) = delete;

private:
    int fd_;
};

void reportMissingLabel(Session &session, const std::string &label)
{
    Output::errLine("The system cannot find the batch label specified - " + label);
    session.errorLevel = 1;
}

} // namespace

int BatchRunner::runFile(const std::string &path, BatchArguments arguments)
{
    BatchFrame frame;
    frame.path = PathResolver::absolute(path);
    frame.arguments = std::move(arguments);
    frame.arguments.batchPath = frame.path;
    if (!PathResolver::exists(frame.path)) {
        Output::errLine(kBatchMissing);
        interpreter_.session().errorLevel = 1;
        return 1;
    }
    switch (JobLock::take()) {
    case JobLock::Result::Taken:
    case JobLock::Result::NoLockFile: break;
    case JobLock::Result::Busy:
        Output::errLine("Another Zorvane job is running in this folder; this script was not run.");
        interpreter_.session().errorLevel = 1;
        return 1;
    case JobLock::Result::Refused:
        Output::errLine("The Zorvane lock file in this folder cannot be used; this script was not "
                        "run.");
        interpreter_.session().errorLevel = 1;
        return 1;
    }
    return run(frame);
}

int BatchRunner::runLabel(const BatchFrame &current, const std::string &label,
                          BatchArguments arguments)
{
    BatchFrame frame;
    frame.path = current.path;
    frame.arguments = std::move(arguments);
    frame.arguments.batchPath = current.arguments.batchPath;
    frame.arguments.zeroNamesBatch = current.arguments.zeroNamesBatch;
    auto at = BatchFileReader::findLabel(frame.path, label, current.offset);
    if (!at) {
        reportMissingLabel(interpreter_.session(), label);
        return 1;
    }
    frame.offset = *at;
    return run(frame);
}

bool BatchRunner::readCommand(BatchFrame &frame, LineParser::Result &parsed)
{
    auto expandLine = [&](const std::string &line) {
        PasswordHandover::noteSecretNames(line, interpreter_.session());
        return text::withoutCarriageReturns(
            Expander::expand(line, interpreter_.expansionContext()));
    };
    std::string line;
    switch (BatchFileReader::readLine(frame.path, frame.offset, line)) {
    case BatchFileReader::Status::EndOfFile: return false;
    case BatchFileReader::Status::Missing: Output::errLine(kBatchMissing); return false;
    case BatchFileReader::Status::Line: break;
    }
    // A line beyond the limit ends the batch file, as on Windows.
    const auto refuseIfTooLong = [&](const std::string &expanded) {
        if (!ScriptLimits::tooLong(expanded))
            return false;
        ScriptLimits::refuseLongLine(interpreter_.session());
        parsed = LineParser::Result();
        parsed.status = LineParser::Status::SyntaxError;
        return true;
    };
    std::string text = expandLine(line);
    if (refuseIfTooLong(text::withoutCarriageReturns(line)) || refuseIfTooLong(text))
        return true;
    parsed = LineParser::parse(text, true);
    while (parsed.status == LineParser::Status::NeedsMoreInput) {
        if (BatchFileReader::readLine(frame.path, frame.offset, line)
            != BatchFileReader::Status::Line) {
            parsed = LineParser::parse(text, false);
            break;
        }
        text += '\n';
        text += expandLine(line);
        if (refuseIfTooLong(text::withoutCarriageReturns(line)) || refuseIfTooLong(text))
            return true;
        parsed = LineParser::parse(text, true);
    }
    return true;
}

int BatchRunner::run(BatchFrame &frame)
{
    Session &session = interpreter_.session();
    if (ScriptLimits::refuseDeeperNesting(session))
        return session.errorLevel;
    ++session.batchNesting;
    BatchFrame *outer = session.batch;
    const int outerCallDepth = session.callDepth;
    session.batch = &frame;
    session.callDepth = 0;

    std::list<RunningLock> locks;
    locks.emplace_back(frame.path);
    LineParser::Result parsed;
    while (readCommand(frame, parsed)) {
        session.spendBudget(1);
        if (parsed.status == LineParser::Status::SyntaxError) {
            // As on Windows, a line that cannot be parsed ends the batch file.
            if (!parsed.error.empty())
                Output::errLine(parsed.error);
            break;
        }
        const bool shown = session.echoOn && !parsed.quiet;
        if (!parsed.tree) {
            // A remark does nothing, but command echo shows it like any command.
            if (shown && !parsed.remark.empty())
                Output::out("\r\n" + interpreter_.prompt() + parsed.remark + " \r\n");
            continue;
        }
        if (shown)
            Output::out("\r\n" + interpreter_.prompt() + describe(*parsed.tree) + "\r\n");
        interpreter_.execute(*parsed.tree);
        // Checked before a chain or a jump: a batch file that names itself
        // must still end when the whole program is left.
        if (session.flow == Flow::LeaveProgram)
            break;

        if (session.pendingChain) {
            Session::Chain chain = *session.pendingChain;
            session.pendingChain.reset();
            // What ran after the hand-over on the same line acts on the new
            // file: "exit /b" or "goto :eof" ends it before it starts, and
            // GOTO looks for its label there.
            if (session.flow == Flow::LeaveBatch) {
                session.flow = Flow::Continue;
                session.pendingGoto.reset();
                break;
            }
            frame.path = PathResolver::absolute(chain.path);
            frame.offset = 0;
            frame.arguments = BatchArguments::parse(chain.calledAs, chain.argumentText);
            frame.arguments.batchPath = frame.path;
            // Only the file now running is held: one that chains to itself
            // for ever must not pile up open files.
            locks.clear();
            locks.emplace_back(frame.path);
            if (!session.pendingGoto)
                continue;
        }
        if (session.pendingGoto) {
            std::string label = *session.pendingGoto;
            session.pendingGoto.reset();
            auto at = BatchFileReader::findLabel(frame.path, label, frame.offset);
            if (!at) {
                reportMissingLabel(session, label);
                break;
            }
            frame.offset = *at;
            continue;
        }
        if (session.flow == Flow::LeaveBatch) {
            session.flow = Flow::Continue;
            break;
        }
        if (session.flow == Flow::LeaveProgram)
            break;
    }

    // The end of a file or of a called label ends its SETLOCALs.
    SetCommand::endAllLocals(session, frame);
    session.batch = outer;
    session.callDepth = outerCallDepth;
    --session.batchNesting;
    return session.errorLevel;
}

} // namespace zcmd
