#pragma once
// The principal-component export ("LPC_DATA.txt"): five sections of tab-separated numbers for a
// spreadsheet, each begun by its title line.
//
//   "LPC生データ"     1000 rows: "%8.0fms " (the frame's offset from the interval's start), then
//                     the p coefficients a[0 … p−1] of the frame, each "%f\t";
//   "共分散"          q rows of q covariance values (q = p − 1), each "%f\t";
//   "固有値"          one row of the q eigenvalues, largest first;
//   "固有ベクトル"    q rows: row i holds component i of eigenvectors 0 … q−1;
//   "主成分得点"      1000 lines "%8.0fms %f %f" of the offset and the scores s1 and s2.
// Every row ends with "\n". With p = 1 the covariance and eigen sections are only their titles.

#include "dsp/lpc_components.h"
#include "files/result.h"

#include <cstdint>
#include <string>

namespace kelvora {

inline constexpr const char* ComponentsExportName = "LPC_DATA.txt";

// Offset of frame f of an interval `width` samples wide, in milliseconds: width × f / rate (the
// frame starts width × f / 1000 samples in). A rate of 0 is taken as 1.
double FrameOffsetMs(std::size_t width, std::size_t f, std::uint32_t rate);

std::string ComponentsExportText(const dsp::FrameMatrix& matrix, const dsp::PrincipalComponents& components,
                                 std::size_t width, std::uint32_t rate);

// The text above written to `path` through WriteFileAtomically.
files::Status WriteComponentsExport(const std::string& path, const dsp::FrameMatrix& matrix,
                                    const dsp::PrincipalComponents& components, std::size_t width,
                                    std::uint32_t rate);

} // namespace kelvora
