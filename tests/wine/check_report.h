// What the Wine check programs print: one line per check ("ok" or "FAILED" and what was checked),
// then "N passed, M failed", which ctest looks for.
#pragma once

#include <cstdio>
#include <string>

inline int& PassedChecks() {
    static int passed = 0;
    return passed;
}

inline int& FailedChecks() {
    static int failed = 0;
    return failed;
}

inline void Check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok    " : "FAILED", what.c_str());
    std::fflush(stdout);  // a check program that dies later still shows what it had checked
    (ok ? PassedChecks() : FailedChecks())++;
}

// Prints the closing line; the exit code is 0 only when every check passed.
inline int CheckReport() {
    std::printf("%d passed, %d failed\n", PassedChecks(), FailedChecks());
    return FailedChecks() == 0 ? 0 : 1;
}
