#pragma once
// A small parser for "FILE --option value --flag" command lines.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kelvora::cli {

class UsageError {
public:
    explicit UsageError(std::string message) : message(std::move(message)) {}
    std::string message;
};

class Arguments {
public:
    // Splits args into positionals, flags (names in `flags`) and options taking one value
    // (names in `options`). Throws UsageError for unknown names or a missing value.
    Arguments(const std::vector<std::string>& args, std::set<std::string> flags,
              std::set<std::string> options);

    const std::vector<std::string>& positionals() const { return positionals_; }
    bool has(const std::string& flag) const { return flags_.count(flag) != 0; }
    std::optional<std::string> value(const std::string& option) const;
    std::string required(const std::string& option) const;
    // The option as an integer or number; throws UsageError when it does not parse.
    std::optional<long long> integer(const std::string& option) const;
    std::optional<double> number(const std::string& option) const;
    // Throws unless there are exactly `count` positionals.
    void expectPositionals(std::size_t count) const;

private:
    std::vector<std::string> positionals_;
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
};

} // namespace kelvora::cli
