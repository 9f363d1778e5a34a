#include "cli/Cli.h"

#include <iostream>

namespace vm::cli {

int Run(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::cerr << "usage: velmora-cli COMMAND ...\n";
        return 2;
    }
    return 2;
}

} // namespace vm::cli
