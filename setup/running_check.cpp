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

std::string RunningProgramWarning(const std::string& packageName, const std::string& imagePath) {
    const std::string rule(50, '-');
    return "发现目标文件夹中有【游戏或软件】运行中！！！\r\n\r\n" + rule + "\r\n" + packageName + "\r\n\r\n" +
           imagePath + "\r\n" + rule + "\r\n\r\n" +
           "为了避免自动强退【游戏造成逃跑】或【应用会丢失数据】的问题，" + "\r\n\r\n" +
           "请在【确定】前先把相关【游戏或应用】退出。";
}
