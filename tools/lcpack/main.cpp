#include <iostream>

#include "tools/lcpack/commands.h"
#include "tools/lcpack/console.h"

int main(int argc, char** argv) {
    PrepareConsole();
    return RunLcpack(Utf8Arguments(argc, argv), std::cout, std::cerr);
}
