#include "app/wrapping_menu_bar.h"

#include <QActionEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QVBoxLayout>

namespace kelvora {

// One row of the bar: a plain menu bar that can also say how wide it draws an item.
class MenuRow : public QMenuBar {
public:
    explicit MenuRow(QWidget* parent) : QMenuBar(parent) { setNativeMenuBar(false); }

    // The width the bar gives the item (text, padding and the spacing after it), as its own
    // layout measures it: the text without mnemonic marks, grown by the style.
    int itemWidth(const QAction* action) const
    {
        if (action->isSeparator() || !action->isVisible())
            return 0;
        const QString text = action->text();
        const QFontMetrics metrics = fontMetrics();
        int textWidth = metrics.horizontalAdvance(text);
        textWidth -= static_cast<int>(text.count(u'&')) * metrics.horizontalAdvance(u'&');
        textWidth += static_cast<int>(text.count(QLatin1String("&&"))) * metrics.horizontalAdvance(u'&');
        QStyleOptionMenuItem option;
        initStyleOption(&option, action);
        const QSize item = style()->sizeFromContents(QStyle::CT_MenuBarItem, &option,
                                                     QSize(textWidth, metrics.height()), this);
        return item.width() + spacing();
    }

    // What a row spends besides its items: frame, margins and the spacing before the first.
    int overhead() const
    {
        return 2 * style()->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, this) +
               2 * style()->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, this) + spacing();
    }

private:
    int spacing() const { return style()->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, this); }
};

namespace {

// Text is measured, not laid out; a few pixels spare keep rounding from pushing an item behind
// the row's overflow button.
constexpr int SparePixels = 4;

} // namespace

WrappingMenuBar::WrappingMenuBar(QWidget* parent)
    : QWidget(parent), layout_(new QVBoxLayout(this)), ruler_(new MenuRow(this))
{
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    ruler_->hide();
    ruler_->addAction(QStringLiteral("Mg")); // an empty bar has no height to measure

    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QMenu* WrappingMenuBar::addMenu(const QString& title)
{
    auto* menu = new QMenu(title, this);
    addAction(menu->menuAction());
    return menu;
}

QAction* WrappingMenuBar::addSeparator()
{
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    return separator;
}

std::vector<QList<QAction*>> WrappingMenuBar::split(int width) const
{
    const int room = width - ruler_->overhead() - SparePixels;
    std::vector<QList<QAction*>> rows(1);
    int used = 0;
    for (QAction* action : actions()) {
        const int item = ruler_->itemWidth(action);
        if (!rows.back().isEmpty() && item > 0 && used + item > room) {
            rows.emplace_back();
            used = 0;
        }
        rows.back().append(action);
        used += item;
    }
    return rows;
}

int WrappingMenuBar::rowHeight() const
{
    return ruler_->sizeHint().height();
}

int WrappingMenuBar::heightForWidth(int width) const
{
    return static_cast<int>(split(width).size()) * rowHeight();
}

QSize WrappingMenuBar::sizeHint() const
{
    return {width(), heightForWidth(width())};
}

QSize WrappingMenuBar::minimumSizeHint() const
{
    return {0, rowHeight()};
}

void WrappingMenuBar::reflow()
{
    const std::vector<QList<QAction*>> wanted = split(width());
    while (rows_.size() > wanted.size()) {
        delete rows_.back();
        rows_.pop_back();
    }
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (i == rows_.size()) {
            rows_.push_back(new MenuRow(this));
            layout_->addWidget(rows_.back());
        }
        QMenuBar* row = rows_[i];
        if (row->actions() == wanted[i])
            continue;
        for (QAction* action : row->actions())
            row->removeAction(action);
        row->addActions(wanted[i]);
    }
    updateGeometry();
}

void WrappingMenuBar::actionEvent(QActionEvent* event)
{
    QWidget::actionEvent(event);
    reflow();
}

void WrappingMenuBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    reflow();
}

} // namespace kelvora
