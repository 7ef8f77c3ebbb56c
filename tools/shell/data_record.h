#pragma once
// One data set of the session: a sound with its samples, or a picture. Every data window
// shows exactly one record; the record owns what the window shows.

#include "canvas/picture.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvora {

enum RecordKind : int { KindSound = 1, KindPicture = 2 };

// Captions and the chosen file's path are kept in 256 bytes with their terminating NUL: at most
// 255 bytes of UTF-8 text, cut between characters (Utf8Prefix). A file is still read from its
// whole path; only the name it is shown and proposed under is cut.
inline constexpr std::size_t CaptionMaxBytes = 255;

struct DataRecord {
    RecordKind kind = KindSound;
    std::string caption;          // the file's path, or the date stamp of a made sound
    std::vector<double> samples;  // one channel in integer sample units; empty for pictures
    Picture picture;              // what the window shows
    std::uint32_t sampleRate = 8000;
    std::uint16_t bitsPerSample = 16; // depth of this sound: 8 for a sound read from an 8-bit file
    int pictureWidth = 0;         // the part of the picture the window shows
    int pictureHeight = 0;
};

} // namespace kelvora
