#include "tools/spectral/fluctuation_picture.h"

#include "canvas/painter.h"
#include "util/sprintf.h"

#include <algorithm>
#include <vector>

namespace kelvora {
namespace {

constexpr int W = FluctuationPictureWidth;
constexpr int H = FluctuationPictureHeight;
constexpr std::size_t LastBin = dsp::FluctuationLastBin;

// The log-log panel: 40 px per decade with 1 Hz at x = 30; 0 dB at y = 87, -100 dB at 275.
int PanelX(double logFrequency)
{
    return PixelCoordinate(((logFrequency / 10.0) * 200.0) / 5.0 + 30.0);
}
int PanelY(double db)
{
    return PixelCoordinate(H / 2.0 - ((db + 20.0) / 80.0) * H * 4 * 0.125 - 25.0);
}

void DrawSlopeCourse(Painter& p, const dsp::FluctuationResult& r)
{
    std::vector<QPoint> points;
    points.reserve(dsp::FluctuationColumns);
    for (std::size_t c = 0; c < dsp::FluctuationColumns; ++c)
        points.emplace_back(static_cast<int>(c), PixelCoordinate(r.frameSlopes[c] * -300.0 * 0.0625));
    p.polyline(points);
    p.line(0, 18, W, 18); // slope -1
}

void DrawPanel(Painter& p, const dsp::FluctuationResult& r)
{
    const int top = H - 5 * H / 8 - 25, bottom = H - 25;
    p.moveTo(230, top);
    p.lineTo(230, bottom);
    p.lineTo(30, bottom);
    p.lineTo(30, top);
    const char* decades[] = {"1", "10", "100", "1k", "10k"};
    for (int i = 0; i < 5; ++i) {
        p.line(30 + 40 * i, bottom, 30 + 40 * i, bottom - 10);
        p.text(25 + 40 * i, 280, decades[i]);
    }
    for (int i = 0; i <= 5; ++i) {
        const int y = (3 * H + i * H) / 8 - 25;
        p.line(30, y, 40, y);
        p.text(0, y - 5, Sprintf("%3d", -20 * i));
    }
    std::vector<QPoint> spectrum;
    for (std::size_t k = 1; k <= LastBin; ++k)
        spectrum.emplace_back(PanelX(r.logFrequency[k]), PanelY(r.averageDb[k]));
    p.polyline(spectrum);
}

void DrawVerdictScale(Painter& p)
{
    const int x0 = static_cast<int>(W * 4.8 * 0.125);
    const int d = static_cast<int>(H * 0.42 * 0.125);
    p.line(x0, 3 * H / 8 - d, x0, 7 * H / 8 - d);
    for (int i = 3; i <= 7; ++i) {
        const int y = i * H / 8 - d;
        p.line(x0, y, x0 + 10, y);
        p.text(495, y - 7, Sprintf("%2d", 4 - i));
        if (i == 4)
            p.text(520, y - 10, "：白色雑音");
        else if (i == 5)
            p.text(520, y - 10, "：１／ｆの特性");
        else if (i == 6)
            p.text(520, y - 10, "：発音が規則的");
    }
}

void DrawLines(Painter& p, const dsp::FluctuationResult& r)
{
    const double a = r.slope, b = r.intercept;
    p.setPen({Red, PenStyle::Solid});
    const double x1 = r.logFrequency[1], xn = r.logFrequency[LastBin];
    p.line(PanelX(x1), PanelY(a * x1 + b), PanelX(xn), PanelY(a * xn + b));
    p.setPen({Blue, PenStyle::Dotted});
    for (int i = 0; i < 5; ++i) {
        const double startDb = 20.0 * i - 80.0;
        if (i < 2)
            p.line(30, PanelY(startDb), PanelX(20.0 * (i + 1)), PanelY(-100.0));
        else
            p.line(30, PanelY(startDb), 230, PanelY(20.0 * i - 130.0));
    }
    p.setPen(BlackPen);
}

} // namespace

std::string VerdictArrowText(double slope)
{
    return Sprintf("左図の赤線の傾き係数＝%3.2f →", slope);
}

int VerdictArrowY(double slope) noexcept
{
    const double placed = slope > 1.0 ? 1.1 : slope < -3.0 ? -3.1 : slope;
    return PixelCoordinate((5 * H / 8) * 0.95 - (placed + 1.0) * H * 0.125 - 15.0);
}

std::string SlopeResultLine(double slope)
{
    return Sprintf("-(%3.2f)=%3.2f", slope, -slope);
}

void DrawFluctuationPicture(Picture& picture, const dsp::FluctuationResult& result)
{
    picture = Picture(W, H);
    Painter p(picture);
    p.setPen(BlackPen);
    DrawSlopeCourse(p, result);
    DrawPanel(p, result);
    DrawVerdictScale(p);
    p.text(VerdictArrowX, VerdictArrowY(result.slope), VerdictArrowText(result.slope));
    DrawLines(p, result);
}

Picture DrawSlopeCard()
{
    Picture card(SlopeCardWidth, SlopeCardHeight);
    Painter p(card);
    p.setPen(BlackPen);
    p.rectangle(0, 0, SlopeCardWidth - 1, SlopeCardHeight - 1);
    p.text(10, 8, "傾き係数は 1/f の f の指数");
    // 1 over f to the power -(slope): the exponent sits raised beside the f, under the fraction
    // line, which spans the whole denominator so that its minus cannot be read as a subtraction.
    p.text(100, 30, "1");
    p.line(60, 47, 146, 47);
    p.text(66, 58, "f");
    p.text(71, 50, "−(傾き係数)");
    return card;
}

Picture DrawSlopeAxis()
{
    Picture axis(50, 60);
    Painter p(axis);
    p.setPen(BlackPen);
    constexpr int Top = FluctuationAxisTop; // the picture's place on the dialog
    p.line(48, 190 - Top, 48, 227 - Top);
    for (int i = 0; i < 3; ++i) {
        const int y = 190 + 300 * i / 16 - Top;
        p.line(48, y, 40, y);
        p.text(10, 180 + 300 * i / 16 - Top, Sprintf("%2.1f", static_cast<double>(-i)));
    }
    return axis;
}

} // namespace kelvora
