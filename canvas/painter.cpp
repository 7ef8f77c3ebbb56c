#include "canvas/painter.h"

#include "canvas/vector_state.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace kelvora {
namespace {

// Keeps coordinates small enough that the 64-bit products below cannot overflow.
constexpr std::int64_t CoordinateLimit = 1 << 28;

std::int64_t Clamp(std::int64_t v)
{
    return std::clamp(v, -CoordinateLimit, CoordinateLimit);
}

// Range [lo, hi] of step indices i (0 <= i <= steps) for which start + direction * i lies in
// [0, size - 1]; empty when lo > hi.
void VisibleSteps(std::int64_t start, int direction, std::int64_t steps, int size,
                  std::int64_t& lo, std::int64_t& hi)
{
    if (direction > 0) {
        lo = std::max<std::int64_t>(0, -start);
        hi = std::min<std::int64_t>(steps, size - 1 - start);
    } else {
        lo = std::max<std::int64_t>(0, start - (size - 1));
        hi = std::min<std::int64_t>(steps, start);
    }
}

} // namespace

int PixelCoordinate(double value) noexcept
{
    if (std::isnan(value))
        return 0;
    const double limit = static_cast<double>(CoordinateLimit);
    return static_cast<int>(std::clamp(value, -limit, limit));
}

void Painter::line(int x0In, int y0In, int x1In, int y1In)
{
    const std::int64_t x0 = Clamp(x0In), y0 = Clamp(y0In), x1 = Clamp(x1In), y1 = Clamp(y1In);
    const std::int64_t adx = std::llabs(x1 - x0), ady = std::llabs(y1 - y0);
    const int sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
    const bool xMajor = adx >= ady;
    const std::int64_t steps = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    // The minor coordinate at step i is the nearest pixel to the ideal line, rounding halves
    // away from the start: floor((2 i minor + steps) / (2 steps)).
    std::int64_t lo, hi;
    if (xMajor)
        VisibleSteps(x0, sx, steps, picture_.width(), lo, hi);
    else
        VisibleSteps(y0, sy, steps, picture_.height(), lo, hi);
    const QRgb colour = pen_.colour;
    const bool dotted = pen_.style == PenStyle::Dotted;
    for (std::int64_t i = lo; i <= hi; ++i) {
        if (dotted && i % 3 != 0)
            continue;
        const std::int64_t offset = steps == 0 ? 0 : (2 * i * minor + steps) / (2 * steps);
        const std::int64_t x = xMajor ? x0 + sx * i : x0 + sx * offset;
        const std::int64_t y = xMajor ? y0 + sy * offset : y0 + sy * i;
        if (!xMajor && (x < 0 || x >= picture_.width()))
            continue;
        if (xMajor && (y < 0 || y >= picture_.height()))
            continue;
        picture_.setPixel(static_cast<int>(x), static_cast<int>(y), colour);
    }
}

void Painter::lineTo(int x, int y)
{
    line(position_.x(), position_.y(), x, y);
    position_ = {x, y};
}

void Painter::polyline(std::span<const QPoint> points)
{
    for (std::size_t i = 1; i < points.size(); ++i)
        line(points[i - 1], points[i]);
}

void Painter::verticalSpan(int x, int y0, int y1)
{
    if (x < 0 || x >= picture_.width())
        return;
    const int top = std::max(0, std::min(y0, y1));
    const int bottom = std::min(picture_.height() - 1, std::max(y0, y1));
    for (int y = top; y <= bottom; ++y)
        picture_.setPixel(x, y, pen_.colour);
}

void Painter::rectangle(int left, int top, int right, int bottom)
{
    line(left, top, right, top);
    line(right, top, right, bottom);
    line(right, bottom, left, bottom);
    line(left, bottom, left, top);
}

void Painter::fillRect(const QRect& rect, QRgb colour)
{
    const QRect visible = rect.intersected(QRect(0, 0, picture_.width(), picture_.height()));
    for (int y = visible.top(); y <= visible.bottom(); ++y)
        for (int x = visible.left(); x <= visible.right(); ++x)
            picture_.setPixel(x, y, colour);
}

QFont ProgramFont()
{
    QFont font(QStringLiteral("IPAexGothic"));
    font.setPixelSize(TextPixelSize);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::NoAntialias));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void Painter::text(int x, int y, const std::string& utf8)
{
    if (picture_.isNull() || utf8.empty())
        return;
    QPainter painter(&picture_.image());
    const QFont font = ProgramFont();
    painter.setFont(font);
    painter.setPen(QColor(Black));
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(QColor(White));
    const QFontMetrics metrics(font);
    const QStringList lines = QString::fromUtf8(utf8).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QPoint(x, y + metrics.ascent() + i * metrics.height()), lines[i]);
    painter.end();
    ClearUpperVectorState();
}

int Painter::textWidth(const std::string& utf8)
{
    const QFontMetrics metrics(ProgramFont());
    int widest = 0;
    for (const QString& line : QString::fromUtf8(utf8).split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

void Painter::stretch(const Picture& source, const QRect& from, const QRect& to)
{
    if (picture_.isNull() || source.isNull())
        return;
    QPainter painter(&picture_.image());
    painter.drawImage(to, source.image(), from);
    painter.end();
    ClearUpperVectorState();
}

} // namespace kelvora
