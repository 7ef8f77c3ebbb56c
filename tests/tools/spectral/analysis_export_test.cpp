#include "tools/spectral/analysis_export.h"

#include "tests/support/file_size_limit.h"
#include "tests/tools/support/temp_files.h"
#include "tools/spectral/export_options_dialog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace kelvora {
namespace {

constexpr double TwoPi = 6.283185307179586;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

std::vector<double> Numbers(const std::string& line)
{
    std::vector<double> values;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t'))
        values.push_back(std::stod(field));
    return values;
}

// X[k] = (1/n) sum x[j] e^{-2 pi i jk/n}, summed directly.
std::complex<double> DirectDft(const std::vector<double>& x, std::size_t k)
{
    const std::size_t n = x.size();
    std::complex<double> sum;
    for (std::size_t j = 0; j < n; ++j)
        sum += x[j] * std::polar(1.0, -TwoPi * static_cast<double>(j * k % n) / static_cast<double>(n));
    return sum / static_cast<double>(n);
}

// Printed with %f: six decimals, on top of the transform's rounding.
void ExpectPrinted(double printed, double exact, const char* what, std::size_t row)
{
    EXPECT_NEAR(printed, exact, 1e-6 + 1e-9 * std::fabs(exact)) << what << " row " << row;
}

struct Frame {
    explicit Frame(int log2Size, unsigned seed = 5) : n(std::size_t{1} << log2Size), x(n), envelope(n), liftered(n)
    {
        std::mt19937 random(seed);
        std::normal_distribution<double> noise(0, 4000);
        for (double& v : x)
            v = noise(random);
        input = {x, envelope, liftered, log2Size, dsp::AnalysisMode::Db, 11025};
    }
    std::size_t n;
    std::vector<double> x, envelope, liftered;
    ExportInput input;
};

TEST(AnalysisExport, SpectrumColumnsAgreeWithADirectDft)
{
    Frame frame(8);
    ExportOptions options;
    options.columns.fill(true);
    const auto text = AnalysisExportText(frame.input, options);
    ASSERT_TRUE(text.ok());
    const auto lines = Lines(text.value());
    ASSERT_EQ(lines.size(), 1 + 128u);
    EXPECT_EQ(lines[0], "周波数\t実数\t虚数\tパワー\t振幅\tｄB\t");
    for (std::size_t k = 0; k < 128; ++k) {
        const std::string& line = lines[1 + k];
        ASSERT_EQ(line.back(), '\t') << k; // every value, the last included, ends with a tab
        const auto v = Numbers(line);
        ASSERT_EQ(v.size(), 6u);
        const std::complex<double> x = DirectDft(frame.x, k);
        const double power = std::norm(x);
        ExpectPrinted(v[0], k * 11025.0 / 256, "frequency", k);
        ExpectPrinted(v[1], x.real(), "real", k);
        ExpectPrinted(v[2], x.imag(), "imaginary", k);
        ExpectPrinted(v[3], power, "power", k);
        ExpectPrinted(v[4], std::sqrt(power), "amplitude", k);
        ExpectPrinted(v[5], 10 * std::log10(power + 1e-11), "dB", k);
    }
}

TEST(AnalysisExport, ChosenColumnsKeepTheirOrderAndNoColumnsGiveEmptyLines)
{
    Frame frame(8);
    frame.input.mode = dsp::AnalysisMode::Power;
    ExportOptions options;
    options.columns = {false, false, false, true, false, false};
    options.columns[ColumnFrequency] = true;
    auto lines = Lines(AnalysisExportText(frame.input, options).value());
    EXPECT_EQ(lines[0], "周波数\tパワー\t");
    EXPECT_EQ(Numbers(lines[3]).size(), 2u);

    options.columns.fill(false);
    lines = Lines(AnalysisExportText(frame.input, options).value());
    ASSERT_EQ(lines.size(), 129u);
    for (const std::string& line : lines)
        EXPECT_EQ(line, "");
}

TEST(AnalysisExport, WaveformWritesTheTitleAndEverySample)
{
    Frame frame(8);
    ExportOptions options;
    options.what = ExportWhat::Waveform;
    const auto lines = Lines(AnalysisExportText(frame.input, options).value());
    ASSERT_EQ(lines.size(), 257u);
    EXPECT_EQ(lines[0], "波形");
    for (std::size_t i = 0; i < 256; ++i)
        ExpectPrinted(std::stod(lines[1 + i]), frame.x[i], "sample", i);
}

TEST(AnalysisExport, AutocorrelationIsCircularAndNormalisedAtLagZero)
{
    Frame frame(8);
    frame.input.mode = dsp::AnalysisMode::Autocorrelation;
    const auto lines = Lines(AnalysisExportText(frame.input, ExportOptions{}).value());
    ASSERT_EQ(lines.size(), 256u);
    EXPECT_EQ(lines[0], "0.000000\t1.000000");
    double energy = 0;
    for (double v : frame.x)
        energy += v * v;
    for (std::size_t lag = 0; lag < 256; ++lag) {
        double r = 0;
        for (std::size_t j = 0; j < 256; ++j)
            r += frame.x[j] * frame.x[(j + lag) % 256];
        const auto v = Numbers(lines[lag]);
        ASSERT_EQ(v.size(), 2u);
        ExpectPrinted(v[0], lag / 11025.0, "lag", lag);
        ExpectPrinted(v[1], r / energy, "autocorrelation", lag);
    }
}

TEST(AnalysisExport, AutocorrelationOfSilenceIsRefusedAndWritesNoFile)
{
    Frame frame(8);
    std::fill(frame.x.begin(), frame.x.end(), 0.0);
    frame.input.mode = dsp::AnalysisMode::Autocorrelation;
    const auto text = AnalysisExportText(frame.input, ExportOptions{});
    ASSERT_FALSE(text.ok());
    EXPECT_FALSE(text.error().message.empty());

    testing::TempDir temp;
    const std::string path = temp.file("auto.txt");
    EXPECT_FALSE(WriteAnalysisExport(path, frame.input, ExportOptions{}).ok());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(AnalysisExport, ADiskFullMidwayKeepsTheOldFile)
{
    Frame frame(10);
    testing::TempDir temp;
    const std::string path = temp.file("Wave-FFT.txt");
    std::ofstream(path) << "old";
    files::Status status;
    {
        const testing::FileSizeLimit limit(1024);
        status = WriteAnalysisExport(path, frame.input, ExportOptions{});
    }
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().message.find(path), std::string::npos);
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()), {}), 1);
}

