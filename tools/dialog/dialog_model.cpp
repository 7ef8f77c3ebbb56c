#include "tools/dialog/dialog_model.h"

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
