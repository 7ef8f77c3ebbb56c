#pragma once
// Saving without ever destroying the previous file.

#include <cstdint>
#include <span>
#include <string>

#include "files/result.h"

namespace kelvora::files {

// Writes bytes to a new temporary file beside path, flushes it and renames it over path, so
// that path holds either its old contents or all of the new ones, never a part. An existing
// file's permission bits are carried over; a symbolic link is followed and its target
// replaced. On failure the temporary file is removed, path is untouched and the result is
// CannotWrite with a Japanese message that names the file and what went wrong.
Status WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace kelvora::files
