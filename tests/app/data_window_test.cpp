#include "app/data_window.h"

#include "canvas/painter.h"
#include "tools/shell/data_record.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(DataWindowTest, StretchesTheShownPartOfItsPictureOverTheWindow)
{
    DataRecord record;
    record.picture = Picture(750, 530);
    Painter(record.picture).fillRect(QRect(0, 0, 286, 300), Red); // left half of a 572 x 300 part
    record.pictureWidth = 572;
    record.pictureHeight = 300;
    DataWindow window(record);
    window.resize(1144, 150); // twice as wide, half as high: the aspect ratio is not kept
    const QImage shown = window.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(1144, 150));
    EXPECT_EQ(shown.pixel(10, 10) & 0xffffff, Red);
    EXPECT_EQ(shown.pixel(560, 140) & 0xffffff, Red);
    EXPECT_EQ(shown.pixel(590, 10) & 0xffffff, White);
    EXPECT_EQ(shown.pixel(1140, 145) & 0xffffff, White); // nothing of the canvas beyond 572 x 300
}

TEST(DataWindowTest, AnEnlargedPictureKeepsSharpPixels)
{
    DataRecord record;
    record.picture = Picture(2, 1);
    record.picture.image().setPixel(0, 0, 0xff000000u | Red);
    record.picture.image().setPixel(1, 0, 0xff000000u | White);
    record.pictureWidth = 2;
    record.pictureHeight = 1;
    DataWindow window(record);
    window.resize(400, 300);
    const QImage shown = window.grab().toImage();
    // Each picture pixel covers 200 x 300 window pixels, the boundary between them included.
    EXPECT_EQ(shown.pixel(199, 150) & 0xffffff, Red);
    EXPECT_EQ(shown.pixel(200, 150) & 0xffffff, White);
}

} // namespace
} // namespace kelvora
