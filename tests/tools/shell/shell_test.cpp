// The frame's command handling driven through a scripted user: file choosers, message boxes
// and dialogs answer from the script, windows are entries of a fake list.

#include "tools/shell/shell.h"

#include "../support/scripted_services.h"
#include "../support/fake_window_host.h"
#include "../support/temp_files.h"
#include "files/wav.h"
#include "files/bmp.h"
#include "files/flac_writer.h"
#include "platform/scripted_ui.h"
#include "tools/files_ui/load_options_dialog.h"
#include "tools/shell/small_dialogs.h"

#include <QImage>

#include <gtest/gtest.h>

namespace kelvora {
namespace {

using testing::FakeWindowHost;
using testing::TempDir;
using testing::WriteTestWav;

// A tool whose behaviour is given by the test: it runs `onOpen` against the session when the
// dialog opens.
class ScriptedTool : public DialogModel {
public:
    ScriptedTool(Session& session, std::function<void(Session&)> onOpen)
        : DialogModel(DialogTemplate{"scripted", {100, 100}, {}, {}}), session_(session), onOpen_(std::move(onOpen))
    {
    }
    void init() override { onOpen_(session_); }
    void command(int id) override
    {
        if (id == IdCancel)
            endDialog(1);
    }

private:
    Session& session_;
    std::function<void(Session&)> onOpen_;
};

class ShellTest : public ::testing::Test, protected testing::ScriptedServices {
protected:

    Shell& shell()
    {
        if (!shell_)
            shell_ = std::make_unique<Shell>(session, services, windows, registry);
        return *shell_;
    }
    // Registers a tool for `command` that runs `onOpen` and closes.
    void addTool(int command, std::function<void(Session&)> onOpen)
    {
        registry.add(command, [onOpen](Session& s, Services&) { return std::make_unique<ScriptedTool>(s, onOpen); });
    }
    void closeEachDialog() { dialogs.then([](DialogModel&) {}); }
    std::string wav(const std::vector<double>& left, const std::vector<double>& right = {},
                    std::uint32_t rate = 8000, int bits = 16)
    {
        const std::string path = temp.file("sound" + std::to_string(++made) + ".wav");
        WriteTestWav(path, left, right, rate, bits);
        return path;
    }
    void load(const std::string& path, int command = CmdLoadWav)
    {
        files.answer(path);
        shell().execute(command);
    }

    TempDir temp;
    Session session;
    FakeWindowHost windows;
    ToolRegistry registry;
    int made = 0;

private:
    std::unique_ptr<Shell> shell_;
};

TEST_F(ShellTest, SoundCommandsWithoutAnActiveSoundComplainAndOpenNothing)
{
    bool opened = false;
    for (int command : {CmdEdit, CmdFrequencyAnalysis, CmdVowel, CmdJoin})
        addTool(command, [&opened](Session&) { opened = true; });
    for (int command : {CmdEdit, CmdFrequencyAnalysis, CmdVowel, CmdJoin, CmdSaveWav, CmdSaveText})
        shell().execute(command);
    EXPECT_FALSE(opened);
    ASSERT_EQ(messages.messages.size(), 6u);
    EXPECT_EQ(messages.messages[0].text, WrongSelectionText);
    EXPECT_EQ(messages.messages[0].caption, WrongSelectionCaption);
    EXPECT_EQ(files.saveCount, 0);

    shell().execute(CmdSavePicture); // nothing active: nothing at all
    EXPECT_EQ(files.saveCount, 0);
    EXPECT_EQ(messages.messages.size(), 6u);
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));
}

TEST_F(ShellTest, APictureIsNeverAnalysed)
{
    bool opened = false;
    addTool(CmdFrequencyAnalysis, [&opened](Session&) { opened = true; });
    shell().CreateDataWindow(KindPicture, {}, "picture", Picture(10, 10), 10, 10);
    shell().execute(CmdFrequencyAnalysis);
    EXPECT_FALSE(opened);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, WrongSelectionCaption);
}

