#include "cli/cli_command.h"

#include "cli/arguments.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace kelvora::cli {
namespace {

std::vector<CliCommand>& Registry()
{
    static std::vector<CliCommand> commands;
    return commands;
}

void PrintHelp(std::ostream& out)
{
    out << "usage: kelvora [--extended] [FILE...]  start the program, opening the files (.wav, .txt, .bmp)\n"
           "       kelvora <command> [arguments]    run one tool without a window\n\ncommands:\n";
    std::vector<const CliCommand*> sorted;
    for (const CliCommand& command : Registry())
        sorted.push_back(&command);
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->name < b->name; });
    for (const CliCommand* command : sorted)
        out << "  kelvora " << command->name << ' ' << command->usage << "\n      " << command->summary << '\n';
}

} // namespace

bool RegisterCommand(CliCommand command)
{
    Registry().push_back(std::move(command));
    return true;
}

const std::vector<CliCommand>& Commands()
{
    return Registry();
}

const CliCommand* FindCliCommand(const std::string& name)
{
    for (const CliCommand& command : Registry())
        if (command.name == name)
            return &command;
    return nullptr;
}

bool IsCliInvocation(const std::vector<std::string>& args)
{
    if (args.empty())
        return false;
    const std::string& first = args[0];
    if (first == "--help" || first == "-h" || first == "help" || FindCliCommand(first) != nullptr)
        return true;
    // The window takes options and files to open; any other first word is a mistyped command,
    // which the command line reports without needing a display.
    std::error_code ignored;
    return first.rfind('-', 0) != 0 && !std::filesystem::exists(first, ignored);
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(args.empty() ? err : out);
        return args.empty() ? ExitBadUsage : ExitOk;
    }
    const CliCommand* command = FindCliCommand(args[0]);
    if (command == nullptr) {
        err << "kelvora: unknown command \"" << args[0] << "\"\n";
        PrintHelp(err);
        return ExitBadUsage;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
        out << "usage: kelvora " << command->name << ' ' << command->usage << '\n' << command->summary << '\n';
        return ExitOk;
    }
    try {
        return command->run(rest, out, err);
    } catch (const UsageError& error) {
        err << "kelvora " << command->name << ": " << error.message << "\nusage: kelvora "
            << command->name << ' ' << command->usage << '\n';
        return ExitBadUsage;
    }
}

} // namespace kelvora::cli
