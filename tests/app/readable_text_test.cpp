// Japanese texts on screen are broken into lines only where a line may end, never inside a word,
// in message boxes and in the labels of dialogs alike.

#include "app/dialog_host.h"
#include "app/readable_text.h"

#include "tools/dialog/dialog_model.h"
#include "tools/files_ui/load_options_dialog.h"
#include "tools/shell/shell.h"

#include <QLabel>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace kelvora {
namespace {

// Where a line may end, written out here rather than taken from the code under test.
bool EndsAtASensiblePoint(const QString& line, const QString& next)
{
    return QStringLiteral("、。）)」！？ /").contains(line.back()) || QStringLiteral("（(「").contains(next.front());
}

void ExpectLinesFitAndEndSensibly(const QString& shown, const QFontMetrics& metrics, int width)
{
    const QStringList lines = shown.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        EXPECT_LE(metrics.horizontalAdvance(lines[i]), width) << lines[i].toStdString();
        // A line of the text itself may end anywhere; one made by breaking ends at a sensible point.
        if (i + 1 < lines.size() && !lines[i].isEmpty() && !lines[i + 1].isEmpty()) {
            EXPECT_TRUE(EndsAtASensiblePoint(lines[i], lines[i + 1]))
                << lines[i].toStdString() << " | " << lines[i + 1].toStdString();
        }
    }
}

TEST(ReadableTextTest, LongTextsBreakAfterPunctuationAndBeforeBrackets)
{
    const QFontMetrics metrics(QFont("IPAexGothic", 10));
    const QString text = QString::fromUtf8(WrongSelectionText);
    const int em = metrics.horizontalAdvance(QChar(0x97f3)); // 音
    for (const int width : {16 * em, 18 * em, 25 * em}) {
        const QString broken = BreakAtSensiblePoints(text, metrics, width);
        EXPECT_GT(broken.count('\n'), 0) << width;
        EXPECT_EQ(QString(broken).remove('\n'), text); // nothing lost, nothing added
        ExpectLinesFitAndEndSensibly(broken, metrics, width);
    }
    // A run with nowhere to break is cut where it must be, rather than overflowing.
    const QString run(30, QChar(0x3042)); // あ…
    for (const QString& line : BreakAtSensiblePoints(run, metrics, 10 * em).split('\n'))
        EXPECT_EQ(line.size(), 10);
}

TEST(ReadableTextTest, AMessageBoxWidensRatherThanCuttingAWord)
{
    QMessageBox box(QMessageBox::Information, "間違って選択してます。", QString(), QMessageBox::Ok);
    SetReadableMessageText(box, QString::fromUtf8(WrongSelectionText));
    box.show();
    const auto* label = box.findChild<QLabel*>("qt_msgbox_label");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QString::fromUtf8(WrongSelectionText)); // one line, as written
    EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text()));
}

TEST(ReadableTextTest, DialogLabelsShowLinesThatFitAndEndSensibly)
{
    Session session;
    session.traceSlots.fill(SlotNumber::X, {16384, -2});
    LoadOptionsDialog options(session);
    options.init();
    DialogHost host(options, nullptr);
    host.show();
    for (auto* label : host.findChildren<QLabel*>()) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_FALSE(label->wordWrap());
        ExpectLinesFitAndEndSensibly(label->text(), label->fontMetrics(), label->contentsRect().width());
    }
}

TEST(ReadableTextTest, FixedLabelsWithoutAnIdShowTheirCaptions)
{
    DialogTemplate fixedNotes;
    fixedNotes.size = {300, 80};
    fixedNotes.controls = {{-1, ControlKind::Label, "マウス左ボタン：鳴る", QRect(10, 10, 200, 20)},
                           {-1, ControlKind::Label, "ボリューム→", QRect(10, 40, 200, 20)}};
    DialogModel notes(fixedNotes);
    DialogHost host(notes, nullptr);
    QStringList shown;
    for (const auto* label : host.findChildren<QLabel*>())
        shown << label->text();
    EXPECT_TRUE(shown.contains(QStringLiteral("マウス左ボタン：鳴る"))) << shown.join('|').toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("ボリューム→"))) << shown.join('|').toStdString();
}

} // namespace
} // namespace kelvora
