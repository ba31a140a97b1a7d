#include <iostream>

#include "tools/scramble/commands.h"

int main(int argc, char** argv) {
    return RunLcscramble(std::vector<std::string>(argv, argv + argc), std::cin, std::cout, std::cerr);
}
