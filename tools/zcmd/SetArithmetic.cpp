#include "zcmd/SetArithmetic.h"

#include "zcmd/Text.h"
#include "zcmd/Variables.h"

#include <cctype>
#include <cstring>

namespace zcmd {

namespace {

constexpr int kUnbalanced = 1073750988;
constexpr int kMissingOperand = 1073750989;
constexpr int kMissingOperator = 1073750990;
constexpr int kInvalidNumber = 1073750991;
constexpr int kTooLarge = 1073750992;
constexpr int kDivideByZero = 1073750993;

// Parentheses nested deeper than this are refused rather than recursed into.
constexpr int kMaxDepth = 200;

bool isOperatorChar(char c) { return c != '\0' && std::strchr("+-*/%()!~<>&^|=,", c) != nullptr; }

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '"'; }

// Arithmetic on 32 bits that wraps round, done unsigned so nothing overflows.
std::int32_t wrap(std::uint32_t v) { return static_cast<std::int32_t>(v); }
std::uint32_t bits(std::int32_t v) { return static_cast<std::uint32_t>(v); }

enum class NumberStatus { Ok, Invalid, TooLarge };

// A literal without sign: decimal up to 2147483647, hexadecimal or octal up to 32 bits.
NumberStatus parseLiteral(std::string_view word, std::int32_t &out)
{
    unsigned base = 10;
    std::uint64_t limit = 0x7fffffffu;
    if (word.size() > 1 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        word.remove_prefix(2);
        limit = 0xffffffffu;
        if (word.empty())
            return NumberStatus::Invalid;
    } else if (word.size() > 1 && word[0] == '0') {
        base = 8;
        word.remove_prefix(1);
        limit = 0xffffffffu;
    }
    std::uint64_t value = 0;
    bool tooLarge = false;
    for (char c : word) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return NumberStatus::Invalid;
        if (digit >= base)
            return NumberStatus::Invalid;
        value = value * base + digit;
        if (value > limit) {
            tooLarge = true;
            value = 0;
        }
    }
    if (tooLarge)
        return NumberStatus::TooLarge;
    out = wrap(static_cast<std::uint32_t>(value));
    return NumberStatus::Ok;
}

class Evaluator {
public:
    Evaluator(std::string_view text, Variables &variables)
        : text_(text)
        , variables_(variables)
    {}

    SetArithmetic::Result run()
    {
        SetArithmetic::Result result;
        std::int32_t value = sequence();
        if (!failed_ && peek() != '\0')
            fail(peek() == ')' ? kUnbalanced : kMissingOperator);
        if (failed_) {
            result.ok = false;
            result.errorLevel = error_;
            result.message = messageFor(error_);
            return result;
        }
        result.value = value;
        return result;
    }

private:
    static std::string messageFor(int code)
    {
        switch (code) {
        case kUnbalanced: return "Unbalanced parenthesis.";
        case kMissingOperand: return "Missing operand.";
        case kMissingOperator: return "Missing operator.";
        case kInvalidNumber:
            return "Invalid number.  Numeric constants are either decimal (17), hexadecimal "
                   "(0x11), or octal (021).";
        case kTooLarge: return "Invalid number.  Numbers are limited to 32-bits of precision.";
        default: return "Divide by zero error.";
        }
    }

    void fail(int code)
    {
        if (!failed_) {
            failed_ = true;
            error_ = code;
        }
    }

