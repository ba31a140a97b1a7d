// make_sounds OUT_DIR: writes the alarm clock's four reminder sounds into OUT_DIR (created when
// missing) and prints, per file, its length in seconds and its peak level. The output is the same
// bytes on every run. Exit code 0 on success, 2 with a message on stderr when a file cannot be written.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>

#include "tools/sounds/sound_synth.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 2;

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_sounds OUT_DIR\n";
        return kExitFailure;
    }
    const std::filesystem::path folder = std::filesystem::u8path(argv[1]);
    std::error_code ignored;  // a folder that cannot be made shows up as a file that cannot be written
    std::filesystem::create_directories(folder, ignored);
    for (const ReminderSound& sound : ReminderSounds()) {
        const std::filesystem::path path = folder / std::filesystem::u8path(sound.fileName);
        const std::vector<int16_t> samples = Synthesize(sound);
        if (!WriteFile(path, WaveFileBytes(samples))) {
            std::cerr << "make_sounds: cannot write " << path.u8string() << "\n";
            return kExitFailure;
        }
        char line[160];
        std::snprintf(line, sizeof line, "%s\t%.2f s\t%.2f dBFS\n", sound.fileName.c_str(),
                      static_cast<double>(samples.size()) / kSampleRate, PeakDbfs(samples));
        std::cout << line;
    }
    return kExitOk;
}
