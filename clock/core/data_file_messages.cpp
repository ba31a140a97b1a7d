// What the user is told when the data file cannot be read or written: what failed, where, and what
// to do about it. Each text names the file (or the folder that refuses new files) in full, since a
// user may keep several copies of the clock.
#include <string>

#include "clock/core/clock_data.h"

namespace {

std::string FolderOf(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(0, cut);
}

// The changes of this run go nowhere: the user must know before making more of them.
std::string RefusedText(const std::string& what, const std::string& path, const std::string& todo) {
    return what + "\n" + path +
           "\n\n本次运行中的更改都不会保存，以免覆盖文件中原有的闹钟、计时和日期列表。\n" + todo;
}

std::string SaveFailedText(const std::string& what, const std::string& where, const std::string& todo) {
    return "刚才的更改没有保存：" + what + "\n" + where + "\n\n" + todo;
}

}  // namespace

std::string DataFileProblemText(DataFileProblem problem, const std::string& dataFilePath) {
    switch (problem) {
        case DataFileProblem::kNone:
            return std::string();
        case DataFileProblem::kUnreadable:
            return RefusedText("无法读取数据文件，它可能正被其他程序（编辑器、同步工具或杀毒软件）占用：",
                               dataFilePath, "请关闭占用它的程序，然后退出并重新启动钟伴。");
        case DataFileProblem::kTooLarge:
            return RefusedText("数据文件超过 16 MB，它已损坏或不是钟伴的数据文件，所以没有读取：",
                               dataFilePath, "请检查这个文件，或把它移到别处，然后重新启动钟伴。");
        case DataFileProblem::kOtherSession:
            return RefusedText("另一个用户会话中的钟伴正在使用同一个数据文件，这次以只读方式打开：",
                               dataFilePath, "请先在另一个会话中退出钟伴，然后重新启动这里的钟伴。");
        case DataFileProblem::kReadOnly:
            return SaveFailedText("数据文件是只读的。", dataFilePath,
                                  "请在文件的属性中取消“只读”，然后再改一次。");
        case DataFileProblem::kNoWriteRight:
            return SaveFailedText(
                "没有写入权限。钟伴保存时要在它的文件夹中新建文件，这个文件夹不允许：",
                FolderOf(dataFilePath),
                "请把钟伴移到您自己的文件夹（例如“文档”下）再运行，或者让管理员给您这个文件夹的写入权限。");
        case DataFileProblem::kDiskFull:
            return SaveFailedText("磁盘已满。", dataFilePath, "请腾出一些磁盘空间，然后再改一次。");
        case DataFileProblem::kInUse:
            return SaveFailedText("数据文件被其他程序占用。", dataFilePath,
                                  "请关闭占用它的程序（例如编辑器或同步工具），然后再改一次。");
        case DataFileProblem::kWriteFailed:
            return SaveFailedText("写入数据文件失败。", dataFilePath, "请检查磁盘是否正常，然后再改一次。");
    }
    return std::string();
}
