// libFuzzer target: any bytes, read as a batch file, go through percent
// expansion, line joining and the line parser, and each command's text through
// the argument split, as the interpreter would do before running anything;
// each line is also read as a label line and as the text of a GOTO.
// Nothing is run. No input may crash, trip a sanitizer or hang.
#include "zcmd/Ast.h"
#include "zcmd/BatchArguments.h"
#include "zcmd/BatchLabel.h"
#include "zcmd/CommandWords.h"
#include "zcmd/Expander.h"
#include "zcmd/LineParser.h"
#include "zcmd/Text.h"
#include "zcmd/Variables.h"
#include "zcmd/WindowsArgv.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace zcmd;

namespace {

size_t visit(const Node &node)
{
    size_t count = 1;
    if (node.type == Node::Type::Command) {
        count += WindowsArgv::split(node.text).size();
        count += CommandWords::split(node.text).size();
        count += CommandWords::firstWordEnd(node.text);
    }
    for (const NodePtr &child : node.children)
        count += visit(*child);
    if (node.thenBranch)
        count += visit(*node.thenBranch);
    if (node.elseBranch)
        count += visit(*node.elseBranch);
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 8192)
        return 0;
    std::string input(reinterpret_cast<const char *>(data), size);

    Variables variables;
    variables.set("PASS", "a b&\"c%d^");
    variables.set("IP", "192.168.0.2");
    variables.set("V", "x^&y|(z)");
    BatchArguments arguments = BatchArguments::parse("t.bat", "one \"two three\" ,;=");
    arguments.batchPath = "/folder/t.bat";
    const bool batchMode = size % 2 == 0;
    Expander::Context context{variables, 3, batchMode ? &arguments : nullptr};

    std::vector<std::string> lines;
    std::string line;
    for (char c : input) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    lines.push_back(line);

    size_t position = 0;
    volatile size_t sink = 0;
    while (position < lines.size()) {
        // The label a line defines and the label a GOTO on it would name.
        auto label = BatchLabel::ofLine(lines[position]);
        sink = sink + (label ? label->size() : 0) + BatchLabel::named(lines[position]).size()
               + BatchLabel::isEndOfFile(lines[position]);
        std::string text =
            text::withoutCarriageReturns(Expander::expand(lines[position++], context));
        LineParser::Result parsed;
        while (true) {
            parsed = LineParser::parse(text, position < lines.size());
            if (parsed.status != LineParser::Status::NeedsMoreInput)
                break;
            text += '\n';
            text += text::withoutCarriageReturns(Expander::expand(lines[position++], context));
        }
        if (parsed.tree) {
            sink = sink + visit(*parsed.tree) + describe(*parsed.tree).size();
        }
        sink = sink + parsed.error.size();
    }
    size_t colon = input.find(':');
    if (colon != std::string::npos) {
        auto edited = Expander::applyEdit(input.substr(0, colon), input.substr(colon + 1));
        sink = sink + (edited ? edited->size() : 0);
    }
    return 0;
}