TEST_F(ShellTest, StereoFileOpensLeftThenRightWithTheSameCaption)
{
    const std::string path = wav({1, 2, 3}, {-4, -5, -6}, 11025);
    load(path);
    ASSERT_EQ(windows.open.size(), 2u);
    EXPECT_EQ(windows.open[0]->caption, path);
    EXPECT_EQ(windows.open[1]->caption, path);
    EXPECT_EQ(windows.open[0]->samples, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(windows.open[1]->samples, (std::vector<double>{-4, -5, -6}));
    EXPECT_EQ(windows.open[1]->sampleRate, 11025u);
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::W));
    EXPECT_EQ(dialogs.modelessOpen, 0);
}

TEST_F(ShellTest, OtherFormatsOpenLikeWavFilesAsSixteenBitSounds)
{
    const std::string flac = temp.file("voice.flac");
    ASSERT_TRUE(files::WriteFlac16(flac, files::WavFormat{2, 22050, 0, 0, 16}, std::vector<double>{7, -32768},
                                   std::vector<double>{32767, 0})
                    .ok());
    load(flac);
    ASSERT_FALSE(files.lastFilters.empty());
    EXPECT_EQ(files.lastFilters[0].description, "音声ファイル");
    EXPECT_NE(files.lastFilters[0].pattern.find("*.flac"), std::string::npos);
    EXPECT_EQ(files.lastFilters.back().pattern, "*.*");
    ASSERT_EQ(windows.open.size(), 2u);
    EXPECT_EQ(windows.open[0]->samples, (std::vector<double>{7, -32768}));
    EXPECT_EQ(windows.open[1]->samples, (std::vector<double>{32767, 0}));
    EXPECT_EQ(windows.open[1]->sampleRate, 22050u);
    EXPECT_EQ(windows.open[0]->bitsPerSample, 16);
    EXPECT_TRUE(messages.messages.empty());

    if (!testing::HaveProgram("sox"))
        GTEST_SKIP() << "sox is not installed (scripts/setup-debian.sh installs it)";
    const std::string four = temp.file("four.aiff");
    ASSERT_EQ(std::system(("sox -n -r 8000 -c 4 -b 16 " + four + " synth 0.1 sine 300").c_str()), 0);
    load(four);
    EXPECT_EQ(windows.open.size(), 4u);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, four + "\nこのファイルには4チャンネルあります。\n最初の2チャンネルだけを読み込みました。");
}

TEST_F(ShellTest, CancelledOrRefusedLoadsLeaveNoWindowAndNoProgressDialog)
{
    files.answer(std::nullopt);
    shell().execute(CmdLoadWav);
    const std::string broken = temp.file("broken.wav");
    testing::WriteBytes(broken, {'R', 'I', 'F', 'F'});
    load(broken);
    EXPECT_TRUE(windows.open.empty());
    EXPECT_EQ(dialogs.modelessOpen, 0);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find(broken), std::string::npos);
}

TEST_F(ShellTest, TheProgressDialogIsUpBeforeTheFileIsChosen)
{
    std::vector<int> openWhenAsked;
    files.whenAsked = [&] { openWhenAsked.push_back(dialogs.modelessOpen); };
    load(wav({1, 2}));
    files.answer(std::nullopt);
    shell().execute(CmdLoadText);
    files.answer(std::nullopt);
    shell().execute(CmdSaveWav);
    EXPECT_EQ(openWhenAsked, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(dialogs.modelessOpen, 0);
    EXPECT_EQ(windows.open.size(), 1u);
}

TEST_F(ShellTest, CaptionsKeep255BytesCutBetweenCharacters)
{
    std::string caption = "a";
    for (int i = 0; i < 100; ++i)
        caption += "音"; // three bytes each: 301 in all
    const DataRecord* record = shell().CreateDataWindow(KindSound, {}, caption, Picture(1, 1), 1, 1);
    EXPECT_EQ(record->caption, caption.substr(0, 1 + 84 * 3)); // an 85th character would pass 255
}

TEST_F(ShellTest, ToolResultsFollowTheHandOverRules)
{
    addTool(CmdEdit, [](Session& s) { s.traceSlots.clear(SlotNumber::X); });  // no result
    addTool(CmdNoiseRemoval, [](Session& s) { s.traceSlots.fill(SlotNumber::X, {}); }); // empty sound
    shell().localTime = [] {
        std::tm t{};
        t.tm_year = 2026 - 1900, t.tm_mon = 0, t.tm_mday = 2, t.tm_hour = 3, t.tm_min = 4, t.tm_sec = 5;
        return t;
    };
    load(wav({5, 6}));
    closeEachDialog();
    shell().execute(CmdEdit);
    EXPECT_EQ(windows.open.size(), 1u);

    closeEachDialog();
    shell().execute(CmdNoiseRemoval);
    ASSERT_EQ(windows.open.size(), 2u);
    EXPECT_EQ(windows.open[1]->kind, KindSound);
    EXPECT_TRUE(windows.open[1]->samples.empty());
    EXPECT_EQ(windows.open[1]->caption, "2026年 1月 2日 3時 4分 5秒");
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));
}

