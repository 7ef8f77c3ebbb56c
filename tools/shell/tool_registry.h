#pragma once
// Which dialog each tool command opens. A tool is added by one factory line in tool_list.cpp;
// commands without a factory are shown disabled.

#include "tools/dialog/dialog_model.h"
#include "tools/services.h"
#include "tools/shell/session.h"

#include <functional>
#include <map>
#include <memory>

namespace kelvora {

using ToolFactory = std::function<std::unique_ptr<DialogModel>(Session&, Services&)>;

class ToolRegistry {
public:
    void add(int command, ToolFactory factory) { factories_[command] = std::move(factory); }
    const ToolFactory* find(int command) const
    {
        auto it = factories_.find(command);
        return it == factories_.end() ? nullptr : &it->second;
    }

private:
    std::map<int, ToolFactory> factories_;
};

// Every tool the program has.
ToolRegistry StandardTools();

} // namespace kelvora
