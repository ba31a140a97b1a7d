#include "setup/running_check.h"

namespace {

// Only a-z change: in UTF-8 those bytes never occur inside a multi-byte character.
std::string FoldLatinUpper(const std::string& text) {
    std::string folded = text;
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

}  // namespace

bool ImageLiesInFolder(const std::string& imagePath, const std::string& folder) {
    if (folder.empty()) return false;
    return FoldLatinUpper(imagePath).find(FoldLatinUpper(folder)) != std::string::npos;
}

std::vector<RunningProcess> ProcessesInFolder(const std::vector<RunningProcess>& processes,
                                              const std::string& folder, uint32_t ownProcessId) {
    std::vector<RunningProcess> found;
    for (const RunningProcess& process : processes) {
        if (process.id != ownProcessId && ImageLiesInFolder(process.imagePath, folder))
            found.push_back(process);
    }
    return found;
}

std::string RunningProgramCaption() {
    return "请退出【应用或游戏】";
}

std::string RunningProgramsQuestion(const std::string& packageName,
                                    const std::vector<std::string>& imagePaths) {
    const std::string rule(50, '-');
    std::string text =
        "发现目标文件夹中有【游戏或软件】运行中！！！\r\n\r\n" + rule + "\r\n" + packageName + "\r\n\r\n";
    for (const std::string& path : imagePaths)
        text += path + "\r\n";
    return text + rule + "\r\n\r\n" + "为了避免自动强退【游戏造成逃跑】或【应用会丢失数据】的问题，" +
           "\r\n\r\n" +
           "请先把相关【游戏或应用】退出。点【确定】结束以上程序并继续安装，点【取消】停止安装。";
}

std::string CannotEndProgramsMessage(const std::vector<std::string>& imagePaths) {
    std::string text = "无法结束以下程序，安装已停止，没有写入任何文件：\r\n\r\n";
    for (const std::string& path : imagePaths)
        text += path + "\r\n";
    return text + "\r\n请先自己退出这些程序（以管理员身份运行的程序需要在其中退出），然后再安装。";
}
