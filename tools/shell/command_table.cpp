#include "tools/shell/command_table.h"

#include <algorithm>

namespace kelvora {
namespace {

using A = CommandAction;
using R = ToolResult;

std::vector<CommandSpec> BuildTable()
{
    return {
        {CmdLoadWav, "読み込み(音響=wavファイル）通常はこちら：絶対値で表示）", A::LoadSound},
        {CmdLoadWavNormalised, "読み込み(音響=wavファイル）表示のみ正規化", A::LoadSound},
        {CmdLoadText, "読み込み(テキスト=txtファイル）", A::LoadSound},
        {CmdLoadPicture, "読み込み(画像=bmpファイル)", A::LoadPicture},
        {CmdSaveWav, "保存（WAVファイルとして）", A::SaveSound, true},
        {CmdSaveText, "保存（TXTファイルとして）", A::SaveSound, true},
        {CmdSavePicture, "保存（bmp画像として）", A::SavePicture},
        {CmdEdit, "再生・編集", A::Tool, true, R::Sound},
        {CmdRecord, "通常", A::Tool, false, R::Sound},
        {CmdRecordThinned, "間引いて表示（PC演算速度低用）", A::Tool, false, R::Sound},
        {CmdFrequencyAnalysis, "周波数分析（フーリエ変換）", A::Tool, true, R::Picture},
        {CmdSpectrogram, "スペクトログラム", A::Tool, true, R::Picture},
        {CmdVowel, "母音・声道断面積推定", A::Tool, true, R::Picture, 572, 300},
        {CmdHearing, "聴覚", A::Tool},
        {CmdNoiseRemoval, "雑音除去", A::Tool, true, R::Sound},
        {CmdFluctuation, "1/f ゆらぎ", A::Tool, true, R::Picture},
        {CmdCascade, "カスケード", A::Arrange},
        {CmdTileHorizontal, "行方向整列", A::Arrange},
        {CmdTileVertical, "列方向整列", A::Arrange},
        {CmdHomePage, "　書籍は・・", A::Tool},
        {CmdNoiseCreation, "Noise作成(工事中", A::Tool, true, R::Sound},
        {CmdOptimalOrder, "最適次数", A::Tool, true, R::Picture, 572, 300},
        {CmdLpcComponents, "LPCーPAC分析", A::Tool, true, R::Picture},
        {CmdAdaptiveFilter, "ADF", A::Tool, true, R::Sound},
        {CmdLattice, "LATTICE", A::Tool, true, R::Sound},
        {CmdLpcWorkbench, "LPC", A::Tool, true, R::Sound},
        {CmdOpenSlot, "スロットW・Y・E・YEを開く", A::Tool, false, R::Sound},
        {CmdSpectralSubtraction, "SS", A::Tool, true, R::Sound},
        {CmdSignalGenerator, "信号作成", A::Tool, false, R::Sound},
        {CmdJoin, "波形結合", A::Tool, true, R::Sound},
        {CmdConvolution, "畳み込みとエコー測定", A::Tool, true, R::Sound},
        {CmdStockLoad, "株データ読み込み", A::Tool},
        {CmdStockSearch, "株検索", A::Tool},
        {CmdNeural, "ニューラル", A::Tool},
        {CmdFx, "FX", A::Tool},
        {CmdFxx, "FXX", A::Tool},
        {CmdCloseWindow, "", A::CloseWindow},
    };
}

MenuEntry Item(int command, std::string caption = {})
{
    const CommandSpec* spec = FindCommand(command);
    return {MenuEntry::Type::Item, caption.empty() && spec ? spec->caption : caption, command, {}};
}

MenuEntry Popup(std::string caption, std::vector<MenuEntry> children)
{
    return {MenuEntry::Type::Popup, std::move(caption), 0, std::move(children)};
}

MenuEntry Separator()
{
    return {MenuEntry::Type::Separator, {}, 0, {}};
}

} // namespace

const std::vector<CommandSpec>& CommandTable()
{
    static const std::vector<CommandSpec> table = BuildTable();
    return table;
}

const CommandSpec* FindCommand(int id)
{
    const auto& table = CommandTable();
    auto it = std::find_if(table.begin(), table.end(), [id](const CommandSpec& c) { return c.id == id; });
    return it == table.end() ? nullptr : &*it;
}

std::vector<MenuEntry> MenuBar(MenuKind kind)
{
    const bool extended = kind == MenuKind::Extended;
    std::vector<MenuEntry> bar = {
        Popup("ファイル", {Item(CmdLoadWav), Item(CmdLoadWavNormalised), Item(CmdLoadText),
                           Item(CmdLoadPicture), Item(CmdSaveWav), Item(CmdSaveText),
                           Item(CmdSavePicture)}),
        Item(CmdEdit),
        Popup("録音", {Item(CmdRecord),
                       Item(CmdRecordThinned, extended ? "間引いて表示(PC演算速度低用）" : "")}),
        Item(CmdFrequencyAnalysis),
        Item(CmdSpectrogram),
        Item(CmdVowel),
        Item(CmdHearing),
        Popup("その他", {Item(CmdNoiseRemoval), Item(CmdFluctuation)}),
        Popup("&Windowsの整列", {Item(CmdCascade), Item(CmdTileHorizontal), Item(CmdTileVertical)}),
    };
    if (!extended) {
        bar.push_back(Item(CmdHomePage));
        return bar;
    }
    const std::vector<MenuEntry> more = {
        Separator(),
        Item(CmdNoiseCreation),
        Item(CmdOptimalOrder),
        Item(CmdLpcComponents),
        Popup("各処理", {Item(CmdAdaptiveFilter), Item(CmdLattice), Item(CmdLpcWorkbench), Separator(),
                         Item(CmdOpenSlot)}),
        Item(CmdSpectralSubtraction),
        Item(CmdSignalGenerator),
        Item(CmdJoin),
        Item(CmdConvolution),
        Separator(),
        Item(CmdStockLoad),
        Item(CmdStockSearch),
        Item(CmdNeural),
        Item(CmdFx),
        Item(CmdFxx),
    };
    bar.insert(bar.end(), more.begin(), more.end());
    return bar;
}

} // namespace kelvora
