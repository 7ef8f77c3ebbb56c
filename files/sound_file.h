#pragma once
// Reading a sound file of any common format. The program's own WAV reader keeps the RIFF/WAVE
// files it was made for; libsndfile reads everything else. Which one reads a file is decided by
// its content, never by its name.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "files/progress.h"
#include "files/result.h"
#include "files/wav.h"

namespace kelvora::files {

// A sound as read, and what the reader had to leave out to read it (more than two channels, a
// file that ends before its header says): empty when the file was read whole. The caller shows
// a non-empty notice to the user; the sound is still good to use.
struct LoadedSound {
    WavSound sound;
    std::string notice;
};

enum class SoundReader {
    OwnWav,   // RIFF/WAVE with PCM samples of 8 or 16 bits, or a header too damaged to say
    Sndfile,  // every other file: FLAC, Ogg, MP3, AIFF, CAF, W64, WAV of 24 or 32 bits or floats…
};

// The reader for a file that starts with these bytes. A RIFF/WAVE file goes to the own reader
// when its "fmt " chunk says PCM with 8 or 16 bits, and also when its header is damaged (shorter
// than 44 bytes, no "fmt " chunk inside the file, no channels or a sample rate of 0), so that
// such files keep the own reader's messages and mends.
SoundReader ChooseSoundReader(std::span<const std::uint8_t> bytes) noexcept;

// Decodes a sound file held in memory with the reader ChooseSoundReader picks. Files read by
// libsndfile come onto the 16-bit scale with a depth of 16 bits (see DecodeWithSndfile).
// Failures carry the reader's Japanese message.
Result<LoadedSound> DecodeSound(std::span<const std::uint8_t> bytes, const ProgressText& progress = {});

// Reads the file at path and decodes it with DecodeSound; "ファイルが開けません" (CannotOpen)
// when it cannot be read, and files of 4 GB or more are refused. The failure's path is path.
Result<LoadedSound> ReadSound(const std::string& path, const ProgressText& progress = {});

// The name extensions of the sound files the program reads (lower case, without the dot), for
// open dialogs and the desktop entry. The content still decides how a file is read.
inline constexpr std::array<std::string_view, 13> SoundFileExtensions = {
    "wav", "flac", "ogg", "oga", "opus", "mp3", "aif", "aiff", "aifc", "caf", "w64", "au", "snd"};

// The extensions as one open-dialog pattern: "*.wav *.flac …".
std::string SoundFilePattern();

} // namespace kelvora::files
