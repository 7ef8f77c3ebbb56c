#include "app/readable_text.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>

#include <algorithm>

namespace kelvora {
namespace {

// A line may end after these characters ...
const QString BreakAfter = QStringLiteral("、。，）)」』】〕！？!?；; /");
// ... or just before these.
const QString BreakBefore = QStringLiteral("（(「『【〔");

// The widest a message's lines may grow before they are broken.
constexpr int MessageWidthLimit = 760;

bool MayBreakAfter(const QString& line, qsizetype i)
{
    return BreakAfter.contains(line[i]) || (i + 1 < line.size() && BreakBefore.contains(line[i + 1]));
}

// The last place in `line` after which it may be broken, or -1.
qsizetype LastBreak(const QString& line)
{
    for (qsizetype i = line.size() - 2; i >= 0; --i)
        if (MayBreakAfter(line, i))
            return i;
    return -1;
}

// Drops the ASCII spaces at one end of a broken line (a full-width space that indents a line
// is part of the text and stays).
QString WithoutSpaces(QString line, Qt::Edge edge)
{
    if (edge == Qt::RightEdge)
        while (line.endsWith(' '))
            line.chop(1);
    else
        while (line.startsWith(' '))
            line.remove(0, 1);
    return line;
}

QString BreakParagraph(const QString& paragraph, const QFontMetrics& metrics, int maxWidth)
{
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < paragraph.size(); ++i) {
        line += paragraph[i];
        // A surrogate pair is one character: never measured or cut in its middle.
        if (paragraph[i].isHighSurrogate() && i + 1 < paragraph.size())
            line += paragraph[++i];
        if (metrics.horizontalAdvance(line) <= maxWidth)
            continue;
        const qsizetype at = LastBreak(line);
        const qsizetype lastChar = line.back().isLowSurrogate() ? line.size() - 2 : line.size() - 1;
        const qsizetype cut = at >= 0 ? at + 1 : lastChar;
        if (cut <= 0)
            continue; // one character wider than the line: nothing to break
        lines << WithoutSpaces(line.left(cut), Qt::RightEdge);
        line = WithoutSpaces(line.mid(cut), Qt::LeftEdge);
    }
    lines << line;
    return lines.join('\n');
}

} // namespace

QString BreakAtSensiblePoints(const QString& text, const QFontMetrics& metrics, int maxWidth)
{
    QStringList paragraphs = text.split('\n');
    for (QString& paragraph : paragraphs)
        paragraph = BreakParagraph(paragraph, metrics, maxWidth);
    return paragraphs.join('\n');
}

void SetReadableMessageText(QMessageBox& box, const QString& text)
{
    box.setTextFormat(Qt::PlainText);
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label == nullptr) {
        box.setText(text);
        return;
    }
    const QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    const int limit = screen ? std::min(MessageWidthLimit, screen->availableGeometry().width() * 2 / 3)
                             : MessageWidthLimit;
    const QFontMetrics metrics = label->fontMetrics();
    const QString broken = BreakAtSensiblePoints(text, metrics, limit);
    int widest = 0;
    for (const QString& line : broken.split('\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    box.setText(broken);
    // The box lays its label out at least this wide, so Qt has no reason to wrap it again.
    label->setMinimumWidth(widest + 2);
}

} // namespace kelvora