TEST_F(ShellTest, EachToolStartsFromTheActiveWindowsCopyAndRate)
{
    std::vector<std::vector<double>> seen;
    std::vector<std::uint32_t> rates;
    addTool(CmdJoin, [&](Session& s) {
        seen.push_back(s.traceSlots.samples(SlotNumber::X));
        rates.push_back(s.SampleRate());
        s.traceSlots.samplesToChange(SlotNumber::X).push_back(99); // a changed copy, handed back
    });
    load(wav({1, 2}, {}, 16000));
    session.soundFormat.samplesPerSecond = 44100; // something else changed the rate meanwhile
    closeEachDialog();
    shell().execute(CmdJoin);
    windows.active = windows.open[0];
    closeEachDialog();
    shell().execute(CmdJoin);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], (std::vector<double>{1, 2}));
    EXPECT_EQ(seen[1], (std::vector<double>{1, 2}));
    EXPECT_EQ(rates, (std::vector<std::uint32_t>{16000, 16000}));
    EXPECT_EQ(windows.open[1]->samples, (std::vector<double>{1, 2, 99}));
    EXPECT_EQ(windows.open[1]->sampleRate, 16000u);
}

TEST_F(ShellTest, PictureResultsUseTheCommandsWindowSizeAndAppearEvenOnCancel)
{
    addTool(CmdFrequencyAnalysis, [](Session&) {});
    addTool(CmdVowel, [](Session& s) { s.resultCanvas.setPixel(600, 400, Red); });
    load(wav({1, 2, 3}));
    closeEachDialog();
    shell().execute(CmdFrequencyAnalysis);
    windows.active = windows.open[0];
    closeEachDialog();
    shell().execute(CmdVowel);
    ASSERT_EQ(windows.open.size(), 3u);
    EXPECT_EQ(windows.open[1]->kind, KindPicture);
    EXPECT_EQ(windows.open[1]->pictureWidth, 750);
    EXPECT_EQ(windows.open[2]->pictureWidth, 572);
    EXPECT_EQ(windows.open[2]->pictureHeight, 300);
    // The whole canvas is kept; the window shows its top-left part.
    EXPECT_EQ(windows.open[2]->picture.width(), 750);
    EXPECT_EQ(windows.open[2]->picture.pixel(600, 400), Red);
    EXPECT_EQ(windows.open[1]->picture.pixel(600, 400), White);
}

TEST_F(ShellTest, ThinningIsSetOnlyForTheThinnedRecording)
{
    std::vector<bool> flags;
    auto capture = [&flags](Session& s) { flags.push_back(s.recordingThinning); };
    addTool(CmdRecord, capture);
    addTool(CmdRecordThinned, capture);
    closeEachDialog();
    shell().execute(CmdRecordThinned);
    EXPECT_TRUE(session.recordingThinning);
    closeEachDialog();
    shell().execute(CmdRecord);
    shell().execute(CmdCascade);
    EXPECT_EQ(flags, (std::vector<bool>{true, false}));
    EXPECT_FALSE(session.recordingThinning);
}

TEST_F(ShellTest, CommandsWithoutATool)
{
    EXPECT_FALSE(shell().isEnabled(CmdSpectrogram));
    shell().execute(CmdSpectrogram); // disabled: nothing happens, nothing is asked
    EXPECT_EQ(dialogs.modalCount, 0);
    EXPECT_TRUE(shell().isEnabled(CmdLoadWav));
    EXPECT_TRUE(shell().isEnabled(CmdCascade));
    EXPECT_FALSE(shell().isEnabled(12345));
}

