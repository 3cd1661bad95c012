#pragma once
#include <optional>
#include <string>
#include <string_view>

// Small text helpers shared by the interpreter: case folding as the Windows
// command interpreter does it (ASCII letters only), its word delimiters and
// its number syntax.
namespace zcmd::text {

char upper(char c);
std::string toUpper(std::string_view s);
bool iequals(std::string_view a, std::string_view b);
bool istartsWith(std::string_view s, std::string_view prefix);
bool iendsWith(std::string_view s, std::string_view suffix);

// Blank and tab.
bool isBlank(char c);
// Blank, tab, comma, semicolon and equal sign: what separates words on a command line.
bool isDelimiter(char c);

std::string_view skipBlanks(std::string_view s);
std::string_view skipDelimiters(std::string_view s);
std::string_view trimBlanks(std::string_view s);

// The text with every double quote removed.
std::string unquote(std::string_view s);
// The text without one pair of surrounding quotes (a missing closing quote is tolerated).
std::string stripSurroundingQuotes(std::string_view s);

// A number as the interpreter reads one: optional sign, decimal, 0x hex or leading-0 octal.
std::optional<long long> parseInteger(std::string_view s);

std::string baseName(std::string_view path);

// Carriage returns are dropped from every line after percent expansion.
std::string withoutCarriageReturns(std::string s);

} // namespace zcmd::text
