#pragma once
#include <QString>
#include <optional>

// Writing typed text into a job script's "set NAME=..." line so that a later
// bare %NAME% on a fixed line (for example "pscp -r -pw %PASS% root@%IP%:/var/mobile .")
// hands the program exactly that text as one argument.
//
// The text travels through three readers: the "set" line is percent-expanded
// and its special characters processed; the later line is processed again
// (carets and quotes, but no second percent expansion); then the program's C
// runtime splits its command line into arguments. The rule applied, working
// backwards:
//  1. The argument: text with no blank, tab or double quote (and no "/?") is
//     left alone; any other text is enclosed in double quotes, with each
//     quote written \" and the backslashes before a quote or before the
//     closing quote doubled.
//  2. The variable's value: the interpreter's quote flag toggles at every
//     double quote. Outside quotes each of ^ & | < > ( ) gets a caret. If the
//     argument holds an odd number of quotes, its last quote is written ^"
//     so that it does not toggle the flag, and the rest of the line is read
//     outside quotes as its writer meant.
//  3. The "set" line: the value once more through step 2's rule (outside
//     quotes ^ becomes ^^, ^" becomes ^^^"), then every % doubled.
// Text that needs none of this is written unchanged.
namespace jobs {

// False for text that cannot stand in a batch line at all: line breaks, NUL, Ctrl-Z.
bool isBatchWritable(const QString &text);

// True when "set NAME=" + text and a later bare %NAME% already hand a program
// exactly the text as one argument, so the line is written as typed.
bool passesBatchSetUnchanged(const QString &text);

// Step 1: the command-line argument that a Windows C runtime reads back as the text.
QString programArgument(const QString &text);

// Steps 1 and 2: what the variable must hold.
QString batchVariableValue(const QString &text);

// The whole "set" line for the text: "set " + name + "=" + escaped text, or
// nothing when the text is not writable.
std::optional<QString> batchSetLine(const QString &name, const QString &text);

} // namespace jobs
