#include "zcmd/LineParser.h"

#include "zcmd/Text.h"

namespace zcmd {

namespace {

const char kIncorrect[] = "The syntax of the command is incorrect.";

struct NeedMore {};
struct SyntaxFailure {
    std::string message;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

class Parser {
public:
    Parser(std::string_view text, bool more)
        : s_(text)
        , more_(more)
    {}

    LineParser::Result run()
    {
        LineParser::Result result;
        try {
            result.tree = parseSequence(false);
            result.quiet = firstQuiet_;
            if (!result.tree)
                result.remark = remark_;
        } catch (const NeedMore &) {
            result.status = LineParser::Status::NeedsMoreInput;
        } catch (const SyntaxFailure &failure) {
            result.status = LineParser::Status::SyntaxError;
            result.error = failure.message;
        }
        return result;
    }

private:
    std::string_view s_;
    size_t i_ = 0;
    bool more_;
    int blockDepth_ = 0;
    int nesting_ = 0;
    bool sawCommand_ = false;
    bool firstQuiet_ = false;
    // IF commands whose then-branch is being read: an ELSE right after a
    // closing parenthesis ends the innermost of them.
    int openThenBranches_ = 0;
    size_t lastBlockEnd_ = std::string_view::npos; // just past the last block read
    std::string remark_;                           // the first remark of the text, as written

    bool atEnd() const { return i_ >= s_.size(); }
    char peek(size_t offset = 0) const { return i_ + offset < s_.size() ? s_[i_ + offset] : '\0'; }
    bool has(size_t offset) const { return i_ + offset < s_.size(); }

    void skipBlanks()
    {
        while (!atEnd() && text::isBlank(peek()))
            ++i_;
    }

    void skipToLineEnd()
    {
        while (!atEnd() && peek() != '\n')
            ++i_;
    }

    [[noreturn]] void unexpected()
    {
        std::string token;
        if ((peek() == '&' && peek(1) == '&') || (peek() == '|' && peek(1) == '|'))
            token = std::string(s_.substr(i_, 2));
        else if (peek() == '&' || peek() == '|' || peek() == ')' || peek() == '(')
            token = std::string(1, peek());
        else
            for (size_t j = i_; j < s_.size() && !text::isBlank(s_[j]) && s_[j] != '\n'; ++j)
                token += s_[j];
        throw SyntaxFailure{token + " was unexpected at this time."};
    }

    bool atWord(std::string_view word) const
    {
        if (!has(word.size() - 1) || !text::iequals(s_.substr(i_, word.size()), word))
            return false;
        if (!has(word.size()))
            return true;
        char after = s_[i_ + word.size()];
        return text::isDelimiter(after) || after == '\n' || after == '(';
    }

    bool atRedirection() const
    {
        char c = peek();
        if (atEnd())
            return false;
        if (c == '<' || c == '>')
            return true;
        return isDigit(c) && (peek(1) == '<' || peek(1) == '>');
    }

    // An ELSE right after a closing parenthesis (and its redirections), with
    // nothing but blanks between.
    bool atElseAfterBlock() const
    {
        if (lastBlockEnd_ == std::string_view::npos || lastBlockEnd_ > i_)
            return false;
        for (size_t j = lastBlockEnd_; j < i_; ++j)
            if (!text::isBlank(s_[j]))
                return false;
        return atWord("else");
    }

    // Such an ELSE while a then-branch is being read ends that branch.
    bool atElseOfOpenIf() const { return openThenBranches_ > 0 && atElseAfterBlock(); }

    // The caret at i_ outside quotes: it takes the next character literally;
    // before a line break it joins the next line, whose first character it takes.
    void caret(std::string &out)
    {
        if (!has(1)) {
            if (more_)
                throw NeedMore{};
            ++i_; // nothing follows: the caret is dropped
            return;
        }
        if (s_[i_ + 1] != '\n') {
            out += s_[i_ + 1];
            i_ += 2;
            return;
        }
        i_ += 2;
        if (atEnd()) {
            if (more_)
                throw NeedMore{};
            return;
        }
        out += s_[i_++];
    }