TEST_F(ShellTest, CloseWindowFreesOnlyTheActiveRecord)
{
    load(wav({1}));
    load(wav({2}));
    shell().execute(CmdCloseWindow);
    ASSERT_EQ(shell().records().size(), 1u);
    EXPECT_EQ(shell().records()[0]->samples, (std::vector<double>{1}));
    EXPECT_EQ(windows.closed, 1);
    shell().execute(CmdCloseWindow);
    shell().execute(CmdCloseWindow); // none left: nothing happens
    EXPECT_TRUE(shell().records().empty());
}

TEST_F(ShellTest, SavingKeepsEachSoundsOwnDepth)
{
    const std::string eightBit = wav({-128, 0, 127}, {}, 8000, 8);
    load(eightBit);
    load(wav({1000, -1000}));                  // a 16-bit file read afterwards
    windows.active = windows.open[0];           // save the 8-bit sound again
    const std::string saved = temp.file("saved.wav");
    files.answer(saved);
    shell().execute(CmdSaveWav);
    EXPECT_EQ(files.lastProposedName, eightBit);
    auto read = files::ReadWav(saved);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value().format.bitsPerSample, 8);
    EXPECT_EQ(read.value().left, (std::vector<double>{-128, 0, 127}));
}

TEST_F(ShellTest, AResultThatLeavesTheEightBitRangeOfItsSourceIsSavedWithSixteen)
{
    addTool(CmdConvolution, [](Session& s) { s.traceSlots.fill(SlotNumber::X, {16380, -3, 128}); });
    load(wav({-128, 0, 127}, {}, 8000, 8));
    closeEachDialog();
    shell().execute(CmdConvolution);
    const std::string saved = temp.file("convolved.wav");
    files.answer(saved);
    shell().execute(CmdSaveWav); // the result's window is the active one
    auto read = files::ReadWav(saved);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value().format.bitsPerSample, 16);
    EXPECT_EQ(read.value().left, (std::vector<double>{16380, -3, 128}));
}

TEST_F(ShellTest, SavingTextRenamesTheRecordsCaption)
{
    const std::string path = temp.file("voice.wav");
    WriteTestWav(path, {1, 2, 3});
    load(path);
    const std::string target = temp.file("voice.txt");
    files.answer(target);
    shell().execute(CmdSaveText);
    EXPECT_EQ(files.lastProposedName, target);
    EXPECT_EQ(windows.open[0]->caption, target);
}

TEST_F(ShellTest, TextLoadAsksWhetherToNormalise)
{
    const std::string path = temp.file("numbers.txt");
    testing::WriteBytes(path, {'1', '\n', '-', '2', '\n', '1', '6', '3', '8', '3', '.', '5', '\n'});
    dialogs.then([](DialogModel& dialog) {
        EXPECT_EQ(dialog.text(LoadOptionsDialog::Question).rfind("最大値が16384  最小値が   -2", 0), 0u);
        dialog.press(LoadOptionsDialog::Normalise);
    });
    load(path, CmdLoadText);
    ASSERT_EQ(windows.open.size(), 1u);
    EXPECT_EQ(windows.open[0]->sampleRate, 8000u);
    EXPECT_DOUBLE_EQ(windows.open[0]->samples[2], 32767.0);
    EXPECT_DOUBLE_EQ(windows.open[0]->samples[0], 1 / 16383.5 * 32767);
}

TEST_F(ShellTest, NamedFilesOpenEachByItsOwnLoader)
{
    const std::string text = temp.file("numbers.TXT");
    testing::WriteBytes(text, {'5', '\n', '-', '6', '\n'});
    const std::string picture = temp.file("picture.bmp");
    testing::WriteBytes(picture, files::EncodeBmp24(files::RgbImage{2, 1, {0x0000ff, 0xff0000}}));
    const std::string notSound = temp.file("notes.doc");
    testing::WriteBytes(notSound, {'h', 'e', 'l', 'l', 'o'});
    dialogs.then([](DialogModel& dialog) { dialog.press(LoadOptionsDialog::Keep); });

    shell().openFiles({wav({7, 8}), text, picture, notSound, temp.file("missing.wav")});
    ASSERT_EQ(windows.open.size(), 3u);
    EXPECT_EQ(windows.open[0]->samples, (std::vector<double>{7, 8}));
    EXPECT_EQ(windows.open[1]->caption, text);
    EXPECT_EQ(windows.open[1]->samples, (std::vector<double>{5, -6}));
    EXPECT_EQ(windows.open[2]->kind, KindPicture);
    EXPECT_EQ(windows.open[2]->pictureWidth, 2);
    // The two unreadable files each get the sound reader's message, naming the file.
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].text.rfind(notSound, 0), 0u);
    EXPECT_EQ(messages.messages[1].text.rfind(temp.file("missing.wav"), 0), 0u);
    EXPECT_EQ(files.openCount, 0); // no file chooser was asked
}

