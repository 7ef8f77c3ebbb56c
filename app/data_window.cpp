#include "app/data_window.h"

#include "tools/shell/data_record.h"

#include <QPainter>

namespace kelvora {

DataWindow::DataWindow(const DataRecord& record, QWidget* parent) : QWidget(parent), record_(record)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QString::fromStdString(record.caption));
}

QSize DataWindow::sizeHint() const
{
    return (QSize(record_.pictureWidth, record_.pictureHeight) * 0.75).expandedTo(MinimumOpeningSize);
}

void DataWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Smoothing keeps scaled-down labels legible; an enlarged picture keeps its sharp pixels.
    const bool shrunk = width() < record_.pictureWidth || height() < record_.pictureHeight;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, shrunk);
    // The aspect ratio is not kept: the picture always fills the window.
    painter.drawImage(rect(), record_.picture.image(),
                      QRect(0, 0, record_.pictureWidth, record_.pictureHeight));
}

} // namespace kelvora
