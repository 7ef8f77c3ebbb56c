#include "tools/lpc/block_diagrams.h"

#include "canvas/painter.h"

#include <cmath>

namespace kelvora {
namespace {

// A line that ends in a small open arrow head at (x1, y1).
void Arrow(Painter& p, int x0, int y0, int x1, int y1)
{
    p.line(x0, y0, x1, y1);
    const double dx = x1 - x0, dy = y1 - y0;
    const double length = std::hypot(dx, dy);
    if (length == 0.0)
        return;
    const double ux = dx / length, uy = dy / length;
    const auto head = [&](double side) {
        p.line(x1, y1, static_cast<int>(std::lround(x1 - 6 * ux + side * 3 * uy)),
               static_cast<int>(std::lround(y1 - 6 * uy - side * 3 * ux)));
    };
    head(1.0);
    head(-1.0);
}

// A summing point: a square of side 14 centred on (x, y) with a plus inside.
void Adder(Painter& p, int x, int y)
{
    p.rectangle(x - 7, y - 7, x + 7, y + 7);
    p.line(x - 4, y, x + 4, y);
    p.line(x, y - 4, x, y + 4);
}

// A labelled block from (left, top) to (right, bottom), its text starting 4 px in.
void Block(Painter& p, int left, int top, int right, int bottom, const std::string& label)
{
    p.rectangle(left, top, right, bottom);
    p.text(left + 4, (top + bottom) / 2 - 7, label);
}

// A unit delay "z⁻¹" with the exponent raised, since the font has no superscript minus.
void DelayBlock(Painter& p, int left, int top, int right, int bottom, const std::string& prefix = {})
{
    p.rectangle(left, top, right, bottom);
    const int x = left + 4, y = (top + bottom) / 2 - 5;
    p.text(x, y, prefix + "z");
    p.text(x + 6 * static_cast<int>(prefix.size()) + 7, y - 5, "-1");
}

void Dot(Painter& p, int x, int y)
{
    p.fillRect(QRect(x - 2, y - 2, 5, 5), Black);
}

constexpr int ForwardY = 40, BackwardY = 120;

// One lattice stage between x and x + 110: the backward path through z⁻¹, then both crossed
// multiplications into the two adders.
void LatticeStage(Painter& p, int x, const std::string& coefficient)
{
    DelayBlock(p, x + 8, BackwardY - 12, x + 38, BackwardY + 10);
    p.line(x, BackwardY, x + 8, BackwardY);
    p.line(x + 38, BackwardY, x + 88, BackwardY);
    p.line(x, ForwardY, x + 88, ForwardY);
    Dot(p, x + 50, ForwardY);
    Dot(p, x + 50, BackwardY);
    Arrow(p, x + 50, ForwardY, x + 90, BackwardY - 8);
    Arrow(p, x + 50, BackwardY, x + 90, ForwardY + 8);
    Adder(p, x + 95, ForwardY);
    Adder(p, x + 95, BackwardY);
    p.line(x + 102, ForwardY, x + 110, ForwardY);
    p.line(x + 102, BackwardY, x + 110, BackwardY);
    // Each label sits beside the start of its own diagonal, left of the crossing.
    p.text(x + 22, ForwardY + 6, "−" + coefficient);
    p.text(x + 22, BackwardY - 26, "−" + coefficient);
}

} // namespace

Picture LatticeBlockDiagram(const std::string& letter, const std::string& last)
{
    Picture picture(DiagramWidth, LatticeDiagramHeight);
    Painter p(picture);
    p.text(2, (ForwardY + BackwardY) / 2 - 7, "X");
    p.line(14, (ForwardY + BackwardY) / 2, 30, (ForwardY + BackwardY) / 2);
    p.line(30, ForwardY, 30, BackwardY);
    Dot(p, 30, (ForwardY + BackwardY) / 2);
    LatticeStage(p, 30, letter + "1");
    LatticeStage(p, 140, letter + "2");
    p.line(250, ForwardY, 262, ForwardY);
    p.line(250, BackwardY, 262, BackwardY);
    p.text(266, ForwardY - 7, "…");
    p.text(266, BackwardY - 7, "…");
    p.line(278, ForwardY, 290, ForwardY);
    p.line(278, BackwardY, 290, BackwardY);
    LatticeStage(p, 290, letter + last);
    Arrow(p, 400, ForwardY, 420, ForwardY);
    Arrow(p, 400, BackwardY, 420, BackwardY);
    p.text(424, ForwardY - 7, "Y");
    p.text(424, BackwardY - 7, "E");
    p.text(330, 4, "前方予測誤差 Y");
    p.text(330, LatticeDiagramHeight - 18, "後方予測誤差 E");
    p.text(40, 4, "ステージ1");
    p.text(150, 4, "ステージ2");
    return picture;
}

Picture StageUpdateDiagram()
{
    Picture picture(DiagramWidth, StageUpdateDiagramHeight);
    Painter p(picture);
    constexpr int fY = 24, bY = 84, cY = 150;
    p.text(2, fY - 20, "f（前方残差）");
    p.text(62, bY + 12, "b（後方残差, 1サンプル遅れ）");
    p.line(4, fY, 80, fY);
    p.line(4, bY, 80, bY);
    // D: γ f² + (1 − γ) b², accumulated with factor a; γ is written y, as its bar label shows it.
    Block(p, 80, fY - 9, 116, fY + 9, "２乗");
    p.line(116, fY, 136, fY);
    Block(p, 136, fY - 9, 200, fY + 9, "×y");
    Arrow(p, 200, fY, 223, fY);
    Block(p, 80, bY - 9, 116, bY + 9, "２乗");
    p.line(116, bY, 136, bY);
    Block(p, 136, bY - 9, 200, bY + 9, "×(1−y)");
    p.line(200, bY, 230, bY);
    Arrow(p, 230, bY, 230, fY + 7);
    Adder(p, 230, fY);
    Arrow(p, 237, fY, 273, fY);
    Adder(p, 280, fY);
    p.line(287, fY, 330, fY);
    Dot(p, 330, fY);
    p.line(330, fY, 330, 54);
    p.line(330, 54, 322, 54);
    DelayBlock(p, 284, 44, 322, 64, "a ");
    p.line(284, 54, 280, 54);
    Arrow(p, 280, 54, 280, fY + 7);
    p.text(336, fY - 18, "D");
    // C: f · b, accumulated with factor a.
    Dot(p, 40, fY);
    Dot(p, 56, bY);
    p.line(40, fY, 40, cY - 5);
    p.line(56, bY, 56, cY + 5);
    Arrow(p, 40, cY - 5, 130, cY - 5);
    Arrow(p, 56, cY + 5, 130, cY + 5);
    Block(p, 130, cY - 10, 152, cY + 10, "×");
    Arrow(p, 152, cY, 273, cY);
    Adder(p, 280, cY);
    p.line(287, cY, 330, cY);
    Dot(p, 330, cY);
    p.line(330, cY, 330, 120);
    p.line(330, 120, 322, 120);
    DelayBlock(p, 284, 110, 322, 130, "a ");
    p.line(284, 120, 280, 120);
    Arrow(p, 280, 120, 280, cY - 7);
    p.text(336, cY + 4, "C");
    // Wn = C / D.
    p.line(330, fY, 390, fY);
    Arrow(p, 390, fY, 390, 74);
    p.line(330, cY, 390, cY);
    Arrow(p, 390, cY, 390, 98);
    Block(p, 366, 74, 414, 98, "C÷D");
    Arrow(p, 414, 86, 440, 86);
    p.text(422, 64, "Wn");
    return picture;
}

Picture AdaptiveFilterDiagram()
{
    Picture picture(DiagramWidth, AdaptiveFilterDiagramHeight);
    Painter p(picture);
    constexpr int lineY = 60;
    p.text(2, lineY - 7, "X");
    p.line(14, lineY, 70, lineY);
    Dot(p, 40, lineY);
    Block(p, 70, lineY - 12, 120, lineY + 12, "遅延M");
    Arrow(p, 120, lineY, 160, lineY);
    Block(p, 160, lineY - 18, 262, lineY + 18, "適応フィルタ");
    Arrow(p, 262, lineY, 323, lineY);
    p.text(280, lineY - 20, "Y");
    p.text(312, lineY + 10, "−");
    Adder(p, 330, lineY);
    Arrow(p, 337, lineY, 440, lineY);
    p.text(444, lineY - 7, "E");
    // The switch that chooses the desired signal: X for the line enhancer, YE for the filter.
    p.line(40, lineY, 40, 14);
    p.line(40, 14, 314, 14);
    Dot(p, 316, 14);
    p.line(380, 14, 346, 14);
    Dot(p, 344, 14);
    p.text(384, 7, "YE");
    p.line(330, 34, 316, 16);
    Dot(p, 330, 34);
    Arrow(p, 330, 34, 330, lineY - 7);
    p.text(150, 0, "ラインエンハンサ");
    p.text(350, 22, "適応フィルタ");
    // The error adapts the filter through the step factor.
    Dot(p, 400, lineY);
    p.line(400, lineY, 400, 104);
    Arrow(p, 400, 104, 334, 104);
    Block(p, 296, 94, 334, 114, "×μ");
    p.line(296, 104, 211, 104);
    Arrow(p, 211, 104, 211, lineY + 18);
    Arrow(p, 180, lineY + 24, 244, lineY - 24);
    return picture;
}

} // namespace kelvora
