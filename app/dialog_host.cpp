#include "app/dialog_host.h"

#include "app/readable_text.h"
#include "canvas/painter.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>

namespace kelvora {
namespace {

QString Qt8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A label that reports clicks, for the address fields that open a page.
class ClickableLabel : public QLabel {
public:
    explicit ClickableLabel(std::function<void()> onClick, QWidget* parent)
        : QLabel(parent), onClick_(std::move(onClick))
    {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            onClick_();
    }

private:
    std::function<void()> onClick_;
};

// Shows one of the model's pictures stretched over its place, as the tools paint them.
class PictureArea : public QWidget {
public:
    PictureArea(const DialogModel& model, int index, QWidget* parent)
        : QWidget(parent), model_(model), index_(index)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        // Pictures are drawn larger than their places; smoothing keeps their labels legible.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (const Picture* picture = model_.picture(index_); picture && !picture->isNull())
            painter.drawImage(rect(), picture->image());
        else
            painter.fillRect(rect(), Qt::white);
    }

private:
    const DialogModel& model_;
    int index_;
};

// The text the model gave a label, before it was broken into lines for display.
constexpr const char* ModelTextProperty = "kelvoraModelText";

ScrollRequest RequestFor(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return ScrollRequest::LineLeft;
    case QAbstractSlider::SliderSingleStepAdd: return ScrollRequest::LineRight;
    case QAbstractSlider::SliderPageStepSub: return ScrollRequest::PageLeft;
    case QAbstractSlider::SliderPageStepAdd: return ScrollRequest::PageRight;
    case QAbstractSlider::SliderToMinimum: return ScrollRequest::Left;
    case QAbstractSlider::SliderToMaximum: return ScrollRequest::Right;
    default: return ScrollRequest::ThumbTrack;
    }
}

} // namespace

DialogHost::DialogHost(DialogModel& model, QWidget* parent) : QDialog(parent), model_(model)
{
    setWindowTitle(Qt8(model_.dialogTemplate().caption));
    setFixedSize(model_.dialogTemplate().size);
    build();
    model_.setRepaintHandler([this] {
        sync();
        repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
}

DialogHost::~DialogHost()
{
    model_.setRepaintHandler({});
}

void DialogHost::build()
{
    for (const PicturePlace& place : model_.dialogTemplate().pictures) {
        auto* area = new PictureArea(model_, place.picture, this);
        area->setGeometry(place.place);
        pictureAreas_.push_back(area);
    }
    for (const ControlSpec& spec : model_.dialogTemplate().controls) {
        QWidget* widget = nullptr;
        const int id = spec.id;
        switch (spec.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultButton: {
            auto* button = new QPushButton(Qt8(spec.caption), this);
            button->setDefault(spec.kind == ControlKind::DefaultButton);
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, id] { deliver([this, id] { model_.press(id); }); });
            widget = button;
            break;
        }
        case ControlKind::RadioButton: {
            auto* radio = new QRadioButton(Qt8(spec.caption), this);
            radio->setAutoExclusive(false);
            connect(radio, &QRadioButton::clicked, this, [this, id] { deliver([this, id] { model_.press(id); }); });
            widget = radio;
            break;
        }
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(Qt8(spec.caption), this);
            connect(box, &QCheckBox::clicked, this, [this, id] { deliver([this, id] { model_.press(id); }); });
            widget = box;
            break;
        }
        case ControlKind::Label: {
            // Lines are broken by BreakAtSensiblePoints in sync(), not by Qt inside words.
            auto* label = new QLabel(this);
            label->setAlignment(spec.centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
            widget = label;
            break;
        }
        case ControlKind::SunkenLabel: {
            auto* label = new ClickableLabel([this, id] { deliver([this, id] { model_.press(id); }); }, this);
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setAlignment(Qt::AlignCenter);
            widget = label;
            break;
        }
        case ControlKind::GroupBox: {
            auto* group = new QGroupBox(Qt8(spec.caption), this);
            group->lower();
            widget = group;
            break;
        }
        case ControlKind::HScrollBar:
        case ControlKind::VScrollBar: {
            auto* bar = new QScrollBar(spec.kind == ControlKind::HScrollBar ? Qt::Horizontal : Qt::Vertical, this);
            bar->setSingleStep(1);
            bar->setPageStep(10);
            connect(bar, &QScrollBar::actionTriggered, this, [this, id](int action) { onScrollAction(id, action); });
            // Every click ends with an end-scroll request, which the tools also answer.
            connect(bar, &QScrollBar::sliderReleased, this, [this, id] {
                deliver([this, id] { model_.scroll(id, ScrollRequest::EndScroll, 0); });
            });
            widget = bar;
            break;
        }
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(this);
            bar->setTextVisible(false);
            widget = bar;
            break;
        }
        case ControlKind::SpinBox: {
            auto* spin = new QSpinBox(this);
            spin->setWrapping(true);
            connect(spin, &QSpinBox::valueChanged, this, [this, id](int value) {
                if (!syncing_)
                    deliver([this, id, value] { model_.setSpinPosition(id, value); });
            });
            widget = spin;
            break;
        }
        }
        widget->setGeometry(spec.place);
        if (id >= 0) {
            widgets_[id] = widget;
        } else if (spec.kind == ControlKind::Label) {
            // sync() never visits a label without an id: it gets its fixed caption here.
            auto* label = static_cast<QLabel*>(widget);
            label->setText(BreakAtSensiblePoints(Qt8(spec.caption), label->fontMetrics(), label->contentsRect().width()));
        }
    }
    for (auto* area : pictureAreas_)
        area->lower();
    sync();
}

