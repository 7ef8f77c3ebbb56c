#pragma once
// Outputs the workbench commands share: the slot sounds as WAV files at the input's rate, and
// tables of numbers as CSV files.

#include "files/wav.h"

#include <cstdint>

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kelvora::cli {

class Arguments;

// Writes `samples` as a 16-bit mono WAV at `rate` to the path given with `option`, if any.
// Returns the exit status.
int WriteSlotIfAsked(const Arguments& arguments, const std::string& option, std::span<const double> samples,
                     std::uint32_t rate, std::ostream& err);

// Writes a CSV file: the header line, then one line per row with its values separated by commas
// (printed with 17 significant digits). Returns the exit status.
int WriteCsv(const std::string& path, const std::string& header, const std::vector<std::vector<double>>& rows,
             std::ostream& err);

// The option as a number within [low, high]; throws UsageError naming the range otherwise.
std::optional<double> NumberWithin(const Arguments& arguments, const std::string& option, double low, double high);
std::optional<long long> IntegerWithin(const Arguments& arguments, const std::string& option, long long low,
                                       long long high);

} // namespace kelvora::cli
