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

} // namespace
} // namespace kelvora
