// The frame as a user meets it on the offscreen platform: keys sent through Qt's shortcut
// handling, files dropped on it, and the size of what it shows.

#include "app/frame_window.h"

#include "../tools/support/temp_files.h"
#include "platform/fake_audio_output.h"
#include "platform/scripted_ui.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include <gtest/gtest.h>

namespace kelvora {
namespace {

class FrameAsUserTest : public ::testing::Test {
protected:
    FrameServices Scripted() { return {&files, &messages, &urls, "file:///guide.html", &audio}; }
    Session session;
    platform::ScriptedFileChooser files;
    platform::RecordingMessageBox messages;
    platform::RecordingUrlOpener urls;
    platform::FakeAudioOutput audio;
};

TEST_F(FrameAsUserTest, CtrlWClosesTheActiveDataWindow)
{
    FrameWindow frame(session, MenuKind::Standard, Scripted());
    frame.show();
    QApplication::setActiveWindow(&frame);
    for (int i = 0; i < 2; ++i)
        frame.shell().CreateDataWindow(KindPicture, {}, "p" + std::to_string(i), Picture(10, 10), 10, 10);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QMdiSubWindow* active = frame.mdiArea().activeSubWindow();
    ASSERT_EQ(active, frame.dataWindows()[1]);

    QTest::keyClick(active->widget(), Qt::Key_W, Qt::ControlModifier);
    QCoreApplication::processEvents();
    ASSERT_EQ(frame.dataWindows().size(), 1u);
    EXPECT_EQ(frame.shell().records().size(), 1u);
    EXPECT_EQ(frame.shell().records()[0]->caption, "p0");
}

TEST_F(FrameAsUserTest, ATinyPictureOpensInAReadableWindowThatItFills)
{
    FrameWindow frame(session, MenuKind::Standard, Scripted());
    frame.resize(1000, 700);
    frame.show();
    Picture tiny(8, 8);
    tiny.image().fill(QColor(Qt::red));
    frame.shell().CreateDataWindow(KindPicture, {}, "tiny.bmp", std::move(tiny), 8, 8);
    QCoreApplication::processEvents();
    QWidget* content = frame.dataWindows()[0]->widget();
    EXPECT_GE(content->width(), 320);
    EXPECT_GE(content->height(), 240);
    const QImage shown = content->grab().toImage();
    EXPECT_EQ(shown.pixel(content->width() - 1, content->height() - 1) & 0xffffff, 0xff0000u);
}

} // namespace
} // namespace kelvora
