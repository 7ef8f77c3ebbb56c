#pragma once
// The inside of a data window: the record's picture stretched over the whole client area.
// It never draws from the samples, so resizing costs nothing per sample.

#include <QSize>
#include <QWidget>

namespace kelvora {

struct DataRecord;

class DataWindow : public QWidget {
public:
    DataWindow(const DataRecord& record, QWidget* parent = nullptr);
    const DataRecord& record() const { return record_; }
    // New windows open at three quarters of their picture, so several fit in the frame, but
    // never smaller than MinimumOpeningSize, so a tiny picture still gets a readable window.
    QSize sizeHint() const override;
    static constexpr QSize MinimumOpeningSize{320, 240};

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const DataRecord& record_;
};

} // namespace kelvora
