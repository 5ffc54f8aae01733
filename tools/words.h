// The words of one line of a script or of the shell, and bytes shown as a
// script would write them.
#pragma once

#include <string>
#include <vector>

namespace bc::run {

// Splits `line` into words as a script reads them: blanks (spaces, tabs)
// separate words; double quotes keep blanks in a word, and within them \r,
// \n, \t, \\, \" and \xHH stand for those bytes; a '#' that begins a word
// begins a comment to the end of the line. A backslash outside quotes is
// itself, as on the command line. On error sets a one-line message and
// returns false.
bool splitWords(const std::string& line, std::vector<std::string>& words, std::string& error);

// Bytes as text: printable ASCII as it is, a backslash as \\, carriage
// return, line feed and tab as \r, \n and \t, any other byte as \xHH.
std::string escaped(const std::string& bytes);

}  // namespace bc::run
