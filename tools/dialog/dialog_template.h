#pragma once
// What a tool's dialog looks like: its caption, size, controls known by numeric id, and the
// places where the tool's pictures are shown. The Qt host builds widgets from this alone.

#include <QRect>
#include <QSize>

#include <string>
#include <vector>

namespace kelvora {

enum class ControlKind {
    PushButton,
    DefaultButton,
    RadioButton, // auto radio: checking one unchecks the others of its group
    CheckBox,    // auto check box
    Label,
    SunkenLabel, // a framed label that reports clicks (command with its id)
    GroupBox,
    HScrollBar,
    VScrollBar,  // its minimum at the top
    ProgressBar,
    SpinBox,     // an up-down control with its buddy edit, shown as one spin box
};

struct ControlSpec {
    int id = 0;                 // -1 for fixed texts that nobody addresses
    ControlKind kind = ControlKind::Label;
    std::string caption;        // UTF-8, "\n" breaks lines
    QRect place;                // dialog pixels
    int group = 0;              // radio buttons of one group share a number
    bool centred = false;
    int buddy = 0;              // SpinBox: id of the edit that shows the number
};

struct PicturePlace {
    int picture = 0; // index the model's picture(index) answers
    QRect place;     // dialog pixels; the picture is stretched to it
};

struct DialogTemplate {
    std::string caption;
    QSize size;
    std::vector<ControlSpec> controls;
    std::vector<PicturePlace> pictures;
};

// Dialog units of the templates' 8-point font to pixels (4 units per average character width
// of 6 px, 8 units per 13 px line).
constexpr int DuX(int units) { return units * 3 / 2; }
constexpr int DuY(int units) { return units * 13 / 8; }
inline QRect Du(int x, int y, int width, int height)
{
    return QRect(DuX(x), DuY(y), DuX(width), DuY(height));
}

} // namespace kelvora
