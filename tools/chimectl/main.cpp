#include <iostream>

#include "tools/chimectl/commands.h"
#include "tools/chimectl/console.h"

int main(int argc, char** argv) {
    PrepareConsole();
    return RunChimectl(Utf8Arguments(argc, argv), LocalNow(), std::cout, std::cerr);
}
