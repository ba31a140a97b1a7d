#include "forms/control_ids.h"

#include <cstddef>

namespace {

constexpr int kFirstId = 2000;
constexpr int kIdsPerKind = 400;  // ten numbers of forty indexes
constexpr int kIdsPerNumber = 40;

const char* const kKinds[] = {"Text",    "UpDown", "Check",          "Option", "Label",
                              "Command", "Combo",  "DateTimePicker", "Frame",  "ProgressBar"};

}  // namespace

int ControlIdFor(const std::string& name, int index) {
    if (index < 0 || index >= kIdsPerNumber) return 0;
    for (size_t kind = 0; kind < sizeof kKinds / sizeof kKinds[0]; ++kind) {
        const std::string prefix = kKinds[kind];
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.size() > 2 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
        const int number = std::stoi(digits);
        if (number < 1 || number > 10 || digits[0] == '0') return 0;
        return kFirstId + static_cast<int>(kind) * kIdsPerKind + (number - 1) * kIdsPerNumber + index;
    }
    return 0;
}
