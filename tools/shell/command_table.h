#pragma once
// Every command of the frame with its caption and what the frame does around it, and the two
// menus that reach them.

#include <optional>
#include <string>
#include <vector>

namespace kelvora {

enum CommandId : int {
    CmdLoadWav = 40001,
    CmdLoadWavNormalised = 40039,
    CmdLoadText = 40028,
    CmdLoadPicture = 40050,
    CmdSaveWav = 40006,
    CmdSaveText = 40016,
    CmdSavePicture = 40040,
    CmdEdit = 40044,
    CmdRecord = 40010,
    CmdRecordThinned = 40047,
    CmdFrequencyAnalysis = 40024,
    CmdSpectrogram = 40027,
    CmdVowel = 40025,
    CmdHearing = 40029,
    CmdNoiseRemoval = 40046,
    CmdFluctuation = 40042,
    CmdCascade = 40035,
    CmdTileHorizontal = 40036,
    CmdTileVertical = 40037,
    CmdHomePage = 40074,
    CmdNoiseCreation = 40043,
    CmdOptimalOrder = 40030,
    CmdLpcComponents = 40060,
    CmdAdaptiveFilter = 40011,
    CmdLattice = 40012,
    CmdLpcWorkbench = 40022,
    CmdOpenSlot = 40090, // opens W, Y, E or YE as a sound window, so what the workbenches leave can be kept
    CmdSpectralSubtraction = 40045,
    CmdSignalGenerator = 40061,
    CmdJoin = 40062,
    CmdConvolution = 40063,
    CmdStockLoad = 40064,
    CmdStockSearch = 40065,
    CmdNeural = 40009,
    CmdFx = 40069,
    CmdFxx = 40070,
    CmdCloseWindow = 40034,
};

enum class CommandAction {
    LoadSound,   // read a WAV or text file into new windows
    LoadPicture,
    SaveSound,
    SavePicture,
    Tool,        // run a dialog, with the hand-over of the working signal around it
    Arrange,
    CloseWindow,
};

enum class ToolResult { None, Sound, Picture };

struct CommandSpec {
    int id = 0;
    std::string caption;           // as the menu shows it ("" for commands without an item)
    CommandAction action = CommandAction::Tool;
    bool needsSound = false;       // copies the active sound into slot X first
    ToolResult result = ToolResult::None;
    int resultWidth = 750;         // size of a picture result's window
    int resultHeight = 530;
};

// The command with this id, or nothing.
const CommandSpec* FindCommand(int id);
const std::vector<CommandSpec>& CommandTable();

enum class MenuKind { Standard, Extended };

struct MenuEntry {
    enum class Type { Item, Popup, Separator } type = Type::Item;
    std::string caption; // popups and items; items take the command's caption unless overridden
    int command = 0;
    std::vector<MenuEntry> children;
};

// The menu bar, entry by entry in the order the user sees it.
std::vector<MenuEntry> MenuBar(MenuKind kind);

} // namespace kelvora
