// Figures of the check made before an install writes anything (CheckPackage) next to the
// extraction it guards, on one installer file read as the installer reads it (a window at a time):
// the mean time of each, the check's share, and the time of extracting with the check ahead of it.
// Prints figures only; nothing here asserts a time.
//   package_check_bench INSTALLER.exe SCRATCH_FOLDER [ROUNDS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "setup/package.h"
#include "setup/package_io.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One extraction as the installer makes it: the list read, every entry written into a fresh folder.
bool Extract(const PackageSource& package, const std::string& folder) {
    std::filesystem::remove_all(folder);
    // '\' separated, as the installer has it: EnsureFolderPath walks the levels by '\', which the
    // POSIX file calls map back to '/'.
    std::string target = folder + "\\";
    for (char& c : target)
        if (c == '/') c = '\\';
    FileList list;
    std::string error;
    return EnsureFolderPath(target) && ReadFileList(package, &list, &error) &&
           ExtractAll(package, list, target, nullptr).Complete();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: package_check_bench INSTALLER.exe SCRATCH_FOLDER [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20;
    uint64_t size = 0;
    ViewedFile* file = OpenViewedFile(argv[1], &size);
    PackageSource package;
    PackageInfo info;
    std::string error;
    if (file == nullptr || !LocatePackage(FileSource(file, size), &package) ||
        !ReadPackageInfo(package, &info, &error)) {
        std::fprintf(stderr, "no package in %s\n", argv[1]);
        return 1;
    }
    const std::string target = std::string(argv[2]) + "/extract";
    double check = 0, extract = 0;
    for (int i = 0; i < rounds; ++i) {
        FileList list;
        const Clock::time_point start = Clock::now();
        if (!CheckPackage(package, info, &list, &error)) {
            std::fprintf(stderr, "the check refuses the package: %s\n", error.c_str());
            return 1;
        }
        check += MillisecondsSince(start);
        const Clock::time_point written = Clock::now();
        if (!Extract(package, target)) {
            std::fprintf(stderr, "extraction failed\n");
            return 1;
        }
        extract += MillisecondsSince(written);
    }
    std::printf("package: %llu bytes; mean of %d rounds\n", static_cast<unsigned long long>(package.size), rounds);
    std::printf("check before writing (CheckPackage): %.3f ms\n", check / rounds);
    std::printf("extraction without the check (ReadFileList + ExtractAll): %.3f ms\n", extract / rounds);
    std::printf("extraction with the check: %.3f ms (the check adds %.2f%%)\n", (check + extract) / rounds,
                100.0 * check / extract);
    CloseViewedFile(file);
    return 0;
}
