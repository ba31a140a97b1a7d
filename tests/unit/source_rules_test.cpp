// Rules of the source tree that the compiler cannot see: the portable core builds natively only as
// long as no portable file reaches for a Windows header, and the main window's process-wide state
// stays with the files that make up the main window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kRoot = CHIME_SOURCE_DIR;

// The product's sources: the test drivers under tests/ are Windows programs of their own.
std::vector<fs::path> ProductSources() {
    std::vector<fs::path> files;
    for (const char* folder : {"clock", "forms", "setup", "tools"}) {
        for (const auto& item : fs::recursive_directory_iterator(kRoot / folder)) {
            const std::string extension = item.path().extension().string();
            if (item.is_regular_file() && (extension == ".cpp" || extension == ".h")) files.push_back(item.path());
        }
    }
    return files;
}

std::string Relative(const fs::path& file) {
    return fs::relative(file, kRoot).generic_string();
}

std::string Text(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool IsWindowsFile(const fs::path& file) {
    const std::string stem = file.stem().string();
    return stem.size() > 4 && stem.compare(stem.size() - 4, 4, "_win") == 0;
}

TEST(SourceRules, PortableFilesIncludeNoWindowsHeader) {
    const std::regex windowsHeader(
        R"(#\s*include\s*<(windows|win[a-z0-9]*|shl[a-z]*|shellapi|commctrl|commdlg|gdiplus|mmsystem|psapi|)"
        R"(tlhelp32|objidl|objbase|ole2|oleauto|bcrypt|wbemidl|io|ws2tcpip|uxtheme|dwmapi)\.h>)",
        std::regex::icase);
    const std::regex windowsInclude(R"re(#\s*include\s*"[^"]*_win\.h")re");
    size_t portable = 0;
    for (const fs::path& file : ProductSources()) {
        if (IsWindowsFile(file)) continue;
        ++portable;
        const std::string text = Text(file);
        EXPECT_FALSE(std::regex_search(text, windowsHeader)) << Relative(file) << " includes a Windows header";
        EXPECT_FALSE(std::regex_search(text, windowsInclude)) << Relative(file) << " includes a _win header";
    }
    EXPECT_GT(portable, 50u);  // the tree was found
}

TEST(SourceRules, OnlyTheMainWindowsOwnFilesSeeItsState) {
    const std::set<std::string> own = {
        "clock/main_win.cpp",           "clock/core/main_window_win.cpp", "clock/core/main_mouse_win.cpp",
        "clock/core/main_paint_win.cpp", "clock/core/platform_win.cpp",   "clock/core/editor_forms_win.cpp",
        "clock/core/main_access_win.cpp", "clock/core/main_keys_win.cpp",
    };
    size_t including = 0;
    for (const fs::path& file : ProductSources()) {
        if (Text(file).find("#include \"clock/core/main_window_win.h\"") == std::string::npos) continue;
        ++including;
        EXPECT_TRUE(own.count(Relative(file))) << Relative(file) << " reaches into the main window's state";
    }
    EXPECT_GT(including, 0u);
}

}  // namespace
