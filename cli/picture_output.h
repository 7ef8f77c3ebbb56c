#pragma once
// Writes a picture to .png or .bmp (chosen by the extension) for the command line.

#include "canvas/picture.h"

#include <iosfwd>
#include <string>

namespace kelvora::cli {

// Returns an exit status; failures and unknown extensions are reported on err.
int WritePicture(const Picture& picture, const std::string& path, std::ostream& err);

} // namespace kelvora::cli
