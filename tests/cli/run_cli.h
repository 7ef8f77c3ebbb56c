#pragma once
// Runs `kelvora ARGS...` in-process and keeps what it printed.

#include "cli/cli_command.h"

#include <sstream>
#include <string>
#include <vector>

namespace kelvora::cli {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun Kelvora(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = RunCli(args, out, err);
    return {status, out.str(), err.str()};
}

} // namespace kelvora::cli