TEST(AnalysisExport, CepstrumWritesTheEnvelopeThenTheLifteredCepstrum)
{
    Frame frame(8);
    frame.input.mode = dsp::AnalysisMode::Cepstrum;
    for (std::size_t i = 0; i < frame.n; ++i) {
        frame.envelope[i] = 0.25 * static_cast<double>(i);
        frame.liftered[i] = -0.5 * static_cast<double>(i);
    }
    const auto lines = Lines(AnalysisExportText(frame.input, ExportOptions{}).value());
    ASSERT_EQ(lines.size(), 1 + 32 + 1 + 128u);
    EXPECT_EQ(lines[0], "先にスペクトル包絡（赤）、その後にケプストラム（青）のデータ");
    for (std::size_t row = 0; row < 32; ++row) {
        const auto v = Numbers(lines[1 + row]);
        ExpectPrinted(v[0], 4 * row * 11025.0 / 256, "frequency", row);
        ExpectPrinted(v[1], 0.25 * 4 * row, "envelope", row);
    }
    EXPECT_EQ(lines[33], "ケプストラム（青）");
    for (std::size_t lag = 0; lag < 128; ++lag) {
        const auto v = Numbers(lines[34 + lag]);
        ExpectPrinted(v[0], lag / 11025.0, "quefrency", lag);
        ExpectPrinted(v[1], -0.5 * lag, "liftered", lag);
    }
}

TEST(ExportOptions, OpensOnTheResultWithDbAndLabelsByMode)
{
    ExportOptions options;
    options.columns.fill(true);
    options.cancelled = true;
    ExportOptionsDialog dialog(options, dsp::AnalysisMode::Db);
    EXPECT_EQ(dialog.dialogTemplate().caption, "SAVE");
    dialog.init();
    EXPECT_FALSE(options.cancelled);
    EXPECT_TRUE(dialog.isChecked(ExportOptionsDialog::ResultRadio));
    EXPECT_TRUE(dialog.isChecked(ExportOptionsDialog::DbBox));
    EXPECT_EQ(dialog.text(ExportOptionsDialog::SpectrumState), "選択");
    EXPECT_EQ(dialog.text(ExportOptionsDialog::CorrelationState), "不選択");

    dialog.press(ExportOptionsDialog::WaveformRadio);
    EXPECT_EQ(options.what, ExportWhat::Waveform);
    EXPECT_EQ(dialog.text(ExportOptionsDialog::SpectrumState), "選択されてません");
    EXPECT_EQ(dialog.text(ExportOptionsDialog::CorrelationState), "選択されてません");
    // Every command reads all boxes: only dB is checked now.
    EXPECT_EQ(options.columns, (std::array<bool, 6>{false, false, false, false, false, true}));

    ExportOptionsDialog cepstrum(options, dsp::AnalysisMode::Cepstrum);
    cepstrum.init();
    EXPECT_EQ(cepstrum.text(ExportOptionsDialog::SpectrumState), "不選択");
    EXPECT_EQ(cepstrum.text(ExportOptionsDialog::CorrelationState), "選択");
}

TEST(ExportOptions, OnlyTheCancelButtonCancels)
{
    ExportOptions options;
    ExportOptionsDialog ok(options, dsp::AnalysisMode::Db);
    ok.init();
    ok.press(ExportOptionsDialog::RealBox);
    ok.press(ExportOptionsDialog::DbBox);
    ok.press(ExportOptionsDialog::OkButton);
    EXPECT_TRUE(ok.ended());
    EXPECT_FALSE(options.cancelled);
    EXPECT_TRUE(options.columns[ColumnReal]);
    EXPECT_FALSE(options.columns[ColumnDb]);

    ExportOptionsDialog closed(options, dsp::AnalysisMode::Db);
    closed.init();
    closed.press(IdCancel);
    EXPECT_TRUE(closed.ended());
    EXPECT_FALSE(options.cancelled);

    ExportOptionsDialog cancelled(options, dsp::AnalysisMode::Db);
    cancelled.init();
    cancelled.press(ExportOptionsDialog::CancelButton);
    EXPECT_TRUE(cancelled.ended());
    EXPECT_TRUE(options.cancelled);
}

} // namespace
} // namespace kelvora
