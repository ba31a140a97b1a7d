// The settings page's decisions without side effects: what a click on option k's switch or on the
// close button asks of the window, the start-up shortcut's fixed fields and path, and the option
// captions. The window does what the returned records say (z-order, tray icon, shortcut, message box,
// balloon) and writes the listed slots with WriteOptionSlots. Texts are GBK.
//
// The toggles change the process-wide OptionSlots in memory only; nothing here touches the window,
// the tray or the file system, except WriteOptionSlots, which writes through the INI layer.
#pragma once

#include <string>
#include <vector>

#include "clock/core/clock_data.h"

enum class ZOrderChange { kNone, kMakeTopmost, kMakeNotTopmost };
enum class TrayChange { kNone, kAdd, kRemove };
enum class ShortcutChange { kNone, kCreate, kRemove };

// What a click on option k's switch asks of the window, in this order: z-order, tray icon,
// shortcut, then write slotsToWrite (in their order), then repaint.
struct OptionToggleActions {
    ZOrderChange zOrder = ZOrderChange::kNone;
    TrayChange tray = TrayChange::kNone;
    // Not kNone only for the start-up option: try the change, then hand the link's presence to
    // FinishStartupToggle, which decides the flag, the write and the message.
    ShortcutChange shortcut = ShortcutChange::kNone;
    std::vector<int> slotsToWrite;
    bool repaint = false;
};

// The switch of option k (0..6) was clicked; windowTopmost is the window's actual z-order state.
// Option 0 turns the window's real z-order round (not the stored flag's) and flips the flag; option
// 2 removes the tray icon when on, and then also turns option 5 off (written before slot 2) so the
// window can never be hidden with no icon to bring it back; when off it adds the icon. Option 1
// changes nothing yet and asks for the shortcut change. Every other option just flips and writes.
// k outside 0..6 gives a record asking for nothing.
OptionToggleActions ToggleOption(int k, bool windowTopmost);

struct StartupToggleResult {
    bool writeSlot = false;    // write slot 1 (only when the shortcut change took effect)
    std::string errorMessage;  // "" or the text of an error box (caption SettingsMessageCaption())
    bool repaint = true;
};

// Second half of the start-up switch: attempted is ToggleOption(1, ...).shortcut and linkExists the
// shortcut's presence after the attempt. The flag of slot 1 always ends equal to linkExists, so the
// switch shows the real state; the slot is written only when the attempt succeeded, otherwise the
// adding or clearing failure text is returned. attempted kNone only re-derives the flag.
StartupToggleResult FinishStartupToggle(ShortcutChange attempted, bool linkExists);

// Writes each listed slot's whole string under its decimal index in 设置 (slots outside 0..6 are
// skipped). Failures are ignored, as for every single setting.
void WriteOptionSlots(const std::vector<int>& slots);

// What a click on the close button asks for. With option 5 on: put the tray icon per option 2
// (showTrayIcon), hide the window (command 8002, which records 显示=0), then a balloon with an empty
// title, balloonText and balloonTimeoutMs; the balloon brings the icon back when option 2 is off.
// With option 5 off: close the main window, which ends the program.
struct CloseButtonActions {
    bool hideWindow = false;
    bool showTrayIcon = false;
    std::string balloonTitle;
    std::string balloonText;
    int balloonTimeoutMs = 0;
};
CloseButtonActions CloseButtonAction();

// The caption of a "flag|caption" slot: the text from its third character on, or from its second
// when the flag is empty ("|caption"). Characters are GBK characters, so a hand-edited slot
// starting with a Chinese character never loses half of one. "" when the slot is shorter.
std::string OptionCaption(const std::string& slot);

// The fixed fields of the start-up shortcut and the ones that follow from the program's path.
struct StartupShortcutFields {
    std::string fileName;     // 钟伴.lnk
    std::string description;  // shown as the link's comment
    std::string targetPath;   // the program's full path
    std::string workingDirectory;
    // Arguments, hotkey, icon location and relative path stay empty.
    int windowStyle = 1;  // a normal window
};

// programPath: the running program's full path (GBK). The working folder is the folder part
// without its final separator, except for a drive root ("C:\"), which keeps it.
StartupShortcutFields StartupShortcut(const std::string& programPath);

// The shortcut's full path in the Startup folder (GBK): a '\' is added when the folder does not
// end in one -- a '\' byte that is the trail byte of a double-byte character does not count.
std::string StartupShortcutPath(const std::string& startupFolder);

// The title of the settings page's error boxes (GBK).
std::string SettingsMessageCaption();

// Path of this program's page on the maker's web site; the host is configured by the caller.
constexpr const char kHelpPagePath[] = "/soft-190.htm";
constexpr int kCloseBalloonTimeoutMs = 5000;
