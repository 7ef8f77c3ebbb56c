#pragma once
// Texts the linear-prediction workbenches share.

namespace kelvora {

inline constexpr const char* PreemphasisCaption = "-12+6=6dB/octフィルターON?";
inline constexpr const char* TractOrderFormat = "声道長17cmに必要な次数= %d";

} // namespace kelvora

