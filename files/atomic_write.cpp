#include "files/atomic_write.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace kelvora::files {

namespace {

namespace fs = std::filesystem;

Failure SaveFailure(const std::string& path, const char* reason)
{
    return Failure{FailureKind::CannotWrite, "ファイル「" + path + "」に保存できません。\n" + reason, path};
}

// A name for the temporary file that no other save, in this process or another, picks at the
// same moment; exclusive creation below catches the rare collision anyway.
std::string TemporaryName()
{
    static std::atomic<unsigned> counter{0};
    const auto ticks = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    const unsigned long long mixed = (ticks * 0x9E3779B97F4A7C15ull) ^ (counter.fetch_add(1) * 0xBF58476D1CE4E5B9ull);
    char text[40];
    std::snprintf(text, sizeof text, ".kelvora-save-%016llx.tmp", mixed);
    return text;
}

} // namespace

Status WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes)
{
    if (path.empty())
        return SaveFailure(path, "ファイル名がありません。");
    std::error_code error;
    fs::path target(path);
    // Renaming over a link would replace the link itself; replace what it points to instead.
    if (fs::is_symlink(target, error)) {
        fs::path resolved = fs::weakly_canonical(target, error);
        if (!error)
            target = std::move(resolved);
    }
    if (fs::is_directory(target, error))
        return SaveFailure(path, "同じ名前のフォルダーがあります。");
    if (!target.has_filename())
        return SaveFailure(path, "ファイル名がありません。");

    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    fs::path temporary;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < 16 && file == nullptr; ++attempt) {
        temporary = directory / TemporaryName();
        errno = 0;
        file = std::fopen(temporary.c_str(), "wbx");
        if (file == nullptr && errno != EEXIST)
            break;
    }
    if (file == nullptr)
        return SaveFailure(path, "一時ファイルを作れません（フォルダーがないか、書き込みが許可されていません）。");

    bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (!written) {
        fs::remove(temporary, error);
        return SaveFailure(path, "書き込み中にエラーが発生しました（ディスクの空きが足りない可能性があります）。");
    }

    const fs::file_status old = fs::status(target, error);
    if (!error && fs::exists(old))
        fs::permissions(temporary, old.permissions(), error);
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return SaveFailure(path, "一時ファイルを元のファイルと置き換えられません。");
    }
    return {};
}

} // namespace kelvora::files
