#pragma once
// Pen-based drawing into a Picture, with the few primitives the tools use. Lines are
// rasterised here rather than by QPainter so that every pixel is defined by this file alone:
// tests can assert pixels, and fast paths (per-column spans of long waveforms) can reproduce
// exactly what drawing every segment gives.

#include "canvas/picture.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

#include <span>
#include <string>

namespace kelvora {

enum class PenStyle { Solid, Dotted };

struct Pen {
    QRgb colour = Black;
    PenStyle style = PenStyle::Solid;
    friend bool operator==(const Pen&, const Pen&) = default;
};

inline constexpr Pen BlackPen{};
inline constexpr Pen DottedGreenPen{Green, PenStyle::Dotted};

// Pixel size of the program's one text font (IPAexGothic, no font merging, no antialiasing).
inline constexpr int TextPixelSize = 12;

class Painter {
public:
    explicit Painter(Picture& picture) : picture_(picture) {}

    void setPen(Pen pen) { pen_ = pen; }
    Pen pen() const { return pen_; }

    // A straight line with the current pen, both end points included. Coordinates may lie far
    // outside the picture: only the visible part is walked. A dotted pen sets one pixel in three,
    // counted from (x0, y0).
    void line(int x0, int y0, int x1, int y1);
    void line(QPoint from, QPoint to) { line(from.x(), from.y(), to.x(), to.y()); }
    // Current-position drawing, as the tools' step-by-step curves are written.
    void moveTo(int x, int y) { position_ = {x, y}; }
    void lineTo(int x, int y);
    void polyline(std::span<const QPoint> points);
    // Every pixel of column x from y0 to y1 (either order) with the pen's colour.
    void verticalSpan(int x, int y0, int y1);
    // The outline of the rectangle with corners (left, top) and (right, bottom), pen only.
    void rectangle(int left, int top, int right, int bottom);
    void fillRect(const QRect& rect, QRgb colour);

    // Text whose top-left corner is at (x, y), black on an opaque white box; line breaks
    // ("\n") start a new line below. Text is UTF-8.
    void text(int x, int y, const std::string& utf8);

    // Width in pixels of the widest line of a text as text() draws it.
    static int textWidth(const std::string& utf8);

    // Scales the source rectangle of another picture onto the target rectangle of this one.
    void stretch(const Picture& source, const QRect& from, const QRect& to);

private:
    Picture& picture_;
    Pen pen_;
    QPoint position_;
};

// The font used for all texts, on screen and in pictures.
QFont ProgramFont();

// Clamps a double coordinate to the int range the rasteriser accepts, truncating toward zero.
int PixelCoordinate(double value) noexcept;

} // namespace kelvora
