#pragma once
// Shows any tool's dialog model as a Qt dialog: widgets are made from the model's template,
// user events are forwarded by control id, and after every event the model's control state,
// timers and pictures are copied back to the screen.

#include "tools/dialog/dialog_model.h"

#include <QDialog>

#include <map>

class QMouseEvent;
class QTimer;
class QWidget;

namespace kelvora {

class DialogHost : public QDialog {
public:
    DialogHost(DialogModel& model, QWidget* parent);
    ~DialogHost() override;

    // Copies the model's state to the widgets and ends the dialog if the model ended.
    void sync();
    DialogModel& model() { return model_; }

protected:
    void reject() override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void build();
    void deliver(const std::function<void()>& event);
    void syncTimers();
    void onScrollAction(int id, int action);

    DialogModel& model_;
    std::map<int, QWidget*> widgets_;
    std::map<int, QTimer*> timers_;
    std::vector<QWidget*> pictureAreas_;
    bool syncing_ = false;
};

} // namespace kelvora
