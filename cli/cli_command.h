#pragma once
// The headless commands of `kelvora <command> ...`. Each command lives in a file of its own and
// registers itself with one KELVORA_CLI_COMMAND line.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace kelvora::cli {

// Exit statuses shared by every command.
inline constexpr int ExitOk = 0;
inline constexpr int ExitBadInput = 1;  // a file that cannot be read or written
inline constexpr int ExitBadUsage = 2;

struct CliCommand {
    std::string name;
    std::string usage;   // arguments after the name
    std::string summary; // one line for --help
    std::function<int(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)> run;
};

bool RegisterCommand(CliCommand command);
const std::vector<CliCommand>& Commands();
const CliCommand* FindCliCommand(const std::string& name);

// Runs `kelvora` with the arguments after the program name; returns the exit status.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// True when the arguments ask for a headless command rather than the window: the first one is
// a command, a request for help, or a word that is neither an option nor an existing file (which
// RunCli reports as an unknown command).
bool IsCliInvocation(const std::vector<std::string>& args);

} // namespace kelvora::cli

#define KELVORA_CLI_CONCAT_(a, b) a##b
#define KELVORA_CLI_CONCAT(a, b) KELVORA_CLI_CONCAT_(a, b)
#define KELVORA_CLI_COMMAND(...) \
    static const bool KELVORA_CLI_CONCAT(registered_, __LINE__) = ::kelvora::cli::RegisterCommand(__VA_ARGS__)
