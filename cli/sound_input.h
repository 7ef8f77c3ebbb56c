#pragma once
// Sounds as the command line reads them: sound files of every format the program reads (WAV
// files as they are, the others on the 16-bit scale), text files as the text loader takes them
// (mono, 8000 Hz, not normalised).

#include "files/wav.h"

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

namespace kelvora::cli {

// Reads the file; on failure writes one line to err and returns nothing. When the reader had to
// leave something out (channels beyond two, a cut file) it says so on one line of err and the
// sound is returned.
std::optional<files::WavSound> ReadSoundFile(const std::string& path, std::ostream& err);

// Whether a sound of `samples` samples holds one analysis frame of frameSize; if not, says so on
// one line of err.
bool HoldsAFrame(const std::string& path, std::size_t samples, std::size_t frameSize, std::ostream& err);

// Writes the sound as a WAV file (right empty for one channel); on failure writes one line to
// err. Returns the exit status.
int WriteSoundFile(const std::string& path, const files::WavFormat& format, std::span<const double> left,
                   std::span<const double> right, std::ostream& err);

// Reports a failed write on one line; returns the exit status for `written`.
int ReportWrite(const std::string& path, const files::Status& written, std::ostream& err);

// The file's failure message on one line, prefixed with the path.
std::string OneLine(const std::string& path, const std::string& message);

// True when the path ends with the extension (compared without case), e.g. ".png".
bool HasExtension(const std::string& path, const std::string& extension);

} // namespace kelvora::cli
