#include "tools/noise/block_diagram.h"

#include "canvas/painter.h"

#include <QFontMetrics>

#include <cmath>
#include <string>

namespace kelvora {
namespace {

// Texts with a mark over one letter (a hat or a bar): `before`, the marked letter, `after`.
struct MarkedText {
    std::string before;
    std::string letter;
    std::string after;
    bool bar = false; // a bar instead of a hat
};

int Advance(const std::string& text)
{
    return QFontMetrics(ProgramFont()).horizontalAdvance(QString::fromStdString(text));
}

// Draws the text with its top-left corner at (x, y) and returns its right end.
int DrawMarked(Painter& painter, int x, int y, const MarkedText& text)
{
    painter.text(x, y, text.before);
    const int letterX = x + Advance(text.before);
    const int letterWidth = Advance(text.letter);
    painter.text(letterX, y, text.letter);
    painter.text(letterX + letterWidth, y, text.after);
    const int middle = letterX + letterWidth / 2;
    if (text.bar) {
        painter.line(letterX + 1, y, letterX + letterWidth - 1, y);
    } else {
        painter.line(middle - 3, y + 2, middle, y - 1);
        painter.line(middle, y - 1, middle + 3, y + 2);
    }
    return letterX + letterWidth + Advance(text.after);
}

void Arrow(Painter& painter, int x0, int y0, int x1, int y1)
{
    painter.line(x0, y0, x1, y1);
    if (y0 == y1) {
        const int back = x1 > x0 ? -4 : 4;
        painter.line(x1, y1, x1 + back, y1 - 3);
        painter.line(x1, y1, x1 + back, y1 + 3);
    } else {
        const int back = y1 > y0 ? -4 : 4;
        painter.line(x1, y1, x1 - 3, y1 + back);
        painter.line(x1, y1, x1 + 3, y1 + back);
    }
}

void Box(Painter& painter, int left, int top, int right, int bottom, const std::string& label)
{
    painter.rectangle(left, top, right, bottom);
    const int width = Advance(label);
    painter.text((left + right - width) / 2 + 1, (top + bottom) / 2 - TextPixelSize / 2 - 1, label);
}

enum class Sign { Minus, Times };

// A circle of radius 8 around (x, y) with a minus or times sign drawn in it.
void Junction(Painter& painter, int x, int y, Sign sign)
{
    constexpr int Points = 32;
    for (int i = 0; i < Points; ++i) {
        const double a0 = 6.283185307179586 * i / Points, a1 = 6.283185307179586 * (i + 1) / Points;
        painter.line(x + static_cast<int>(std::lround(8 * std::cos(a0))), y + static_cast<int>(std::lround(8 * std::sin(a0))),
                     x + static_cast<int>(std::lround(8 * std::cos(a1))), y + static_cast<int>(std::lround(8 * std::sin(a1))));
    }
    if (sign == Sign::Minus) {
        painter.line(x - 4, y, x + 4, y);
    } else {
        painter.line(x - 4, y - 4, x + 4, y + 4);
        painter.line(x - 4, y + 4, x + 4, y - 4);
    }
}

// Three dots down from (x, y): more of the same left out.
void VerticalEllipsis(Painter& painter, int x, int y)
{
    for (int i = 0; i < 3; ++i)
        painter.fillRect(QRect(x, y + 5 * i, 2, 2), Black);
}

} // namespace

Picture DrawBlockDiagram()
{
    Picture picture(BlockDiagramWidth, BlockDiagramHeight);
    Painter p(picture);
    p.setPen(BlackPen);

    // Spectrum: y(t) -> FFT -> Y(i,k) along the top to the gain multiplier on the right.
    p.text(2, 12, "y(t)");
    Arrow(p, 26, 18, 42, 18);
    Box(p, 42, 8, 80, 28, "FFT");
    p.line(80, 18, 292, 18);
    p.text(150, 2, "Y(i,k)");
    p.line(292, 18, 292, 232);
    Arrow(p, 292, 232, 260, 232);

    // Power of every bin, on to the subtraction and down into the noise estimation.
    Arrow(p, 96, 18, 96, 34);
    Box(p, 72, 34, 122, 52, "POWER");
    p.line(96, 52, 96, 62);
    p.line(96, 62, 250, 62);
    Arrow(p, 250, 62, 250, 140);
    p.text(150, 46, "|Y(i,k)|²");
    p.line(96, 62, 34, 62);

    // Estimation of the noise spectrum: delays, run variances, minimum, times alpha.
    p.rectangle(4, 70, 182, 270);
    p.line(34, 62, 34, 84);
    const int taps[] = {84, 120, 200};
    const char* tapNames[] = {"i", "i−1", "i−L"};
    const char* varianceNames[] = {"V_ar(0)", "V_ar(1)", "V_ar(L)"};
    for (int t = 0; t < 3; ++t) {
        p.text(8, taps[t] - 7, tapNames[t]);
        Arrow(p, 34, taps[t], 50, taps[t]);
        Box(p, 50, taps[t] - 10, 104, taps[t] + 10, varianceNames[t]);
        Arrow(p, 104, taps[t], 112, taps[t]);
    }
    Box(p, 26, 94, 42, 110, "D");
    p.line(34, 110, 34, 120);
    p.line(34, 84, 34, 94);
    Box(p, 26, 130, 42, 146, "D");
    p.line(34, 120, 34, 130);
    p.line(34, 146, 34, 156);
    VerticalEllipsis(p, 33, 158);
    VerticalEllipsis(p, 76, 150);
    Box(p, 26, 176, 42, 192, "D");
    p.line(34, 192, 34, 200);
    Box(p, 112, 74, 132, 210, "");
    p.text(114, 130, "m");
    p.text(116, 142, "i");
    p.text(114, 154, "n");
    p.line(132, 150, 150, 150);
    DrawMarked(p, 134, 128, {"", "Y", "min", true});
    Box(p, 150, 141, 168, 159, "α");
    Arrow(p, 168, 150, 242, 150);
    DrawMarked(p, 184, 132, {"|", "V", "(i,k)|²"});
    p.text(10, 248, "estimation of noise spectrum");

    // Subtraction, the gain and its multiplication, the inverse transform.
    Junction(p, 250, 150, Sign::Minus);
    Arrow(p, 250, 158, 250, 176);
    DrawMarked(p, 188, 160, {"|", "X", "(i,k)|²"});
    p.rectangle(194, 176, 286, 214); // left of the Y(i,k) line at x = 292, which must not cross it
    p.text(196, 188, "√");
    DrawMarked(p, 212, 179, {"|", "X", "(i,k)|²"});
    p.line(210, 195, 282, 195);
    p.text(212, 198, "|Y(i,k)|²");
    Arrow(p, 250, 214, 250, 224);
    Junction(p, 250, 232, Sign::Times);
    Arrow(p, 250, 240, 250, 250);
    Box(p, 224, 250, 276, 268, "IFFT");
    Arrow(p, 250, 268, 250, 284);
    DrawMarked(p, 256, 272, {"", "x", "(t)"});
    return picture;
}

} // namespace kelvora
