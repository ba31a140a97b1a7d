// The log file /LOG= names: UTF-8 with a byte-order mark (so that Notepad reads it as such), CR LF
// line ends, each line written through at once, so that an install that fails or is ended still
// leaves what happened up to then.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "setup/install_log.h"

class InstallLog {
  public:
    InstallLog() = default;
    ~InstallLog();
    InstallLog(const InstallLog&) = delete;
    InstallLog& operator=(const InstallLog&) = delete;

    // Creates the file (emptying an old one) with the byte-order mark and the start time; false
    // when it cannot be created or written.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    // Nothing happens without an open file; a failed write is remembered for Finish.
    void Write(const std::string& line);
    void Write(const std::vector<std::string>& lines);
    // Writes the end time and the result, then flushes and closes the file; false when any write
    // since Open failed. True without an open file.
    bool Finish(SetupExit exit);

  private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool failed_ = false;
};