    char peek()
    {
        while (pos_ < text_.size() && isSkipped(text_[pos_]))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    char at(size_t offset) const
    {
        return pos_ + offset < text_.size() ? text_[pos_ + offset] : '\0';
    }

    // Expressions separated by commas; the value is the last one's.
    std::int32_t sequence()
    {
        std::int32_t value = assignment();
        while (!failed_ && peek() == ',') {
            ++pos_;
            value = assignment();
        }
        return value;
    }

    // The operator of an assignment at the reading position ("=", "+=", "<<=" ...), or empty.
    std::string_view assignmentOperator()
    {
        peek();
        static const char *const kOperators[] = {
            "<<=", ">>=", "*=", "/=", "%=", "+=", "-=", "&=", "^=", "|=", "="};
        for (const char *op : kOperators) {
            std::string_view candidate(op);
            if (text_.substr(pos_, candidate.size()) == candidate)
                return candidate;
        }
        return {};
    }

    std::int32_t assignment()
    {
        size_t start = pos_;
        if (peek() != '\0' && !isOperatorChar(peek())
            && !std::isdigit(static_cast<unsigned char>(peek()))) {
            std::string name = word();
            std::string_view op = assignmentOperator();
            if (!op.empty()) {
                pos_ += op.size();
                if (++depth_ > kMaxDepth) {
                    fail(kMissingOperand);
                    return 0;
                }
                std::int32_t right = assignment();
                --depth_;
                if (failed_)
                    return 0;
                std::int32_t value = right;
                if (op.size() > 1)
                    value = apply(op.substr(0, op.size() - 1), variable(name), right);
                if (failed_)
                    return 0;
                variables_.set(name, std::to_string(value));
                return value;
            }
            pos_ = start;
        }
        return binary(0);
    }

    // Binary operators from the loosest to the tightest.
    static constexpr const char *kLevels[][3] = {
        {"|", nullptr, nullptr}, {"^", nullptr, nullptr}, {"&", nullptr, nullptr},
        {"<<", ">>", nullptr},   {"+", "-", nullptr},     {"*", "/", "%"},
    };
    static constexpr int kLevelCount = 6;

    std::string_view binaryOperator(int level)
    {
        peek();
        for (const char *op : kLevels[level]) {
            if (!op)
                break;
            std::string_view candidate(op);
            if (text_.substr(pos_, candidate.size()) != candidate)
                continue;
            char after = at(candidate.size());
            // "|=" and the like assign; "<<" is no "<" and "||" no "|".
            if (after == '=' || (candidate.size() == 1 && after == candidate[0]))
                return {};
            return candidate;
        }
        return {};
    }

    std::int32_t binary(int level)
    {
        if (level == kLevelCount)
            return unary();
        std::int32_t value = binary(level + 1);
        while (!failed_) {
            std::string_view op = binaryOperator(level);
            if (op.empty())
                break;
            pos_ += op.size();
            std::int32_t right = binary(level + 1);
            if (failed_)
                return 0;
            value = apply(op, value, right);
        }
        return value;
    }

    std::int32_t apply(std::string_view op, std::int32_t left, std::int32_t right)
    {
        const std::uint32_t l = bits(left), r = bits(right);
        switch (op[0]) {
        case '+': return wrap(l + r);
        case '-': return wrap(l - r);
        case '*': return wrap(l * r);
        case '/':
        case '%':
            if (right == 0) {
                fail(kDivideByZero);
                return 0;
            }
            if (right == -1) // the one quotient that does not fit wraps round
                return op[0] == '/' ? wrap(0u - l) : 0;
            return op[0] == '/' ? left / right : left % right;
        case '&': return wrap(l & r);
        case '^': return wrap(l ^ r);
        case '|': return wrap(l | r);
        // Shift counts are taken modulo 32, as the processor's shift does;
        // ">>" keeps the sign.
        case '<': return wrap(l << (r & 31u));
        case '>': return left < 0 ? wrap(~(~l >> (r & 31u))) : wrap(l >> (r & 31u));
        default: return 0;
        }
    }

    std::int32_t unary()
    {
        char c = peek();
        if (c == '!' || c == '~' || c == '-' || c == '+') {
            ++pos_;
            if (++depth_ > kMaxDepth) {
                fail(kMissingOperand);
                return 0;
            }
            std::int32_t value = unary();
            --depth_;
            if (c == '!')
                return value == 0 ? 1 : 0;
            if (c == '~')
                return wrap(~bits(value));
            return c == '-' ? wrap(0u - bits(value)) : value;
        }
        return primary();
    }

    std::int32_t primary()
    {
        char c = peek();
        if (c == '(') {
            ++pos_;
            if (++depth_ > kMaxDepth) {
                fail(kUnbalanced);
                return 0;
            }
            std::int32_t value = sequence();
            --depth_;
            if (failed_)
                return 0;
            if (peek() != ')') {
                fail(peek() == '\0' ? kUnbalanced : kMissingOperator);
                return 0;
            }
            ++pos_;
            return value;
        }
        if (c == '\0' || isOperatorChar(c)) {
            fail(kMissingOperand);
            return 0;
        }
        std::string token = word();
        if (std::isdigit(static_cast<unsigned char>(token[0]))) {
            std::int32_t value = 0;
            switch (parseLiteral(token, value)) {
            case NumberStatus::Ok: return value;
            case NumberStatus::Invalid: fail(kInvalidNumber); return 0;
            case NumberStatus::TooLarge: fail(kTooLarge); return 0;
            }
        }
        return variable(token);
    }

    // A number or a name: everything up to a blank, a quote or an operator.
    std::string word()
    {
        peek();
        size_t start = pos_;
        while (pos_ < text_.size() && !isSkipped(text_[pos_]) && !isOperatorChar(text_[pos_]))
            ++pos_;
        return std::string(text_.substr(start, pos_ - start));
    }

    // A variable's value as a number: its text read like a literal with an
    // optional sign; unset or not a number gives 0.
    std::int32_t variable(const std::string &name)
    {
        const std::string *value = variables_.find(name);
        if (!value)
            return 0;
        std::string_view number = text::trimBlanks(*value);
        bool negative = false;
        if (!number.empty() && (number.front() == '-' || number.front() == '+')) {
            negative = number.front() == '-';
            number.remove_prefix(1);
        }
        std::int32_t parsed = 0;
        if (number.empty() || parseLiteral(number, parsed) != NumberStatus::Ok)
            return 0;
        return negative ? wrap(0u - bits(parsed)) : parsed;
    }

    std::string_view text_;
    Variables &variables_;
    size_t pos_ = 0;
    int depth_ = 0;
    bool failed_ = false;
    int error_ = 0;
};

} // namespace

SetArithmetic::Result SetArithmetic::evaluate(std::string_view expression, Variables &variables)
{
    return Evaluator(expression, variables).run();
}

} // namespace zcmd
