#include "zcmd/BatchRunner.h"

#include "zcmd/Expander.h"
#include "zcmd/Interpreter.h"
#include "zcmd/LineParser.h"
#include "zcmd/Output.h"
#include "zcmd/Text.h"

#include <fstream>
#include <sstream>

namespace zcmd {

std::vector<std::string> BatchRunner::splitLines(const std::string &content)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : content) {
        if (c == '\n' || c == '\x1a') {
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

bool BatchRunner::load(const std::string &path, std::vector<std::string> &lines)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream content;
    content << in.rdbuf();
    lines = splitLines(content.str());
    return true;
}

std::optional<size_t> BatchRunner::findLabel(const std::vector<std::string> &lines, std::string_view label,
                                             size_t from)
{
    auto labelOf = [](std::string_view line) -> std::optional<std::string> {
        line = text::skipDelimiters(line);
        if (line.empty() || line.front() != ':')
            return std::nullopt;
        line = text::skipBlanks(line.substr(1));
        size_t end = 0;
        while (end < line.size() && !text::isDelimiter(line[end]) && line[end] != '+' && line[end] != ':' &&
               line[end] != '\r')
            ++end;
        return std::string(line.substr(0, end));
    };
    from = std::min(from, lines.size());
    for (size_t pass = 0; pass < 2; ++pass) {
        size_t begin = pass == 0 ? from : 0;
        size_t end = pass == 0 ? lines.size() : from;
        for (size_t i = begin; i < end; ++i) {
            auto name = labelOf(lines[i]);
            if (name && !name->empty() && text::iequals(*name, label))
                return i;
        }
    }
    return std::nullopt;
}

int BatchRunner::runFile(const std::string &path, BatchArguments arguments)
{
    BatchFrame frame;
    frame.path = path;
    frame.arguments = std::move(arguments);
    if (!load(path, frame.lines)) {
        Output::errLine("The batch file cannot be found.");
        interpreter_.session().errorLevel = 1;
        return 1;
    }
    return run(frame, 0);
}

int BatchRunner::runLabel(const BatchFrame &current, const std::string &label, BatchArguments arguments)
{
    BatchFrame frame;
    frame.path = current.path;
    frame.lines = current.lines;
    frame.arguments = std::move(arguments);
    auto at = findLabel(frame.lines, label, 0);
    if (!at) {
        Output::errLine("The system cannot find the batch label specified - " + label);
        interpreter_.session().errorLevel = 1;
        return 1;
    }
    return run(frame, *at + 1);
}

int BatchRunner::run(BatchFrame &frame, size_t position)
{
    Session &session = interpreter_.session();
    BatchFrame *outer = session.batch;
    const int outerCallDepth = session.callDepth;
    session.batch = &frame;
    session.callDepth = 0;

    auto expandLine = [&](const std::string &line) {
        return text::withoutCarriageReturns(Expander::expand(line, interpreter_.expansionContext()));
    };

    while (position < frame.lines.size()) {
        std::string text = expandLine(frame.lines[position++]);
        LineParser::Result parsed;
        while (true) {
            parsed = LineParser::parse(text, position < frame.lines.size());
            if (parsed.status != LineParser::Status::NeedsMoreInput)
                break;
            text += '\n';
            text += expandLine(frame.lines[position++]);
        }
        if (parsed.status == LineParser::Status::SyntaxError) {
            // As on Windows, a line that cannot be parsed ends the batch file.
            if (!parsed.error.empty())
                Output::errLine(parsed.error);
            break;
        }
        if (!parsed.tree)
            continue;
        if (session.echoOn && !parsed.quiet)
            Output::out("\r\n" + interpreter_.prompt() + describe(*parsed.tree) + "\r\n");
        interpreter_.execute(*parsed.tree);

        if (session.pendingChain) {
            Session::Chain chain = *session.pendingChain;
            session.pendingChain.reset();
            if (!load(chain.path, frame.lines)) {
                Output::errLine("The batch file cannot be found.");
                break;
            }
            frame.path = chain.path;
            frame.arguments = BatchArguments::parse(chain.calledAs, chain.argumentText);
            position = 0;
            continue;
        }
        if (session.pendingGoto) {
            std::string label = *session.pendingGoto;
            session.pendingGoto.reset();
            if (text::iequals(label, "eof"))
                break;
            auto at = findLabel(frame.lines, label, position);
            if (!at) {
                Output::errLine("The system cannot find the batch label specified - " + label);
                session.errorLevel = 1;
                break;
            }
            position = *at + 1;
            continue;
        }
        if (session.flow == Flow::LeaveBatch) {
            session.flow = Flow::Continue;
            break;
        }
        if (session.flow == Flow::LeaveProgram)
            break;
    }

    session.batch = outer;
    session.callDepth = outerCallDepth;
    return session.errorLevel;
}

} // namespace zcmd