void DialogHost::onScrollAction(int id, int action)
{
    if (syncing_)
        return;
    auto* bar = static_cast<QScrollBar*>(widgets_.at(id));
    const int thumb = bar->sliderPosition();
    const ScrollRequest request = RequestFor(action);
    deliver([this, id, request, thumb] { model_.scroll(id, request, thumb); });
    // The model owns the position; Qt applies it when the action finishes.
    syncing_ = true;
    bar->setSliderPosition(model_.control(id).position);
    syncing_ = false;
    if (request != ScrollRequest::ThumbTrack)
        QTimer::singleShot(0, this, [this, id] { deliver([this, id] { model_.scroll(id, ScrollRequest::EndScroll, 0); }); });
}

void DialogHost::deliver(const std::function<void()>& event)
{
    if (model_.ended())
        return;
    event();
    sync();
}

void DialogHost::sync()
{
    syncing_ = true;
    for (const ControlSpec& spec : model_.dialogTemplate().controls) {
        if (spec.id < 0)
            continue;
        const ControlState& state = model_.control(spec.id);
        QWidget* widget = widgets_.at(spec.id);
        widget->setEnabled(state.enabled);
        const QString text = Qt8(state.text);
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->text() != text)
                button->setText(text);
            if (spec.kind == ControlKind::RadioButton || spec.kind == ControlKind::CheckBox)
                button->setChecked(state.checked);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->property(ModelTextProperty).toString() != text) {
                label->setProperty(ModelTextProperty, text);
                label->setText(spec.kind == ControlKind::Label
                                   ? BreakAtSensiblePoints(text, label->fontMetrics(), label->contentsRect().width())
                                   : text);
            }
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            group->setTitle(text);
        } else if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
            bar->setRange(state.minimum, std::max(state.minimum, state.maximum));
            bar->setValue(state.position);
        } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
            spin->setRange(state.minimum, std::max(state.minimum, state.maximum));
            spin->setValue(state.position);
        } else if (auto* progress = qobject_cast<QProgressBar*>(widget)) {
            progress->setRange(state.minimum, state.maximum);
            progress->setValue(state.position);
        }
    }
    syncing_ = false;
    if (windowTitle() != Qt8(model_.caption()))
        setWindowTitle(Qt8(model_.caption()));
    syncTimers();
    for (auto* area : pictureAreas_)
        area->update();
    if (model_.ended())
        done(model_.result());
}

void DialogHost::syncTimers()
{
    const auto& wanted = model_.timers();
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (wanted.count(it->first) == 0) {
            delete it->second;
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& [id, interval] : wanted) {
        QTimer*& timer = timers_[id];
        if (timer == nullptr) {
            timer = new QTimer(this);
            const int timerId = id;
            connect(timer, &QTimer::timeout, this, [this, timerId] { deliver([this, timerId] { model_.timer(timerId); }); });
        }
        if (timer->interval() != interval || !timer->isActive())
            timer->start(interval);
    }
}

void DialogHost::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        deliver([this] { model_.mouse(MouseButton::Left); });
    else if (event->button() == Qt::RightButton)
        deliver([this] { model_.mouse(MouseButton::Right); });
    else
        QDialog::mousePressEvent(event);
}

void DialogHost::reject()
{
    deliver([this] { model_.press(IdCancel); });
}

} // namespace kelvora
