#pragma once
// The frame's menu bar, in as many rows as its items need at the frame's width. Qt's own bar
// keeps to one row and hides what does not fit behind a "»" button, where half of the extended
// menu (the workbench tools) could not be found.

#include <QWidget>

#include <vector>

class QMenu;
class QMenuBar;
class QVBoxLayout;

namespace kelvora {

class MenuRow;

class WrappingMenuBar : public QWidget {
public:
    explicit WrappingMenuBar(QWidget* parent);

    // The top-level items are this widget's actions(), in order; these add them.
    QMenu* addMenu(const QString& title);
    QAction* addSeparator();

    // The rows as they are laid out now, top to bottom.
    const std::vector<QMenuBar*>& rows() const { return rows_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void actionEvent(QActionEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The items of each row when the bar is `width` pixels wide: as many as fit, in order.
    std::vector<QList<QAction*>> split(int width) const;
    int rowHeight() const;
    void reflow();

    QVBoxLayout* layout_;
    std::vector<QMenuBar*> rows_;
    // Measures items as a row draws them.
    MenuRow* ruler_;
};

} // namespace kelvora
