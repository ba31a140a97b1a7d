#include "tools/scramble/commands.h"

#include "clock/services/scramble.h"
#include "forms/gbk.h"

namespace {

constexpr size_t kPieceCharacters = 90;

const char kUsage[] =
    "usage: lcscramble [--gbk] [TEXT...]\n"
    "       lcscramble --unscramble [--gbk] [FORM...]\n"
    "Without TEXT or FORM, each line of standard input is one.\n";

struct Options {
    bool unscramble = false;
    bool gbk = false;
    std::vector<std::string> texts;
};

bool ParseOptions(const std::vector<std::string>& args, Options* options) {
    bool optionsDone = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg == "--gbk") {
            options->gbk = true;
        } else if (!optionsDone && arg == "--unscramble") {
            options->unscramble = true;
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            return false;
        } else {
            options->texts.push_back(arg);
        }
    }
    return true;
}

std::vector<std::string> ReadLines(std::istream& in) {
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool ScrambleOne(const std::string& text, bool gbk, std::ostream& out, std::ostream& err) {
    std::string plain = text;
    if (gbk) {
        plain = Utf8ToGbk(text);
        // Characters GBK lacks come back as '?': refuse rather than ship a text that lost them.
        if (GbkToUtf8(plain) != text) {
            err << "lcscramble: not writable in GBK: " << text << "\n";
            return false;
        }
    }
    std::string form;
    if (!Scramble(plain, &form)) {
        err << "lcscramble: longer than " << kScrambleMaxLength << " bytes: " << text.substr(0, 40)
            << "...\n";
        return false;
    }
    out << CppLiteral(form) << "\n";
    return true;
}

bool UnscrambleOne(const std::string& text, bool gbk, std::ostream& out, std::ostream& err) {
    std::string plain;
    if (!Unscramble(FormFromLiteral(text), &plain)) {
        err << "lcscramble: not a scrambled text: " << text << "\n";
        return false;
    }
    out << (gbk ? GbkToUtf8(plain) : plain) << "\n";
    return true;
}

}  // namespace

std::string CppLiteral(const std::string& form) {
    std::string source;
    for (size_t start = 0; start < form.size() || start == 0; start += kPieceCharacters) {
        if (start > 0) source += "\n";
        source += '"';
        char previous = '\0';
        for (char c : form.substr(start, kPieceCharacters)) {
            // "??" would start a trigraph, which the compiler warns about even where it ignores it.
            if (c == '\\' || c == '"' || (c == '?' && previous == '?')) source += '\\';
            source += c;
            previous = c;
        }
        source += '"';
    }
    return source;
}

std::string FormFromLiteral(const std::string& text) {
    if (text.empty() || text[0] != '"') return text;
    std::string form;
    bool inside = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            inside = !inside;
        } else if (inside && c == '\\' && i + 1 < text.size()) {
            form += text[++i];
        } else if (inside) {
            form += c;
        }
    }
    return form;
}

int RunLcscramble(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                  std::ostream& err) {
    Options options;
    if (!ParseOptions(args, &options)) {
        err << kUsage;
        return kScrambleExitUsage;
    }
    const std::vector<std::string> texts = options.texts.empty() ? ReadLines(in) : options.texts;
    bool allDone = true;
    for (const std::string& text : texts) {
        const bool done = options.unscramble ? UnscrambleOne(text, options.gbk, out, err)
                                             : ScrambleOne(text, options.gbk, out, err);
        allDone = allDone && done;
    }
    return allDone ? kScrambleExitOk : kScrambleExitFailed;
}
