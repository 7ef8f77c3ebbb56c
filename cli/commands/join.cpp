// kelvora join A B -o OUT: B appended behind A, as the waveform join does through slot W, written
// as a WAV file in A's format (mono; 16 bits where B does not fit A's 8).

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/sound_input.h"
#include "files/wav.h"
#include "tools/audio/waveform_join_dialog.h"

#include <ostream>

namespace kelvora::cli {
namespace {

int RunJoin(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    (void)out;
    const Arguments arguments(args, {}, {"-o"});
    arguments.expectPositionals(2);
    const std::string output = arguments.required("-o");
    const std::string& firstPath = arguments.positionals()[0];
    const std::string& secondPath = arguments.positionals()[1];
    auto first = ReadSoundFile(firstPath, err);
    if (!first)
        return ExitBadInput;
    auto second = ReadSoundFile(secondPath, err);
    if (!second)
        return ExitBadInput;

    // The tool joins the samples as they are; a sound of another rate would play at A's rate.
    if (second->format.sampleRate != first->format.sampleRate)
        err << "kelvora join: note: " << secondPath << " is at " << second->format.sampleRate
            << " Hz and is joined at " << first->format.sampleRate << " Hz\n";
    TraceSlots traceSlots;
    traceSlots.fill(SlotNumber::X, std::move(first->left));
    traceSlots.fill(SlotNumber::W, std::move(second->left));
    AppendWBehindX(traceSlots);

    files::WavFormat format = first->format;
    format.channels = 1;
    // A louder B behind an 8-bit A is written at 16 bits rather than clipped to A's depth.
    format.bitsPerSample = files::DepthThatHolds(format.bitsPerSample, traceSlots.samples(SlotNumber::X));
    return WriteSoundFile(output, format, traceSlots.samples(SlotNumber::X), {}, err);
}

} // namespace

KELVORA_CLI_COMMAND({"join", "A B -o OUT", "B appended behind A (first channels), written as a WAV in A's format",
                     RunJoin});

} // namespace kelvora::cli
