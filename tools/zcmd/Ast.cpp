#include "zcmd/Ast.h"

namespace zcmd {

std::string describe(const Redirection &r)
{
    std::string out = std::to_string(r.fd);
    switch (r.kind) {
    case Redirection::Kind::Input: return out + "<" + r.target;
    case Redirection::Kind::Output: return out + ">" + r.target;
    case Redirection::Kind::Append: return out + ">>" + r.target;
    case Redirection::Kind::DuplicateOutput: return out + ">&" + std::to_string(r.sourceFd);
    case Redirection::Kind::DuplicateInput: return out + "<&" + std::to_string(r.sourceFd);
    }
    return out;
}

namespace {

// Every simple command is shown followed by a blank, and an operator by a
// blank after it: "echo a & echo b" shows as "echo a  & echo b ".
std::string joined(const Node &node, const char *separator)
{
    std::string out;
    for (size_t i = 0; i < node.children.size(); ++i) {
        if (i)
            out += separator;
        out += describe(*node.children[i]);
    }
    return out;
}

// IF shows its words as the line spells them, as every command name is
// shown; a comparison shows one blank either side of its operator.
std::string describeTest(const IfTest &t)
{
    std::string out;
    if (t.ignoreCase)
        out += t.caseWord + " ";
    if (t.negate)
        out += t.notWord + " ";
    if (t.kind == IfTest::Kind::Compare)
        return out + t.left + " " + t.op + " " + t.right;
    return out + t.kindWord + " " + t.left;
}

// A block is shown with a blank after its closing parenthesis. One written
// over several lines shows each of its lines on a line of its own, the
// first right after the "(" line, each later one after a blank, and the
// ")" on a line of its own:
//     if 1 == 1 (
//     echo a
//      echo b
//     )
std::string describeBlock(const Node &node)
{
    if (!node.spansLines)
        return "(" + joined(node, "& ") + ") ";
    std::string out = "(";
    for (size_t i = 0; i < node.children.size(); ++i) {
        if (i == 0)
            out += "\r\n";
        else if (i < node.lineStarts.size() && node.lineStarts[i])
            out += "\r\n ";
        else
            out += "& ";
        out += describe(*node.children[i]);
    }
    return out + "\r\n) ";
}

} // namespace

std::string describe(const Node &node)
{
    std::string out;
    switch (node.type) {
    case Node::Type::Command:
        out = node.text + " ";
        for (const Redirection &r : node.redirections)
            out += describe(r) + " ";
        return out;
    case Node::Type::Block:
        out = describeBlock(node);
        for (const Redirection &r : node.redirections)
            out += describe(r) + " ";
        return out;
    case Node::Type::If:
        // "if 1 == 2 (echo a )  else (echo b ) ": the block's blank, then " else ".
        out = node.test.ifWord + " " + describeTest(node.test) + " "
              + (node.thenBranch ? describe(*node.thenBranch) : "");
        if (node.elseBranch)
            out += " " + node.test.elseWord + " " + describe(*node.elseBranch);
        return out;
    case Node::Type::Pipe: return joined(node, "| ");
    case Node::Type::Conditional:
        for (size_t i = 0; i < node.children.size(); ++i) {
            if (i)
                out += i < node.orJoins.size() && node.orJoins[i] ? "|| " : "&& ";
            out += describe(*node.children[i]);
        }
        return out;
    case Node::Type::Sequence: return joined(node, "& ");
    }
    return out;
}

} // namespace zcmd
