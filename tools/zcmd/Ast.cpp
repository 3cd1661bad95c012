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

std::string describeTest(const IfTest &t)
{
    std::string out;
    if (t.ignoreCase)
        out += "/I ";
    if (t.negate)
        out += "NOT ";
    switch (t.kind) {
    case IfTest::Kind::Exist: return out + "exist " + t.left;
    case IfTest::Kind::ErrorLevel: return out + "errorlevel " + t.left;
    case IfTest::Kind::Defined: return out + "defined " + t.left;
    case IfTest::Kind::CmdExtVersion: return out + "cmdextversion " + t.left;
    case IfTest::Kind::Compare: return out + t.left + " " + t.op + " " + t.right;
    }
    return out;
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
    case Node::Type::Block: out = "(" + joined(node, "& ") + ")"; break;
    case Node::Type::If:
        out = "if " + describeTest(node.test) + " "
              + (node.thenBranch ? describe(*node.thenBranch) : "");
        if (node.elseBranch)
            out += " else " + describe(*node.elseBranch);
        break;
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
    for (const Redirection &r : node.redirections)
        out += " " + describe(r);
    return out;
}

} // namespace zcmd