    // `lineStarts` receives, for each item, whether a line break came before
    // it; `sawLineBreak` whether any line break was read at this level.
    NodePtr parseSequence(bool multiline, std::vector<bool> *lineStarts = nullptr,
                          bool *sawLineBreak = nullptr)
    {
        std::vector<NodePtr> items;
        bool afterBreak = false;
        auto item = [&]() {
            const size_t before = items.size();
            parseSequenceItem(items, multiline);
            if (lineStarts && items.size() > before)
                lineStarts->push_back(afterBreak);
            if (items.size() > before)
                afterBreak = false;
        };
        item();
        while (true) {
            skipBlanks();
            if (atEnd())
                break;
            char c = peek();
            if (c == '\n') {
                if (!multiline)
                    break;
                ++i_;
                afterBreak = true;
                if (sawLineBreak)
                    *sawLineBreak = true;
                item();
                continue;
            }
            if (c == ')' && blockDepth_ > 0)
                break;
            if (c == '&' && peek(1) != '&') {
                ++i_;
                afterBreak = false;
                item();
                continue;
            }
            if (atElseOfOpenIf())
                break;
            unexpected();
        }
        if (items.empty())
            return nullptr;
        if (items.size() == 1)
            return std::move(items.front());
        auto seq = std::make_unique<Node>(Node::Type::Sequence);
        seq->children = std::move(items);
        return seq;
    }

    void parseSequenceItem(std::vector<NodePtr> &items, bool multiline)
    {
        skipBlanks();
        if (atEnd() || peek() == '\n' || (peek() == ')' && blockDepth_ > 0))
            return;
        (void)multiline;
        NodePtr node = parseConditional();
        if (node)
            items.push_back(std::move(node));
        else if (peek() == '&' || peek() == '|')
            unexpected();
    }

    NodePtr parseConditional()
    {
        NodePtr left = parsePipe();
        if (!left)
            return nullptr;
        std::unique_ptr<Node> chain;
        while (true) {
            skipBlanks();
            bool isOr;
            if (peek() == '&' && peek(1) == '&' && has(1))
                isOr = false;
            else if (peek() == '|' && peek(1) == '|' && has(1))
                isOr = true;
            else
                break;
            i_ += 2;
            NodePtr right = parsePipe();
            if (!right) {
                if (peek() == '&' || peek() == '|')
                    unexpected();
                throw SyntaxFailure{kIncorrect};
            }
            if (!chain) {
                chain = std::make_unique<Node>(Node::Type::Conditional);
                chain->children.push_back(std::move(left));
                chain->orJoins.push_back(false);
            }
            chain->children.push_back(std::move(right));
            chain->orJoins.push_back(isOr);
        }
        return chain ? std::move(chain) : std::move(left);
    }

    NodePtr parsePipe()
    {
        NodePtr left = parseCommand();
        if (!left)
            return nullptr;
        std::unique_ptr<Node> pipe;
        while (true) {
            skipBlanks();
            if (!(peek() == '|' && has(0) && peek(1) != '|'))
                break;
            ++i_;
            NodePtr right = parseCommand();
            if (!right) {
                if (peek() == '&' || peek() == '|')
                    unexpected();
                throw SyntaxFailure{kIncorrect};
            }
            if (!pipe) {
                pipe = std::make_unique<Node>(Node::Type::Pipe);
                pipe->children.push_back(std::move(left));
            }
            pipe->children.push_back(std::move(right));
        }
        return pipe ? std::move(pipe) : std::move(left);
    }

    struct NestingGuard {
        explicit NestingGuard(int &n)
            : n_(n)
        {
            if (++n_ > LineParser::kMaxNesting) {
                --n_;
                throw SyntaxFailure{kIncorrect};
            }
        }
        ~NestingGuard() { --n_; }
        int &n_;
    };

