// The frame as a user meets it on the offscreen platform: keys sent through Qt's shortcut
// handling, the menu bar at the frame's opening width, and the size of a new data window.

#include "app/frame_window.h"
#include "app/wrapping_menu_bar.h"

#include "platform/fake_audio_output.h"
#include "platform/scripted_ui.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QToolButton>
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

// Every top-level item of the extended menu can be clicked: it sits inside one row of the bar as
// Qt lays that row out, and no row hides items behind its overflow button.
TEST_F(FrameAsUserTest, EveryExtendedMenuItemIsOnTheBarAtTheOpeningSizeAndNarrower)
{
    FrameWindow frame(session, MenuKind::Extended, Scripted());
    frame.show();
    // 1177 x 736 is what the frame takes of a 1280 x 800 screen; 700 is a narrow frame.
    for (const int width : {1177, 700}) {
        frame.resize(width, 736);
        QCoreApplication::processEvents();
        const auto* bar = static_cast<WrappingMenuBar*>(frame.menuWidget());
        QList<QAction*> reachable;
        for (QMenuBar* row : bar->rows()) {
            const QToolButton* overflow = row->findChild<QToolButton*>();
            EXPECT_TRUE(overflow == nullptr || !overflow->isVisible()) << "width " << width;
            for (QAction* action : row->actions()) {
                if (action->isSeparator())
                    continue;
                EXPECT_TRUE(row->rect().contains(row->actionGeometry(action)))
                    << action->text().toStdString() << " at width " << width;
                reachable << action;
            }
        }
        QList<QAction*> items = frame.menuWidget()->actions();
        items.removeIf([](const QAction* action) { return action->isSeparator(); });
        EXPECT_EQ(reachable, items) << "width " << width;
        EXPECT_TRUE(reachable.last()->text() == "FXX");
    }
}

} // namespace
} // namespace kelvora
