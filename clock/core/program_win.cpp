#include "clock/core/program_win.h"

#include <windows.h>

#include "clock/core/clock_data.h"
#include "clock/core/window_ids.h"
#include "forms/dpi_win.h"
#include "forms/form_win.h"
#include "forms/wide_win.h"

namespace {

std::string gProgramPath;
Scale gScale;

}  // namespace

void RecordProgramPath() {
    std::wstring buffer(32768, L'\0');
    buffer.resize(GetModuleFileNameW(nullptr, &buffer[0], static_cast<DWORD>(buffer.size())));
    gProgramPath = Utf8FromWide(buffer);
    DataFilePath = DataFilePathFor(gProgramPath);
}

const std::string& ProgramPathUtf8() {
    return gProgramPath;
}

std::string ProgramFolderUtf8() {
    const size_t cut = gProgramPath.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : gProgramPath.substr(0, cut + 1);
}

// The main window is made at the origin, on the primary monitor, and placed in its work area.
void RecordWindowScale() {
    gScale = WorkAreaScale();
}

const Scale& WindowScale() {
    const Form* form = FindForm(kMainFormName);
    return form ? form->scale : gScale;
}
