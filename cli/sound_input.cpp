#include "cli/sound_input.h"

#include "cli/cli_command.h"
#include "files/sound_file.h"
#include "files/text_samples.h"

#include <algorithm>
#include <cctype>
#include <ostream>

namespace kelvora::cli {

bool HoldsAFrame(const std::string& path, std::size_t samples, std::size_t frameSize, std::ostream& err)
{
    if (samples >= frameSize)
        return true;
    err << path << ": the sound has " << samples << " samples, fewer than one frame of " << frameSize << '\n';
    return false;
}

std::string OneLine(const std::string& path, const std::string& message)
{
    std::string line = path + ": " + message;
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line;
}

bool HasExtension(const std::string& path, const std::string& extension)
{
    if (path.size() < extension.size())
        return false;
    return std::equal(extension.rbegin(), extension.rend(), path.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

int ReportWrite(const std::string& path, const files::Status& written, std::ostream& err)
{
    if (written)
        return ExitOk;
    err << OneLine(path, written.error().message) << '\n';
    return ExitBadInput;
}

int WriteSoundFile(const std::string& path, const files::WavFormat& format, std::span<const double> left,
                   std::span<const double> right, std::ostream& err)
{
    return ReportWrite(path, files::WriteWav(path, format, left, right), err);
}

std::optional<files::WavSound> ReadSoundFile(const std::string& path, std::ostream& err)
{
    if (HasExtension(path, ".txt")) {
        auto samples = files::ReadText(path);
        if (!samples) {
            err << OneLine(path, samples.error().message) << '\n';
            return std::nullopt;
        }
        files::WavSound sound;
        sound.left = std::move(samples.value());
        return sound;
    }
    auto loaded = files::ReadSound(path);
    if (!loaded) {
        err << OneLine(path, loaded.error().message) << '\n';
        return std::nullopt;
    }
    // What was left out is worth a line, but the sound is still good to work on.
    if (!loaded.value().notice.empty())
        err << OneLine(path, loaded.value().notice) << '\n';
    return std::move(loaded.value().sound);
}

} // namespace kelvora::cli
