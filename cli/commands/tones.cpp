// kelvora tones --f1 F --level1 DB [--f2 1000|1200 --level2 DB] --seconds T -o OUT.wav: writes
// the mixed tone of the hearing demonstration, 16-bit mono at 16 kHz, as teaching material.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "dsp/two_tones.h"

#include <ostream>
#include <vector>

namespace kelvora::cli {
namespace {

constexpr double LongestSeconds = 3600.0;

int LevelArgument(const Arguments& arguments, const std::string& name)
{
    const long long level = arguments.integer(name).value_or(0);
    if (level > 0 || level < -100)
        throw UsageError(name + " must be a level from 0 down to -100 dB");
    return static_cast<int>(level);
}

int RunTones(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const Arguments arguments(args, {}, {"--f1", "--level1", "--f2", "--level2", "--seconds", "-o"});
    arguments.expectPositionals(0);
    arguments.required("--f1");
    const long long f1 = *arguments.integer("--f1");
    if (f1 < 0 || f1 > 7000)
        throw UsageError("--f1 must be a frequency from 0 to 7000 Hz");
    dsp::Tone first{static_cast<int>(f1), dsp::AmplitudeOfLevel(LevelArgument(arguments, "--level1"))};
    dsp::Tone second{1000, 0};
    if (arguments.value("--f2")) {
        const long long f2 = *arguments.integer("--f2");
        if (f2 != 1000 && f2 != 1200)
            throw UsageError("--f2 must be 1000 or 1200");
        second = {static_cast<int>(f2), dsp::AmplitudeOfLevel(LevelArgument(arguments, "--level2"))};
    } else if (arguments.value("--level2")) {
        throw UsageError("--level2 belongs to --f2");
    }
    arguments.required("--seconds");
    const double seconds = *arguments.number("--seconds");
    if (!(seconds > 0.0 && seconds <= LongestSeconds))
        throw UsageError("--seconds must lie above 0 and at most 3600");
    const auto count = static_cast<std::size_t>(seconds * dsp::TwoTonesRate);
    if (count == 0)
        throw UsageError("--seconds is shorter than one sample at 16000 Hz");
    const std::string path = arguments.required("-o");

    std::vector<std::int16_t> tone(count);
    dsp::FillTwoTones(tone, 0, first, second);
    const std::vector<double> samples(tone.begin(), tone.end());
    files::WavFormat format;
    format.sampleRate = dsp::TwoTonesRate;
    format.bytesPerSecond = dsp::TwoTonesRate * 2;
    if (const int status = WriteSoundFile(path, format, samples, {}, err); status != ExitOk)
        return status;
    out << path << ": " << count << " samples at 16000 Hz, tone 1 " << first.frequency << " Hz amplitude "
        << first.amplitude << ", tone 2 " << second.frequency << " Hz amplitude " << second.amplitude << '\n';
    return ExitOk;
}

} // namespace

KELVORA_CLI_COMMAND({"tones", "--f1 F --level1 DB [--f2 1000|1200 --level2 DB] --seconds T -o OUT.wav",
                     "writes the two mixed tones of the hearing demonstration (16 kHz, 16-bit mono)", RunTones});

} // namespace kelvora::cli
