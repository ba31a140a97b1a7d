// Helpers shared by the unit tests: scratch folders and files. Paths are UTF-8 strings, as the
// code under test takes them, on Linux and on Windows (where the tests run under Wine) alike.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

// A UTF-8 path as the standard library wants it on every platform.
inline std::filesystem::path U8Path(const std::string& utf8) { return std::filesystem::u8path(utf8); }

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class ScratchDir {
public:
    ScratchDir() {
        static std::atomic<unsigned> counter{0};
        std::random_device random;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (;;) {
            const std::string name = "chime-test-" + std::to_string(random()) + "-" + std::to_string(stamp) + "-" +
                                     std::to_string(counter++);
            const std::filesystem::path candidate = std::filesystem::temp_directory_path() / name;
            if (std::filesystem::create_directory(candidate)) {
                path_ = candidate.u8string();
                break;
            }
        }
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(U8Path(path_), ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(U8Path(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(U8Path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string TestDataPath(const std::string& name) { return std::string(CHIME_TEST_DATA_DIR) + "/" + name; }