TEST_F(ShellTest, SmallDialogs)
{
    registry = StandardTools();
    dialogs.then([](DialogModel& dialog) { dialog.press(HomePageDialog::Address); });
    shell().execute(CmdHomePage);
    EXPECT_EQ(urls.opened, (std::vector<std::string>{"file:///guide.html"}));
    dialogs.then([](DialogModel& dialog) {
        EXPECT_EQ(dialog.text(IdCancel), "キャンセル");
        dialog.press(IdCancel);
        EXPECT_EQ(dialog.result(), 1);
    });
    shell().execute(CmdHomePage);

    dialogs.then([](DialogModel& dialog) {
        dialog.press(FxxDialog::Decrease); // already at 1: stays
        dialog.press(FxxDialog::Increase);
        dialog.press(FxxDialog::Increase);
        dialog.press(IdOk);                // no handler: stays open
        EXPECT_FALSE(dialog.ended());
    });
    shell().execute(CmdFxx);
    EXPECT_EQ(session.toolState<FxxCounter>().value, 3);
    dialogs.then([](DialogModel& dialog) {
        for (int i = 0; i < 5; ++i)
            dialog.press(FxxDialog::Decrease);
    });
    shell().execute(CmdFxx);
    EXPECT_EQ(session.toolState<FxxCounter>().value, 1);
}

} // namespace
} // namespace kelvora

namespace kelvora {
namespace {

class ShellPictureTest : public ShellTest {};

TEST_F(ShellPictureTest, LoadsABmpAndSavesTheShownPartAsBmpOrPng)
{
    addTool(CmdVowel, [](Session& s) { s.resultCanvas.setPixel(571, 299, Blue); });
    files::RgbImage image{4, 3, std::vector<std::uint32_t>(12, 0x102030)};
    image.pixels[0] = 0xff0000;
    const std::string path = temp.file("KOKO.bmp");
    testing::WriteBytes(path, files::EncodeBmp24(image));
    files.answer(path);
    shell().execute(CmdLoadPicture);
    ASSERT_EQ(windows.open.size(), 1u);
    EXPECT_EQ(windows.open[0]->kind, KindPicture);
    EXPECT_EQ(windows.open[0]->picture.pixel(0, 0), Red);
    EXPECT_EQ(windows.open[0]->pictureWidth, 4);

    load(wav({1, 2, 3}));
    closeEachDialog();
    shell().execute(CmdVowel);
    const std::string bmp = temp.file("vowel.bmp"), png = temp.file("vowel.png");
    files.answer(bmp);
    shell().execute(CmdSavePicture);
    files.answer(png);
    shell().execute(CmdSavePicture);
    const auto saved = files::ReadBmp(bmp);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved.value().width, 572);
    EXPECT_EQ(saved.value().height, 300);
    EXPECT_EQ(saved.value().pixels[299 * 572 + 571], Blue);
    const QImage asPng(QString::fromStdString(png));
    EXPECT_EQ(asPng.size(), QSize(572, 300));
    EXPECT_EQ(asPng.pixel(571, 299) & 0xffffff, Blue);
}

TEST_F(ShellPictureTest, RefusedPicturesUseTheLoadersCaptionAndOpenNothing)
{
    files::RgbImage image{2, 2, std::vector<std::uint32_t>(4, 0)};
    auto bytes = files::EncodeBmp24(image);
    bytes[28] = 32; // a 32-bit picture
    const std::string path = temp.file("deep.bmp");
    testing::WriteBytes(path, bytes);
    files.answer(path);
    shell().execute(CmdLoadPicture);
    files.answer(temp.file("missing.bmp"));
    shell().execute(CmdLoadPicture);
    EXPECT_TRUE(windows.open.empty());
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].text, "24 or 8 ビットBMPファイルしか読み込めません");
    EXPECT_EQ(messages.messages[0].caption, "KOKO.BMP");
    EXPECT_EQ(messages.messages[1].text, "ファイルが開けません");
}

} // namespace
} // namespace kelvora
