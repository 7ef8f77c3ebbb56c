#pragma once
// The frame's logic without its widgets: the data records, the command dispatch and the
// hand-over of the working signal to and from the tools.

#include "tools/services.h"
#include "tools/shell/command_table.h"
#include "tools/shell/data_record.h"
#include "tools/shell/session.h"
#include "tools/shell/tool_registry.h"
#include "tools/shell/window_host.h"
#include "tools/waveform/draw_waveform.h"

#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kelvora {

inline constexpr const char* WrongSelectionText =
    "音データが入っている他のデータ(子ウィンドウ)を選択(クリック)して下さい。";
inline constexpr const char* WrongSelectionCaption = "間違って選択してます。";

class Shell {
public:
    Shell(Session& session, Services& services, WindowHost& windows, ToolRegistry tools);

    // Runs one menu command. Unknown ids and commands without a tool do nothing.
    void execute(int command);
    // False for commands whose tool is not part of the program (their menu items are disabled).
    bool isEnabled(int command) const;
    // Opens files dropped on the frame or named on the command line, each as its load command
    // would without asking for a file: ".txt" as text samples, ".bmp" as a picture, anything
    // else as a sound. A file that cannot be read gets its loader's message.
    void openFiles(const std::vector<std::string>& paths);

    DataRecord* CreateDataWindow(RecordKind kind, std::vector<double> samples, std::string caption,
                                 Picture picture, int width, int height);
    void DestroyDataWindow(DataRecord& record);
    // Copies the record's sound into slot X and makes its rate the session's.
    void LoadWorkSignal(const DataRecord& record);
    const std::string& MakeDateStamp();

    const std::vector<std::unique_ptr<DataRecord>>& records() const { return records_; }
    Session& session() { return session_; }

    // The local time the date stamps are made from; tests replace it.
    std::function<std::tm()> localTime;

private:
    DataRecord* activeSoundOrComplain();
    void runTool(const CommandSpec& command);
    void finishSoundResult();
    void loadSound(int command, const std::optional<std::string>& presetPath);
    bool readSoundIntoSlots(const std::string& path);
    bool readTextIntoSlotX(const std::string& path);
    void makeLoadedWindows(WaveformScale scale);
    void loadPicture(const std::optional<std::string>& presetPath);
    void saveSound(int command);
    void savePicture();
    void drawSlotX(WaveformScale scale);
    void refuse(const std::string& path, const std::string& problem);

    Session& session_;
    Services& services_;
    WindowHost& windows_;
    ToolRegistry tools_;
    std::vector<std::unique_ptr<DataRecord>> records_;
};

} // namespace kelvora
