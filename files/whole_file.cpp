#include "files/whole_file.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace kelvora::files {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

Failure CannotOpen(const std::string& path)
{
    return Failure{FailureKind::CannotOpen, "ファイルが開けません", path};
}

Failure TooLarge(const std::string& path)
{
    return Failure{FailureKind::WrongFormat, "ファイルが大きすぎて読み込めません", path};
}

} // namespace

Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::uintmax_t maxBytes)
{
    std::error_code error;
    // fopen opens a directory on Linux and only the read fails: call it "cannot open" at once.
    if (path.empty() || std::filesystem::is_directory(path, error))
        return CannotOpen(path);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return CannotOpen(path);

    const std::uintmax_t announced = std::filesystem::file_size(path, error);
    if (!error && announced > maxBytes)
        return TooLarge(path);
    std::vector<std::uint8_t> bytes(error ? 0 : static_cast<std::size_t>(announced));
    if (!bytes.empty())
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));

    // The announced size is only a hint: the file may have grown since, or be a pipe.
    std::array<std::uint8_t, 1 << 16> block{};
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
        if (got == 0)
            break;
        if (bytes.size() + got > maxBytes)
            return TooLarge(path);
        bytes.insert(bytes.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(got));
    }
    if (std::ferror(file.get()))
        return Failure{FailureKind::CannotOpen, "ファイルの読み込み中にエラーが発生しました", path};
    return bytes;
}

} // namespace kelvora::files
