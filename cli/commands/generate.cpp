// kelvora generate --shape S --rate R --ms L --frequency F --amplitude A [--duty D] [--seed N]
// -o OUT: the signal generator's test sounds written as a 16-bit mono WAV file.

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "dsp/signal_generator.h"
#include "files/wav.h"

#include <ctime>
#include <map>
#include <ostream>

namespace kelvora::cli {
namespace {

std::uint32_t Ranged(const Arguments& arguments, const std::string& option, long long low, long long high,
                     std::optional<long long> fallback = std::nullopt)
{
    const std::optional<long long> value = arguments.integer(option);
    if (!value && !fallback)
        throw UsageError(option + " is required");
    const long long v = value.value_or(fallback.value_or(0));
    if (v < low || v > high)
        throw UsageError(option + " must lie in " + std::to_string(low) + " … " + std::to_string(high));
    return static_cast<std::uint32_t>(v);
}

int RunGenerate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    (void)out;
    const Arguments arguments(args, {}, {"-o", "--shape", "--rate", "--ms", "--frequency", "--amplitude",
                                         "--duty", "--seed"});
    arguments.expectPositionals(0);
    const std::string output = arguments.required("-o");
    static const std::map<std::string, dsp::WaveShape> shapes = {
        {"sine", dsp::WaveShape::Sine},           {"triangle", dsp::WaveShape::Triangle},
        {"sawtooth", dsp::WaveShape::Sawtooth},   {"rectangle", dsp::WaveShape::Rectangle},
        {"noise", dsp::WaveShape::Noise},
    };
    const auto shape = shapes.find(arguments.required("--shape"));
    if (shape == shapes.end())
        throw UsageError("--shape must be sine, triangle, sawtooth, rectangle or noise");

    dsp::GeneratorParams params;
    params.shape = shape->second;
    params.rate = Ranged(arguments, "--rate", 1, 192000);
    params.lengthMs = Ranged(arguments, "--ms", 0, 600000);
    params.frequency = Ranged(arguments, "--frequency", 0, 96000);
    params.amplitude = Ranged(arguments, "--amplitude", 0, 32767);
    params.dutyPercent = Ranged(arguments, "--duty", 0, 100, 50);
    const auto seed = static_cast<std::uint32_t>(
        arguments.integer("--seed").value_or(static_cast<long long>(std::time(nullptr))));

    const std::vector<double> samples = dsp::Generate(params, seed);
    files::WavFormat format;
    format.sampleRate = params.rate;
    return WriteSoundFile(output, format, samples, {}, err);
}

} // namespace

KELVORA_CLI_COMMAND({"generate",
                     "--shape sine|triangle|sawtooth|rectangle|noise --rate R --ms L --frequency F "
                     "--amplitude A [--duty D] [--seed N] -o OUT",
                     "a test sound as the signal generator makes it (duty in % for the rectangle, "
                     "seed for the noise), written as a 16-bit mono WAV",
                     RunGenerate});

} // namespace kelvora::cli
