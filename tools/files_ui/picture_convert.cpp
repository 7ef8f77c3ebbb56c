#include "tools/files_ui/picture_convert.h"

#include "files/atomic_write.h"

#include <QBuffer>
#include <QByteArray>

#include <cstring>

namespace kelvora {

Picture PictureFromImage(const files::RgbImage& image)
{
    Picture picture(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            picture.setPixel(x, y, image.pixels[static_cast<std::size_t>(y) * image.width + x]);
    return picture;
}

files::RgbImage ImageFromPicture(const Picture& picture)
{
    files::RgbImage image;
    image.width = picture.width();
    image.height = picture.height();
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.pixels[static_cast<std::size_t>(y) * image.width + x] = picture.pixel(x, y);
    return image;
}

files::Status SavePng(const std::string& path, const Picture& picture)
{
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.image().save(&buffer, "PNG"))
        return files::Failure{files::FailureKind::CannotWrite,
                              path + "\nPNG画像を作れませんでした。", path};
    std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(encoded.constData()),
                                        static_cast<std::size_t>(encoded.size()));
    return files::WriteFileAtomically(path, bytes);
}

} // namespace kelvora
