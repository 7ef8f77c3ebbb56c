// The frame on the offscreen platform: menus as the user sees them, and a file opened through
// the menu into a data window.

#include "app/frame_window.h"

#include "../tools/support/temp_files.h"
#include "platform/fake_audio_output.h"
#include "platform/scripted_ui.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>
#include <QUrl>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace kelvora {
namespace {

QStringList Captions(const QList<QAction*>& actions)
{
    QStringList captions;
    for (QAction* action : actions)
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

QAction* FindCommand(QWidget* bar, int command)
{
    for (QAction* action : bar->findChildren<QAction*>())
        if (action->data().toInt() == command)
            return action;
    return nullptr;
}

class FrameTest : public ::testing::Test {
protected:
    FrameServices Scripted() { return {&files, &messages, &urls, "file:///guide.html", &audio}; }
    Session session;
    platform::ScriptedFileChooser files;
    platform::RecordingMessageBox messages;
    platform::RecordingUrlOpener urls;
    platform::FakeAudioOutput audio;
};

TEST_F(FrameTest, StandardAndExtendedMenus)
{
    FrameWindow frame(session, MenuKind::Standard, Scripted());
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Kelvora Ver2019.05.10"));
    const QStringList standard = Captions(frame.menuWidget()->actions());
    EXPECT_EQ(standard, (QStringList{"ファイル", "再生・編集", "録音", "周波数分析（フーリエ変換）", "スペクトログラム",
                                     "母音・声道断面積推定", "聴覚", "その他", "&Windowsの整列", "　書籍は・・"}));
    const QMenu* file = frame.menuWidget()->actions().first()->menu();
    EXPECT_EQ(Captions(file->actions()).first(), "読み込み(音響=wavファイル）通常はこちら：絶対値で表示）");
    EXPECT_TRUE(FindCommand(frame.menuWidget(), CmdLoadWav)->isEnabled());

    frame.setMenuKind(MenuKind::Extended);
    const QStringList extended = Captions(frame.menuWidget()->actions());
    EXPECT_FALSE(extended.contains("　書籍は・・"));
    EXPECT_TRUE(extended.contains("波形結合"));
    EXPECT_TRUE(extended.contains("FXX"));
    // The stock-data items are there like any other tool the program lacks: visible, disabled.
    for (const int stock : {CmdStockLoad, CmdStockSearch}) {
        ASSERT_NE(FindCommand(frame.menuWidget(), stock), nullptr) << stock;
        EXPECT_FALSE(FindCommand(frame.menuWidget(), stock)->isEnabled());
    }
    EXPECT_EQ(FindCommand(frame.menuWidget(), CmdStockLoad)->text(), "株データ読み込み");
    EXPECT_EQ(FindCommand(frame.menuWidget(), CmdStockSearch)->text(), "株検索");
    EXPECT_EQ(FindCommand(frame.menuWidget(), CmdRecordThinned)->text(), "間引いて表示(PC演算速度低用）");
}

TEST_F(FrameTest, OpensAWavFileIntoADataWindowAndClosesIt)
{
    testing::TempDir temp;
    const std::string path = temp.file("tone&noise.wav");
    testing::WriteTestWav(path, std::vector<double>(800, 1000.0));
    FrameWindow frame(session, MenuKind::Standard, Scripted());
    frame.show();
    files.answer(path);
    FindCommand(frame.menuWidget(), CmdLoadWav)->trigger();

    ASSERT_EQ(frame.mdiArea().subWindowList().size(), 1);
    QMdiSubWindow* window = frame.mdiArea().subWindowList().first();
    EXPECT_EQ(window->windowTitle().toStdString(), path);
    ASSERT_EQ(frame.shell().records().size(), 1u);
    EXPECT_EQ(frame.shell().records()[0]->samples.size(), 800u);
    EXPECT_EQ(frame.activeRecord(), frame.shell().records()[0].get());
    // What the window shows is its waveform picture.
    QCoreApplication::processEvents();
    const QImage shown = window->widget()->grab().toImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.size(), window->widget()->size());

    // The window list of the file menu names the window as it is spelt: on screen a menu text
    // loses each single "&" (a shortcut mark) and shows "&&" as "&".
    QMenu* file = frame.menuWidget()->actions().first()->menu();
    emit file->aboutToShow();
    QStringList shownEntries;
    for (QString caption : Captions(file->actions()))
        shownEntries << caption.replace("&&", QChar(0x1)).remove('&').replace(QChar(0x1), "&");
    EXPECT_TRUE(shownEntries.contains("1 " + QString::fromStdString(path))) << shownEntries.join("|").toStdString();

    window->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame.mdiArea().subWindowList().isEmpty());
    EXPECT_TRUE(frame.shell().records().empty());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(FrameTest, DroppedWavFilesOpenAsTheLoadCommandWould)
{
    testing::TempDir temp;
    const std::string path = temp.file("dropped.wav");
    testing::WriteTestWav(path, {1, 2, 3}, {4, 5, 6});
    FrameWindow frame(session, MenuKind::Standard, Scripted());
    frame.show();
    frame.openDroppedUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    ASSERT_EQ(frame.mdiArea().subWindowList().size(), 2); // left and right channel
    EXPECT_EQ(frame.dataWindows()[1]->windowTitle().toStdString(), path);
    EXPECT_EQ(files.openCount, 0); // no file chooser was asked
}

TEST_F(FrameTest, WithoutASoundDeviceTheStatusBarSaysSo)
{
    audio.deviceAvailable = false;
    FrameWindow frame(session, MenuKind::Standard, Scripted());
    QStringList shown;
    for (const QLabel* label : frame.statusBar()->findChildren<QLabel*>())
        shown << label->text();
    EXPECT_TRUE(shown.contains(QString::fromUtf8(platform::NoAudioDeviceNotice))) << shown.join('|').toStdString();
}

TEST_F(FrameTest, ArrangesWindowsSideBySide)
{
    FrameWindow frame(session, MenuKind::Standard, Scripted());
    frame.resize(800, 600);
    frame.show();
    for (int i = 0; i < 2; ++i)
        frame.shell().CreateDataWindow(KindPicture, {}, "p" + std::to_string(i), Picture(10, 10), 10, 10);
    frame.shell().execute(CmdTileVertical);
    const auto windows = frame.dataWindows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0]->geometry().top(), windows[1]->geometry().top());
    EXPECT_LT(windows[0]->geometry().right(), windows[1]->geometry().left() + 2);
    frame.shell().execute(CmdTileHorizontal);
    EXPECT_EQ(windows[0]->geometry().left(), windows[1]->geometry().left());
    EXPECT_LT(windows[0]->geometry().bottom(), windows[1]->geometry().top() + 2);
}

} // namespace
} // namespace kelvora
