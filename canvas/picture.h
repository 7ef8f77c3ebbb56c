#pragma once
// A picture is a 32-bit RGB raster with a top-left origin: every drawing of the program
// (waveforms, graphs, strips) goes into one, and windows only show or stretch it.

#include <QImage>
#include <QRgb>

namespace kelvora {

// Colours as pixel() reports them: 0xRRGGBB, no alpha.
inline constexpr QRgb White = 0xffffff;
inline constexpr QRgb Black = 0x000000;
inline constexpr QRgb Red = 0xff0000;
inline constexpr QRgb Green = 0x00ff00;
inline constexpr QRgb Blue = 0x0000ff;

class Picture {
public:
    Picture() = default;
    // A width x height picture filled with the given colour. Sizes below 1 give a null picture.
    Picture(int width, int height, QRgb fill = White);
    explicit Picture(QImage image);

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    bool isNull() const { return image_.isNull(); }

    // The colour at (x, y), without alpha; outside the picture: white.
    QRgb pixel(int x, int y) const;
    // Sets one pixel; coordinates outside the picture are ignored.
    void setPixel(int x, int y, QRgb colour)
    {
        if (x >= 0 && y >= 0 && x < width() && y < height())
            reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = colour | 0xff000000u;
    }
    void fill(QRgb colour);

    // Copies the top-left width x height part of this picture (areas past its edge stay white).
    Picture cropped(int width, int height) const;

    const QImage& image() const { return image_; }
    QImage& image() { return image_; }

    friend bool operator==(const Picture& a, const Picture& b) { return a.image_ == b.image_; }

private:
    QImage image_;
};

} // namespace kelvora
