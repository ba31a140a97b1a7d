// chimectl: the clock's core on the command line.
//   chimectl lunar YYYY-MM-DD
//   chimectl solar YEAR MONTH DAY [leap]
//   chimectl dump FILE [--now "YYYY-MM-DD hh:mm:ss"]
//   chimectl upcoming FILE [--now "YYYY-MM-DD hh:mm:ss"]
// Output is UTF-8. Exit code 0 on success, 2 with a message on stderr for wrong arguments or a data
// file that does not exist. Malformed content never fails: it loads as the program loads it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "clock/core/date_value.h"

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

// args[0] is the program name. realNow is the clock used when --now is not given.
int RunChimectl(const std::vector<std::string>& args, const DateTime& realNow, std::ostream& out,
                std::ostream& err);
