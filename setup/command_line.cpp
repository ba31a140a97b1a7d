#include "setup/command_line.h"

#include "setup/wizard_rules.h"

namespace {

enum class Option { kNone, kSilent, kCloseApps, kLog, kFolder };

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

size_t SkipBlanks(const std::string& line, size_t at) {
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    return at;
}

// Windows' own rule for the program's path: up to the closing quote when quoted, else to a blank.
size_t AfterProgramPath(const std::string& line) {
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        return close == std::string::npos ? line.size() : close + 1;
    }
    size_t at = 0;
    while (at < line.size() && !IsBlank(line[at]))
        ++at;
    return at;
}

// The argument at *at with its quotes removed; *at moves past it. Backslashes are plain
// characters: folders end in one, and the C runtime's \" rule would swallow the quote after it.
std::string NextArgument(const std::string& line, size_t* at) {
    std::string argument;
    bool quoted = false;
    for (; *at < line.size() && (quoted || !IsBlank(line[*at])); ++*at) {
        if (line[*at] == '"') {
            quoted = !quoted;
        } else {
            argument += line[*at];
        }
    }
    return argument;
}

std::string UpperLatin(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// Which option an argument is, with what follows its '=' in *value.
Option OptionOf(const std::string& argument, std::string* value) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return Option::kNone;
    const size_t equals = argument.find('=');
    const std::string name =
        UpperLatin(argument.substr(1, equals == std::string::npos ? equals : equals - 1));
    if (equals == std::string::npos) {
        if (name == "S") return Option::kSilent;
        return name == "CLOSEAPPS" ? Option::kCloseApps : Option::kNone;
    }
    *value = argument.substr(equals + 1);
    if (name == "LOG") return Option::kLog;
    return name == "D" ? Option::kFolder : Option::kNone;
}

std::string WithoutSurroundingQuotes(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

std::string WithoutTrailingBlanks(std::string text) {
    while (!text.empty() && IsBlank(text.back()))
        text.pop_back();
    return text;
}

// The folder of a /D= that takes the rest of the line; false when it is empty, will not do, or
// holds another option (a /S there still makes the run silent).
bool TakeFolder(const std::string& rest, SetupArguments* arguments) {
    std::string value;
    OptionOf(WithoutSurroundingQuotes(rest), &value);
    const std::string folder = WithoutSurroundingQuotes(value);
    bool onlyFolder = true;
    for (size_t at = SkipBlanks(folder, 0); at < folder.size(); at = SkipBlanks(folder, at)) {
        std::string ignored;
        const Option option = OptionOf(NextArgument(folder, &at), &ignored);
        if (option == Option::kSilent) arguments->silent = true;
        onlyFolder = onlyFolder && option == Option::kNone;
    }
    return onlyFolder && CheckTargetFolder(folder, &arguments->folder) == FolderCheck::kAccepted;
}

}  // namespace

bool ParseSetupArguments(const std::string& commandLine, SetupArguments* arguments,
                         std::string* badArgument) {
    *arguments = SetupArguments{};
    badArgument->clear();
    size_t at = SkipBlanks(commandLine, AfterProgramPath(commandLine));
    while (at < commandLine.size()) {
        const size_t start = at;
        const std::string argument = NextArgument(commandLine, &at);
        std::string value;
        const Option option = OptionOf(argument, &value);
        if (option == Option::kFolder) {
            const std::string rest = WithoutTrailingBlanks(commandLine.substr(start));
            if (!TakeFolder(rest, arguments) && badArgument->empty()) *badArgument = rest;
            break;
        }
        if (option == Option::kSilent) arguments->silent = true;
        if (option == Option::kCloseApps) arguments->closeApps = true;
        if (option == Option::kLog) arguments->logPath = value;
        const bool understood = option != Option::kNone && !(option == Option::kLog && value.empty());
        if (!understood && badArgument->empty()) *badArgument = argument;
        at = SkipBlanks(commandLine, at);
    }
    return badArgument->empty();
}

std::string UsageMessage(const std::string& badArgument) {
    return "无法识别的参数：" + badArgument +
           "\r\n\r\n用法：澜川软件安装.exe [/S] [/LOG=日志文件] [/CLOSEAPPS] [/D=文件夹]\r\n\r\n"
           "/S　　　　　静默安装：不显示窗口，也不提问\r\n"
           "/LOG=日志文件　把安装的经过写入这个文件\r\n"
           "/CLOSEAPPS　静默安装时结束从目标文件夹运行的程序\r\n"
           "/D=文件夹　安装到这个文件夹；必须放在最后，含空格也不用加引号\r\n\r\n"
           "选项也可以用 - 开头，不分大小写。";
}
