#include "tools/lpc/vowel_chart.h"

#include "canvas/painter.h"
#include "dsp/lpc_spectrum.h"
#include "util/sprintf.h"

#include <cmath>
#include <vector>

namespace kelvora {

// Reference outlines of the five Japanese vowels on the F1/F2 plane, in Hz.
const std::array<VowelRegion, 5> VowelRegions = {{
    {"い", {{{280, 3212}, {229, 3170}, {218, 3061}, {206, 2661}, {209, 2273}, {215, 2098}, {218, 1939},
             {260, 1800}, {298, 1836}, {332, 1966}, {357, 2218}, {371, 2576}, {363, 2915}, {340, 3141},
             {307, 3206}}}},
    {"う", {{{418, 1552}, {351, 1600}, {293, 1564}, {251, 1424}, {229, 1273}, {218, 1098}, {234, 960},
             {260, 909}, {298, 927}, {346, 960}, {371, 1012}, {385, 1080}, {410, 1170}, {429, 1333},
             {440, 1461}}}},
    {"お", {{{633, 1061}, {577, 1164}, {530, 1152}, {469, 1091}, {424, 1006}, {376, 897}, {346, 812},
             {360, 709}, {390, 655}, {455, 685}, {496, 739}, {538, 788}, {586, 867}, {620, 920},
             {640, 982}}}},
    {"あ", {{{1180, 1715}, {1155, 1818}, {1043, 1824}, {954, 1703}, {900, 1640}, {800, 1520}, {594, 1218},
             {558, 1091}, {563, 960}, {625, 920}, {714, 945}, {980, 1267}, {1057, 1388}, {1118, 1485},
             {1163, 1600}}}},
    {"え", {{{647, 2655}, {605, 2733}, {560, 2745}, {505, 2697}, {482, 2640}, {457, 2520}, {413, 2218},
             {404, 1867}, {413, 1709}, {485, 1673}, {555, 1770}, {600, 1933}, {647, 2273}, {660, 2455},
             {667, 2576}}}},
}};

namespace {

constexpr int AxisX = 40;       // the F2 axis; the F1 axis starts here
constexpr int AxisMargin = 20;  // below the F1 axis

struct VowelLabel {
    const char* text;
    int f1, f2;
};
constexpr VowelLabel VowelLabels[] = {
    {"い", 250, 2600}, {"え", 480, 2300}, {"あ", 800, 1500}, {"お", 450, 1050}, {"う", 250, 1400}};

void DrawF2Axis(Painter& painter, int c)
{
    painter.line(AxisX, 0, AxisX, c - AxisMargin);
    for (int i = 0; i <= 16; ++i) {
        const int y = c - (c - AxisMargin) * i / 17 - AxisMargin;
        painter.line(AxisX, y, AxisX + 10, y);
        if (i % 5 == 0)
            painter.text(i == 0 ? 20 : 5, y - 7, Sprintf("%d", i * 200));
    }
    painter.text(20, 2, "F2(Hz)");
}

void DrawF1Axis(Painter& painter, int c, int d)
{
    painter.line(AxisX, c - AxisMargin, AxisX + d / 2, c - AxisMargin);
    for (int j = 0; j <= 14; ++j) {
        const int x = AxisX + j * d / 28;
        painter.line(x, c - AxisMargin, x, c - 30);
        if (j % 2 == 0)
            painter.text(x - 12, c - 18, Sprintf("%d", j * 100));
    }
    painter.text(d / 2 + 10, c - 50, "F1(Hz)");
}

void DrawRegions(Painter& painter, int c, int width)
{
    for (const VowelRegion& region : VowelRegions) {
        const auto at = [&](std::size_t i) {
            return VowelChartPoint(region.points[i][0], region.points[i][1], c, width);
        };
        painter.moveTo(at(0).x(), at(0).y());
        for (std::size_t i = 1; i < region.points.size(); ++i)
            painter.lineTo(at(i).x(), at(i).y());
        painter.lineTo(at(0).x(), at(0).y());
    }
    for (const VowelLabel& label : VowelLabels) {
        const QPoint p = VowelChartPoint(label.f1, label.f2, c, width);
        painter.text(p.x(), p.y(), label.text);
    }
}

// A filled red disc of radius 5 about (cx, cy) with a black rim: the pixels of the 10 x 10 box
// whose centres lie within the radius, those next to an outside pixel being the rim.
void DrawVowelDot(Picture& chart, int cx, int cy)
{
    constexpr int Radius = 5;
    const auto inside = [&](int x, int y) {
        const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
        return dx * dx + dy * dy <= Radius * Radius;
    };
    for (int y = cy - Radius; y < cy + Radius; ++y)
        for (int x = cx - Radius; x < cx + Radius; ++x) {
            if (!inside(x, y))
                continue;
            const bool rim = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            chart.setPixel(x, y, rim ? Black : Red);
        }
}

void DrawTractProfile(Painter& painter, int c, int width, int d, std::span<const double> reflection,
                      std::size_t order)
{
    std::vector<double> areas(order + 1);
    dsp::TubeAreas(reflection, order, 10.0, areas);
    const int baseline = c - 40;
    const int x0 = d / 2 + 60;
    const int w = width - x0;
    const int sections = static_cast<int>(order) + 1;
    painter.line(x0, baseline, width, baseline);
    const auto height = [&](std::size_t i) { return PixelCoordinate(baseline - areas[i]); };
    painter.moveTo(x0, height(0));
    for (int i = 0; i < sections; ++i) {
        painter.lineTo(x0 + i * w / sections, height(static_cast<std::size_t>(i)));
        painter.lineTo(x0 + (i + 1) * w / sections, height(static_cast<std::size_t>(i)));
    }
    painter.text(x0, c - 30, "声門");
    painter.text(width - 20, c - 30, "唇");
}

} // namespace

QPoint VowelChartPoint(int f1, int f2, int height, int width)
{
    const int d = width - AxisX;
    return {d * f1 / 2800 + AxisX, height - (height - AxisMargin) * f2 / 3400 - AxisMargin};
}

void VowelChart(Picture& chart, double f1, double f2, int height, int width,
                std::span<const double> reflection, std::size_t order)
{
    const int c = height;
    const int d = width - AxisX;
    Painter painter(chart);
    DrawF2Axis(painter, c);
    DrawF1Axis(painter, c, d);
    DrawRegions(painter, c, width);
    DrawVowelDot(chart, PixelCoordinate(d * f1 / 2800 + AxisX),
                 PixelCoordinate(c - (c - AxisMargin) * f2 / 3400 - AxisMargin));
    if (reflection.size() > order)
        DrawTractProfile(painter, c, width, d, reflection, order);
}

} // namespace kelvora
