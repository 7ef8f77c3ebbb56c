// The tools of the program, one line each.

#include "tools/shell/command_table.h"
#include "tools/shell/small_dialogs.h"
#include "tools/shell/tool_registry.h"
namespace kelvora {
ToolRegistry StandardTools()
{
    ToolRegistry tools;
    tools.add(CmdHomePage, [](Session&, Services& services) {
        return std::make_unique<HomePageDialog>(services.urls, services.userGuideUrl);
    });
    tools.add(CmdFxx, [](Session& session, Services&) {
        return std::make_unique<FxxDialog>(session.toolState<FxxCounter>());
    });
    return tools;
}
}
