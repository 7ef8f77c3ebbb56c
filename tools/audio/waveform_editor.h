#pragma once
// "信号波形の編集": frame an interval of the working signal in red, listen to it, and keep only
// it or delete it, as often as wanted; "編集結果作成" hands the edited sound to the frame.

#include "tools/audio/strip_dialog.h"

namespace kelvora {

inline constexpr const char* EmptyEditText =
    "編集の結果、音のデータが残っていません（0ポイント）。\n新しいウィンドウは作りません。";
inline constexpr const char* EditorCaption = "信号波形の編集";

class WaveformEditor : public StripDialog {
public:
    enum : int { KeepButton = 1040, DeleteButton = 1041 };

    WaveformEditor(Session& session, Services& services);
    void init() override;
    void command(int id) override;

protected:
    std::string intervalText() const override;
};

} // namespace kelvora
