#include "setup/install_log_win.h"

#include "forms/wide_win.h"

namespace {

LogTime Now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    LogTime time;
    time.year = now.wYear;
    time.month = now.wMonth;
    time.day = now.wDay;
    time.hour = now.wHour;
    time.minute = now.wMinute;
    time.second = now.wSecond;
    return time;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

InstallLog::~InstallLog() {
    if (IsOpen()) CloseHandle(file_);
}

bool InstallLog::Open(const std::string& path) {
    // Readable while the install runs: someone may watch it in an editor.
    file_ = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!IsOpen()) return false;
    failed_ = !WriteAll(file_, "\xEF\xBB\xBF");
    Write(TimeLogLine("开始时间", Now()));
    return !failed_;
}

void InstallLog::Write(const std::string& line) {
    if (IsOpen() && !WriteAll(file_, line + "\r\n")) failed_ = true;
}

void InstallLog::Write(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        Write(line);
}

bool InstallLog::Finish(SetupExit exit) {
    if (!IsOpen()) return true;
    Write(TimeLogLine("结束时间", Now()));
    Write(ResultLogLine(exit));
    if (!FlushFileBuffers(file_)) failed_ = true;
    if (!CloseHandle(file_)) failed_ = true;
    file_ = INVALID_HANDLE_VALUE;
    return !failed_;
}
