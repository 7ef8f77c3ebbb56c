#include "tools/dialog/dialog_model.h"

#include <algorithm>
#include <stdexcept>

namespace kelvora {

DialogModel::DialogModel(DialogTemplate dialogTemplate)
    : template_(std::move(dialogTemplate)), caption_(template_.caption)
{
    for (const ControlSpec& spec : template_.controls) {
        if (spec.id < 0)
            continue;
        ControlState& state = controls_[spec.id];
        state.text = spec.caption;
        if (spec.kind == ControlKind::SpinBox && spec.buddy > 0)
            controls_[spec.buddy];
    }
}

const ControlSpec* DialogModel::spec(int id) const
{
    for (const ControlSpec& spec : template_.controls)
        if (spec.id == id)
            return &spec;
    return nullptr;
}

ControlState& DialogModel::control(int id)
{
    auto it = controls_.find(id);
    if (it == controls_.end())
        throw std::out_of_range("dialog \"" + template_.caption + "\" has no control " +
                                std::to_string(id));
    return it->second;
}

const ControlState& DialogModel::control(int id) const
{
    return const_cast<DialogModel*>(this)->control(id);
}

void DialogModel::checkRadio(int id)
{
    const ControlSpec* radio = spec(id);
    if (radio == nullptr || radio->kind != ControlKind::RadioButton)
        throw std::out_of_range("not a radio button: " + std::to_string(id));
    for (const ControlSpec& other : template_.controls)
        if (other.kind == ControlKind::RadioButton && other.group == radio->group && other.id >= 0)
            controls_[other.id].checked = other.id == id;
}

void DialogModel::showSpinPosition(int id, int position)
{
    ControlState& spin = control(id);
    spin.position = std::clamp(position, spin.minimum, std::max(spin.minimum, spin.maximum));
    if (const ControlSpec* updown = spec(id); updown != nullptr && updown->buddy > 0)
        control(updown->buddy).text = std::to_string(spin.position);
}

void DialogModel::setSpinPosition(int id, int position)
{
    showSpinPosition(id, position);
    if (const ControlSpec* updown = spec(id); updown != nullptr && updown->buddy > 0)
        command(updown->buddy);
}

void DialogModel::stepSpin(int id, int delta)
{
    const ControlState& spin = control(id);
    int position = spin.position + delta;
    if (position > spin.maximum)
        position = spin.minimum;
    else if (position < spin.minimum)
        position = spin.maximum;
    setSpinPosition(id, position);
}

void DialogModel::press(int id)
{
    if (const ControlSpec* pressed = spec(id)) {
        if (!control(id).enabled)
            return;
        if (pressed->kind == ControlKind::RadioButton)
            checkRadio(id);
        else if (pressed->kind == ControlKind::CheckBox)
            control(id).checked = !control(id).checked;
    }
    command(id);
}

} // namespace kelvora
