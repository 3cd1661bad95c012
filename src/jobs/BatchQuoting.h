#pragma once
#include <QString>
#include <optional>

// Writing typed text into a job script's "set NAME=..." line so that a later
// bare %NAME% on a fixed line (for example "pscp -r -pw %PASS% root@%IP%:/var/mobile .")
// hands the program exactly that text as one argument.
//
// The text passes three readers: the interpreter reads the "set" line
// (percent expansion, then carets and quotes); it reads the later line
// (carets and quotes again, but the value is not percent-expanded a second
// time); then the program's C runtime splits its command line into
// arguments. Working backwards from the program:
//  1. Argument: text without blank, tab or double quote (and without "/?")
//     stays as it is; other text goes inside double quotes, each quote
//     written \" and the backslashes before a quote or before the closing
//     quote doubled.
//  2. Value: the interpreter's quote flag toggles at each double quote, in
//     the set line and in the later line alike. Outside quotes each of
//     ^ & | < > ( ) gets a caret. When the argument holds an odd number of
//     quotes its last quote is written ^" (a quote that does not toggle the
//     flag), so the rest of the later line is read outside quotes, as its
//     writer meant.
//  3. Set line: outside quotes each caret-escaped pair of the value becomes
//     ^^^ plus the character (^& -> ^^^&, ^" -> ^^^"), then every % is doubled.
// Example: the password  a b&"c%d  gives the line  set PASS="a b&\"c%%d^^^"
// (value "a b&\"c%d^", program argument a b&"c%d). Text that needs none of
// this, such as fennel, is written as typed: set PASS=fennel.
// The same holds where %NAME% is part of a longer argument (root@%IP%:/) as
// long as the fixed text beside it holds no quote or special character.
namespace jobs {

// False for text that cannot stand in a batch line at all: line breaks, NUL, Ctrl-Z.
bool isBatchWritable(const QString &text);

// True when "set NAME=" + text and a later bare %NAME% already hand a program
// exactly the text as one argument, so the line is written as typed.
bool passesBatchSetUnchanged(const QString &text);

// Step 1: the command-line argument that a Windows C runtime reads back as the text.
QString programArgument(const QString &text);

// The whole "set" line for the text: "set " + name + "=" + escaped text, or
// nothing when the text is not writable.
std::optional<QString> batchSetLine(const QString &name, const QString &text);

} // namespace jobs
