#include "clock/core/settings_rules.h"

#include "forms/gbk.h"

namespace {

// The page's fixed texts in GBK, converted once.
struct SettingsTexts {
    std::string linkName = Gbk("钟伴.lnk");
    std::string linkDescription = Gbk("简单方便的闹钟、秒表、计时、生日、日程等小功能");
    std::string caption = Gbk("澜川_钟伴");
    std::string balloon = Gbk("钟伴并没有关闭，还在这里，点击它立即显示。");
    std::string addFailed =
        Gbk("增加开机启动失败\r\n如果杀毒软件拦截，请允许通过\r\n如果是WIN7或者以上系统，请用\r\n"
            "管理员方式打开本软件后，再设置。\r\n正常使用软件时不可以用管理员方式打开");
    std::string clearFailed =
        Gbk("清除开机启动失败\r\n如果杀毒软件拦截，请允许通过\r\n如果是WIN7或者以上系统，请用\r\n"
            "管理员方式打开本软件后，再设置。\r\n正常使用软件时不可以用管理员方式打开");
};

const SettingsTexts& T() {
    static const SettingsTexts texts;
    return texts;
}

// Start of the last character of text, walking character by character: a '\' or '/' byte seen
// from the end may be the trail byte of a double-byte character.
size_t LastCharStart(const std::string& text) {
    size_t pos = 0;
    size_t last = std::string::npos;
    while (pos < text.size()) {
        last = pos;
        pos += GbkCharLength(text, pos);
    }
    return last;
}

// Position of the last single-byte '\' or '/' character, or npos.
size_t LastSeparator(const std::string& text) {
    size_t found = std::string::npos;
    for (size_t pos = 0; pos < text.size(); pos += GbkCharLength(text, pos)) {
        if (text[pos] == '\\' || text[pos] == '/') found = pos;
    }
    return found;
}

void FlipAndWrite(int k, OptionToggleActions* actions) {
    SetOptionFlag(k, !OptionOn(k));
    actions->slotsToWrite.push_back(k);
}

}  // namespace

OptionToggleActions ToggleOption(int k, bool windowTopmost) {
    OptionToggleActions actions;
    if (k < 0 || k >= kOptionCount) return actions;
    actions.repaint = true;
    switch (k) {
        case kOptionTopmost:
            // The window's real state decides, so a flag that went out of step is corrected too.
            actions.zOrder = windowTopmost ? ZOrderChange::kMakeNotTopmost : ZOrderChange::kMakeTopmost;
            break;
        case kOptionStartWithSystem:
            // The flag follows the link once the change was tried (FinishStartupToggle).
            actions.shortcut = OptionOn(k) ? ShortcutChange::kRemove : ShortcutChange::kCreate;
            actions.repaint = false;
            return actions;
        case kOptionTrayIcon:
            if (!OptionOn(k)) {
                actions.tray = TrayChange::kAdd;
                break;
            }
            actions.tray = TrayChange::kRemove;
            if (OptionOn(kOptionCloseHides)) {
                SetOptionFlag(kOptionCloseHides, false);
                actions.slotsToWrite.push_back(kOptionCloseHides);
            }
            break;
        default:
            break;
    }
    FlipAndWrite(k, &actions);
    return actions;
}

StartupToggleResult FinishStartupToggle(ShortcutChange attempted, bool linkExists) {
    StartupToggleResult result;
    SetOptionFlag(kOptionStartWithSystem, linkExists);
    if (attempted == ShortcutChange::kCreate) {
        if (linkExists) {
            result.writeSlot = true;
        } else {
            result.errorMessage = T().addFailed;
        }
    } else if (attempted == ShortcutChange::kRemove) {
        if (!linkExists) {
            result.writeSlot = true;
        } else {
            result.errorMessage = T().clearFailed;
        }
    }
    return result;
}

void WriteOptionSlots(const std::vector<int>& slots) {
    for (int slot : slots) {
        if (slot >= 0 && slot < kOptionCount) WriteSetting(std::to_string(slot), OptionSlots[slot]);
    }
}

CloseButtonActions CloseButtonAction() {
    CloseButtonActions actions;
    if (!OptionOn(kOptionCloseHides)) return actions;
    actions.hideWindow = true;
    actions.showTrayIcon = OptionOn(kOptionTrayIcon);
    actions.balloonText = T().balloon;
    actions.balloonTimeoutMs = kCloseBalloonTimeoutMs;
    return actions;
}

std::string OptionCaption(const std::string& slot) {
    // A slot stored with an empty flag ("|caption", which counts as on) starts with its '|'.
    if (!slot.empty() && slot[0] == '|') return slot.substr(1);
    size_t pos = 0;
    for (int skipped = 0; skipped < 2 && pos < slot.size(); ++skipped)
        pos += GbkCharLength(slot, pos);
    return slot.substr(pos);
}

StartupShortcutFields StartupShortcut(const std::string& programPath) {
    StartupShortcutFields fields;
    fields.fileName = T().linkName;
    fields.description = T().linkDescription;
    fields.targetPath = programPath;
    const size_t cut = LastSeparator(programPath);
    if (cut != std::string::npos) {
        // "C:\" without its '\' would mean the drive's current folder, not its root.
        const bool driveRoot = cut > 0 && programPath[cut - 1] == ':';
        fields.workingDirectory = programPath.substr(0, driveRoot ? cut + 1 : cut);
    }
    return fields;
}

std::string StartupShortcutPath(const std::string& startupFolder) {
    std::string path = startupFolder;
    const size_t last = LastCharStart(path);
    if (last == std::string::npos || path.compare(last, std::string::npos, "\\") != 0) path += '\\';
    return path + T().linkName;
}

std::string SettingsMessageCaption() {
    return T().caption;
}
