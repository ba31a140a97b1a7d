// The commands of lcscramble, which turns texts into the scrambled form the program keeps its
// about texts and addresses in, printed as C++ string literals to paste into the source, and reads
// such forms back for checking. The streams are parameters so the tests call it as the program does.
//
//   lcscramble [--gbk] [TEXT...]               scramble each TEXT, or each line of standard input
//   lcscramble --unscramble [--gbk] [FORM...]  print the plain text of each FORM (or input line)
//
// --gbk: the texts are typed as UTF-8 but kept as GBK (code page 936), as the program reads them;
// scrambling converts them to GBK first and unscrambling converts the result back to UTF-8.
// A FORM may be given bare or as the quoted literal the tool printed.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

constexpr int kScrambleExitOk = 0;
constexpr int kScrambleExitFailed = 1;  // a text too long or not GBK-writable, a form that is bad
constexpr int kScrambleExitUsage = 2;

// Runs the command line (args[0] is the program). Texts come from args, or line by line (a CR
// before the LF dropped) from in when args hold none. Every text is handled; the exit code is 1
// when any failed, with one message per failure on err.
int RunLcscramble(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                  std::ostream& err);

// A scrambled form as C++ source: quoted, '\' and '"' escaped (and the second '?' of "??"), cut
// into adjacent literals of at most 90 form characters each, one per line, so that an indented
// line stays within the source's line width.
std::string CppLiteral(const std::string& form);

// The form inside a literal CppLiteral printed (its pieces joined, escapes undone); any text not
// starting with '"' is returned as it is.
std::string FormFromLiteral(const std::string& text);
