#include "canvas/picture.h"

#include "canvas/vector_state.h"

#include <QPainter>

namespace kelvora {

Picture::Picture(int width, int height, QRgb fill)
{
    if (width < 1 || height < 1)
        return;
    image_ = QImage(width, height, QImage::Format_RGB32);
    image_.fill(fill | 0xff000000u);
    ClearUpperVectorState();
}

Picture::Picture(QImage image) : image_(image.convertToFormat(QImage::Format_RGB32)) {}

QRgb Picture::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return White;
    return reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x] & 0x00ffffffu;
}

void Picture::fill(QRgb colour)
{
    image_.fill(colour | 0xff000000u);
    ClearUpperVectorState();
}

Picture Picture::cropped(int width, int height) const
{
    Picture part(width, height);
    if (part.isNull() || isNull())
        return part;
    {
        QPainter painter(&part.image_);
        painter.drawImage(0, 0, image_, 0, 0, width, height);
    }
    ClearUpperVectorState();
    return part;
}

} // namespace kelvora
