#include "canvas/painter.h"

#include <QFontInfo>

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace kelvora {
namespace {

std::set<std::pair<int, int>> PixelsOf(const Picture& picture, QRgb colour)
{
    std::set<std::pair<int, int>> found;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) == colour)
                found.insert({x, y});
    return found;
}

TEST(PainterLine, IncludesBothEndsAndIsEightConnected)
{
    Picture picture(20, 20);
    Painter painter(picture);
    painter.line(2, 3, 15, 9);
    const auto pixels = PixelsOf(picture, Black);
    EXPECT_TRUE(pixels.count({2, 3}));
    EXPECT_TRUE(pixels.count({15, 9}));
    // One pixel per column of an x-major line.
    EXPECT_EQ(pixels.size(), 14u);
    for (int x = 2; x <= 15; ++x) {
        // The pixel lies within half a pixel of the ideal line.
        const double ideal = 3 + (x - 2) * 6.0 / 13.0;
        bool near = false;
        for (const auto& [px, py] : pixels)
            near |= px == x && std::abs(py - ideal) <= 0.5;
        EXPECT_TRUE(near) << "column " << x;
    }
}

TEST(PainterLine, DottedPenSetsOnePixelInThree)
{
    Picture picture(40, 3);
    Painter painter(picture);
    painter.setPen(DottedGreenPen);
    painter.line(0, 1, 30, 1);
    for (int x = 0; x <= 30; ++x)
        EXPECT_EQ(picture.pixel(x, 1), x % 3 == 0 ? Green : White) << x;
}

TEST(PainterLine, FarOutsideCoordinatesDrawOnlyTheVisiblePart)
{
    // A line from far above the picture to inside it, as a curve with a huge first value draws.
    Picture clipped(50, 50);
    Painter(clipped).line(10, -100000000, 20, 40);
    // The same line drawn on a tall picture and cut out must give the same pixels.
    const int offset = 1000;
    Picture tall(50, offset + 50);
    Painter(tall).line(10, -100000000 + offset, 20, 40 + offset);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(clipped.pixel(x, y), tall.pixel(x, y + offset)) << x << "," << y;
    EXPECT_FALSE(PixelsOf(clipped, Black).empty());
}

TEST(PainterLine, VerticalSpanEqualsVerticalLine)
{
    Picture a(5, 30), b(5, 30);
    Painter(a).line(2, 25, 2, 4);
    Painter(b).verticalSpan(2, 4, 25);
    EXPECT_EQ(a, b);
}

TEST(PainterText, UsesTheProgramFontAndDrawsBlackGlyphsBelowTheAnchor)
{
    EXPECT_EQ(QFontInfo(ProgramFont()).family(), QStringLiteral("IPAexGothic"));
    Picture picture(100, 40);
    Painter(picture).text(10, 10, "波形 0.5");
    const auto ink = PixelsOf(picture, Black);
    ASSERT_FALSE(ink.empty());
    for (const auto& [x, y] : ink) {
        EXPECT_GE(x, 10);
        EXPECT_GE(y, 10);
        EXPECT_LT(y, 10 + TextPixelSize + 4);
    }
}

TEST(PictureCrop, KeepsTheTopLeftPart)
{
    Picture picture(750, 530);
    picture.setPixel(571, 299, Red);
    picture.setPixel(572, 0, Blue);
    const Picture part = picture.cropped(572, 300);
    EXPECT_EQ(part.width(), 572);
    EXPECT_EQ(part.height(), 300);
    EXPECT_EQ(part.pixel(571, 299), Red);
    EXPECT_TRUE(PixelsOf(part, Blue).empty());
}

} // namespace
} // namespace kelvora
