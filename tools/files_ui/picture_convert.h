#pragma once
// Between the program's pictures and the files layer's plain RGB images, and PNG output.

#include "canvas/picture.h"
#include "files/bmp.h"
#include "files/result.h"

#include <string>

namespace kelvora {

Picture PictureFromImage(const files::RgbImage& image);
files::RgbImage ImageFromPicture(const Picture& picture);
// Writes the picture as PNG through a temporary file, so a failure keeps the old file.
files::Status SavePng(const std::string& path, const Picture& picture);

} // namespace kelvora
