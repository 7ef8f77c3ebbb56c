#include "cli/arguments.h"

#include <charconv>
#include <cstdlib>

namespace kelvora::cli {

Arguments::Arguments(const std::vector<std::string>& args, std::set<std::string> flags,
                     std::set<std::string> options)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-' || (arg[1] != '-' && arg != "-o")) {
            positionals_.push_back(arg);
        } else if (flags.count(arg)) {
            flags_.insert(arg);
        } else if (options.count(arg)) {
            if (i + 1 >= args.size())
                throw UsageError(arg + " needs a value");
            values_[arg] = args[++i];
        } else {
            throw UsageError("unknown option " + arg);
        }
    }
}

std::optional<std::string> Arguments::value(const std::string& option) const
{
    auto it = values_.find(option);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

std::string Arguments::required(const std::string& option) const
{
    auto found = value(option);
    if (!found)
        throw UsageError(option + " is required");
    return *found;
}

std::optional<long long> Arguments::integer(const std::string& option) const
{
    auto text = value(option);
    if (!text)
        return std::nullopt;
    long long parsed = 0;
    auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), parsed);
    if (error != std::errc() || end != text->data() + text->size())
        throw UsageError(option + " needs an integer, not \"" + *text + "\"");
    return parsed;
}

std::optional<double> Arguments::number(const std::string& option) const
{
    auto text = value(option);
    if (!text)
        return std::nullopt;
    char* end = nullptr;
    const double parsed = std::strtod(text->c_str(), &end);
    if (text->empty() || end != text->c_str() + text->size())
        throw UsageError(option + " needs a number, not \"" + *text + "\"");
    return parsed;
}

void Arguments::expectPositionals(std::size_t count) const
{
    if (positionals_.size() != count)
        throw UsageError("expected " + std::to_string(count) + " file argument(s), got " +
                         std::to_string(positionals_.size()));
}

} // namespace kelvora::cli
