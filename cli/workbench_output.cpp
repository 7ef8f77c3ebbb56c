#include "cli/workbench_output.h"

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "files/atomic_write.h"

#include <ostream>
#include <sstream>

namespace kelvora::cli {

int WriteSlotIfAsked(const Arguments& arguments, const std::string& option, std::span<const double> samples,
                     std::uint32_t rate, std::ostream& err)
{
    const auto path = arguments.value(option);
    if (!path)
        return ExitOk;
    files::WavFormat format;
    format.sampleRate = rate;
    format.bytesPerSecond = rate * 2;
    return WriteSoundFile(*path, format, samples, {}, err);
}

int WriteCsv(const std::string& path, const std::string& header, const std::vector<std::vector<double>>& rows,
             std::ostream& err)
{
    std::ostringstream text;
    text.precision(17);
    text << header << '\n';
    for (const std::vector<double>& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            text << (i > 0 ? "," : "") << row[i];
        text << '\n';
    }
    const std::string bytes = text.str();
    const files::Status written = files::WriteFileAtomically(
        path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    return ReportWrite(path, written, err);
}

std::optional<double> NumberWithin(const Arguments& arguments, const std::string& option, double low, double high)
{
    const std::optional<double> value = arguments.number(option);
    if (value && !(*value >= low && *value <= high)) {
        std::ostringstream message;
        message << option << " must lie between " << low << " and " << high;
        throw UsageError(message.str());
    }
    return value;
}

std::optional<long long> IntegerWithin(const Arguments& arguments, const std::string& option, long long low,
                                       long long high)
{
    const std::optional<long long> value = arguments.integer(option);
    if (value && (*value < low || *value > high))
        throw UsageError(option + " must lie between " + std::to_string(low) + " and " + std::to_string(high));
    return value;
}

} // namespace kelvora::cli
