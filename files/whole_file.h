#pragma once
// Reading a whole file into memory, the first step of every loader.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "files/result.h"

namespace kelvora::files {

// Files whose size does not fit in 32 bits are refused by the sound and picture loaders: their
// headers cannot describe them.
inline constexpr std::uintmax_t Max32BitFileBytes = 0xFFFFFFFFu;

// The bytes of the file at path. Fails with CannotOpen and "ファイルが開けません" when the file
// cannot be opened (missing, a directory, no permission), CannotOpen when reading it fails half
// way, and WrongFormat ("ファイルが大きすぎて読み込めません") when it holds more than maxBytes,
// which it finds out before reading them. The failure's path is path.
Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::uintmax_t maxBytes);

} // namespace kelvora::files