    NodePtr parseCommand()
    {
        NestingGuard guard(nesting_);
        const bool firstOfText = !sawCommand_;
        bool quiet = false;
        while (!atEnd() && (text::isDelimiter(peek()) || peek() == '@')) {
            if (peek() == '@')
                quiet = true;
            ++i_;
        }
        if (!sawCommand_) {
            sawCommand_ = true;
            firstQuiet_ = quiet;
        }
        if (atEnd())
            return nullptr;
        char c = peek();
        if (c == '\n' || c == '&' || c == '|')
            return nullptr;
        if (c == ')') {
            if (blockDepth_ > 0)
                return nullptr;
            skipToLineEnd(); // a ")" where a command should start ends the line like a remark
            return nullptr;
        }
        if (c == '(')
            return parseBlock();
        if (atRedirection())
            return parseRedirectedCommand();
        if (c == ':') { // a label: nothing to run
            skipToLineEnd();
            return nullptr;
        }
        if (atWord("rem")) {
            const size_t start = i_;
            skipToLineEnd();
            const std::string_view remark = s_.substr(start, i_ - start);
            if (!firstOfText) {
                // Anywhere but at the start of the text (after IF, ELSE,
                // "&&", "||", "&", inside a block) a remark is a command
                // that does nothing, which command echo shows with the rest.
                auto node = std::make_unique<Node>(Node::Type::Command);
                node->text = std::string(remark);
                return node;
            }
            if (remark_.empty())
                remark_ = std::string(remark);
            return nullptr;
        }
        if (atWord("if"))
            return parseIf();
        return parseSimple();
    }

    // Redirections written before the command: ">file (echo x)", ">file echo x".
    NodePtr parseRedirectedCommand()
    {
        std::vector<Redirection> leading;
        while (atRedirection()) {
            parseRedirection(leading);
            skipBlanks();
        }
        NodePtr node = !atEnd() && peek() == '(' ? parseBlock() : parseSimple();
        node->redirections.insert(node->redirections.begin(),
                                  std::make_move_iterator(leading.begin()),
                                  std::make_move_iterator(leading.end()));
        return node;
    }

    NodePtr parseBlock()
    {
        ++i_; // "("
        ++blockDepth_;
        const int outerThenBranches = openThenBranches_;
        openThenBranches_ = 0; // an ELSE inside the block belongs to an IF inside it
        auto block = std::make_unique<Node>(Node::Type::Block);
        NodePtr body = parseSequence(true, &block->lineStarts, &block->spansLines);
        openThenBranches_ = outerThenBranches;
        if (atEnd()) {
            if (more_)
                throw NeedMore{};
            throw SyntaxFailure{std::string()}; // the file ended inside a block: it is dropped
        }
        ++i_; // ")"
        --blockDepth_;
        if (body) {
            if (body->type == Node::Type::Sequence)
                block->children = std::move(body->children);
            else
                block->children.push_back(std::move(body));
        }
        while (true) {
            skipBlanks();
            if (!atRedirection())
                break;
            parseRedirection(block->redirections);
        }
        lastBlockEnd_ = i_;
        return block;
    }

    // Takes the next character into out when quoting or a caret decides what
    // it is: anything inside quotes, a quote itself, or an escaped character.
    bool takeQuotedOrEscaped(std::string &out, bool &quoted)
    {
        const char c = peek();
        if (quoted || c == '"') {
            if (c == '"')
                quoted = !quoted;
            out += c;
            ++i_;
            return true;
        }
        if (c == '^') {
            caret(out);
            return true;
        }
        return false;
    }

    NodePtr parseSimple()
    {
        auto node = std::make_unique<Node>(Node::Type::Command);
        std::string &text = node->text;
        bool quoted = false;
        while (!atEnd()) {
            char c = peek();
            if (c == '\n')
                break;
            if (takeQuotedOrEscaped(text, quoted))
                continue;
            if (c == '&' || c == '|')
                break;
            if (c == ')' && blockDepth_ > 0)
                break;
            if (c == '<' || c == '>'
                || (isDigit(c) && (peek(1) == '<' || peek(1) == '>')
                    && (text.empty() || text::isDelimiter(text.back())))) {
                parseRedirection(node->redirections);
                continue;
            }
            text += c;
            ++i_;
        }
        return node;
    }

    // A word of a redirection target or an IF condition: carets and quotes
    // apply; it ends at a blank or a special character outside quotes.
    std::string readWord(bool stopAtDelimiters)
    {
        std::string word;
        bool quoted = false;
        while (!atEnd()) {
            char c = peek();
            if (c == '\n')
                break;
            if (takeQuotedOrEscaped(word, quoted))
                continue;
            if (text::isBlank(c) || c == '&' || c == '|' || c == '<' || c == '>'
                || (c == ')' && blockDepth_ > 0) || (stopAtDelimiters && text::isDelimiter(c)))
                break;
            word += c;
            ++i_;
        }
        return word;
    }

    void parseRedirection(std::vector<Redirection> &list)
    {
        Redirection r;
        int fd = -1;
        if (isDigit(peek())) {
            fd = peek() - '0';
            ++i_;
        }
        const bool output = peek() == '>';
        if (output && peek(1) == '>' && has(1)) {
            r.kind = Redirection::Kind::Append;
            i_ += 2;
        } else {
            r.kind = output ? Redirection::Kind::Output : Redirection::Kind::Input;
            ++i_;
        }
        r.fd = fd >= 0 ? fd : (output ? 1 : 0);
        if (!atEnd() && peek() == '&') {
            ++i_;
            skipBlanks();
            if (atEnd() || !isDigit(peek()))
                throw SyntaxFailure{kIncorrect};
            r.sourceFd = peek() - '0';
            ++i_;
            r.kind =
                output ? Redirection::Kind::DuplicateOutput : Redirection::Kind::DuplicateInput;
            list.push_back(std::move(r));
            return;
        }
        skipBlanks();
        r.target = readWord(false);
        if (r.target.empty())
            throw SyntaxFailure{kIncorrect};
        list.push_back(std::move(r));
    }

    std::string readIfWord()
    {
        while (!atEnd() && (text::isBlank(peek()) || peek() == ',' || peek() == ';'))
            ++i_;
        return readWord(true);
    }

    NodePtr parseIf()
    {
        auto node = std::make_unique<Node>(Node::Type::If);
        IfTest &t = node->test;
        t.ifWord = std::string(s_.substr(i_, 2));
        i_ += 2; // "if"
        std::string word = readIfWord();
        if (text::iequals(word, "/i")) {
            t.ignoreCase = true;
            t.caseWord = word;
            word = readIfWord();
        }
        if (text::iequals(word, "not")) {
            t.negate = true;
            t.notWord = word;
            word = readIfWord();
        }
        if (word.empty())
            throw SyntaxFailure{kIncorrect};
        if (text::iequals(word, "exist"))
            t.kind = IfTest::Kind::Exist;
        else if (text::iequals(word, "errorlevel"))
            t.kind = IfTest::Kind::ErrorLevel;
        else if (text::iequals(word, "defined"))
            t.kind = IfTest::Kind::Defined;
        else if (text::iequals(word, "cmdextversion"))
            t.kind = IfTest::Kind::CmdExtVersion;
        else
            t.kind = IfTest::Kind::Compare;
        if (t.kind != IfTest::Kind::Compare) {
            t.kindWord = word;
            t.left = readIfWord();
            if (t.left.empty())
                throw SyntaxFailure{kIncorrect};
        } else {
            t.left = word;
            skipBlanks();
            if (peek() == '=' && peek(1) == '=' && has(1)) {
                i_ += 2;
                t.op = "==";
            } else {
                // The message names an unknown operator as written; a known
                // one is kept upper-cased, as command echo shows it.
                const std::string written = readIfWord();
                t.op = text::toUpper(written);
                static const char *const ops[] = {"EQU", "NEQ", "LSS", "LEQ", "GTR", "GEQ"};
                bool known = false;
                for (const char *op : ops)
                    known = known || t.op == op;
                if (!known)
                    throw SyntaxFailure{(written.empty() ? std::string("=") : written)
                                        + " was unexpected at this time."};
            }
            t.right = readIfWord();
            if (t.right.empty())
                throw SyntaxFailure{kIncorrect};
        }
        skipBlanks();
        if (atEnd() || peek() == '\n' || peek() == '&' || peek() == '|'
            || (peek() == ')' && blockDepth_ > 0))
            throw SyntaxFailure{kIncorrect};
        // The then-branch is the rest of the line, up to an ELSE that follows
        // a closing parenthesis; the else-branch is the rest after that, up to
        // an ELSE of an enclosing IF.
        ++openThenBranches_;
        node->thenBranch = parseSequence(false);
        --openThenBranches_;
        if (!node->thenBranch)
            throw SyntaxFailure{kIncorrect};
        skipBlanks();
        if (atElseAfterBlock()) {
            t.elseWord = std::string(s_.substr(i_, 4));
            i_ += 4;
            skipBlanks();
            node->elseBranch = parseSequence(false);
            if (!node->elseBranch)
                throw SyntaxFailure{kIncorrect};
        }
        return node;
    }
};

} // namespace

LineParser::Result LineParser::parse(std::string_view text, bool moreLinesFollow)
{
    return Parser(text, moreLinesFollow).run();
}

} // namespace zcmd
