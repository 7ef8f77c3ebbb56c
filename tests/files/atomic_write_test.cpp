#include "files/atomic_write.h"
#include "files/bmp.h"
#include "files/text_samples.h"
#include "files/wav.h"
#include "tests/support/file_size_limit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kelvora::files {
namespace {

namespace fs = std::filesystem;

// A fresh directory of the test's own under the system's temporary directory.
class AtomicWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        directory_ = fs::temp_directory_path()
                     / ("kelvora_atomic_write_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(directory_);
        fs::create_directories(directory_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(directory_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(directory_, ignored);
    }

    static std::string Contents(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Put(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    static std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

    std::size_t Entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(directory_), {})); }

    fs::path directory_;
};

TEST_F(AtomicWrite, ReplacesTheOldContentsAndLeavesNoTemporaryFile)
{
    const fs::path target = directory_ / "sound.wav";
    Put(target, "old contents that are longer than the new ones");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(WriteFileAtomically(target.string(), Bytes("new")).ok());
    EXPECT_EQ(Contents(target), "new");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(), 1u);

    ASSERT_TRUE(WriteFileAtomically(target.string(), {}).ok());
    EXPECT_EQ(fs::file_size(target), 0u);
}

TEST_F(AtomicWrite, FollowsASymbolicLinkToItsTarget)
{
    const fs::path real = directory_ / "real.txt";
    const fs::path link = directory_ / "link.txt";
    Put(real, "old");
    fs::create_symlink(real, link);
    ASSERT_TRUE(WriteFileAtomically(link.string(), Bytes("new")).ok());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Contents(real), "new");
}

TEST_F(AtomicWrite, MissingDirectoryFailsWithAMessageNamingTheFile)
{
    const fs::path target = directory_ / "no_such_dir" / "voice.txt";
    const Status status = WriteFileAtomically(target.string(), Bytes("data"));
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().kind, FailureKind::CannotWrite);
    EXPECT_NE(status.error().message.find(target.string()), std::string::npos) << status.error().message;
    EXPECT_EQ(status.error().path, target.string());
    EXPECT_FALSE(fs::exists(target.parent_path()));
}

TEST_F(AtomicWrite, FailedRenameKeepsWhatWasThereAndCleansUp)
{
    // A folder of that name cannot be replaced by a file.
    const fs::path target = directory_ / "picture.bmp";
    fs::create_directory(target);
    Put(target / "inside.txt", "keep me");
    const Status status = WriteFileAtomically(target.string(), Bytes("new"));
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().message.find("picture.bmp"), std::string::npos);
    EXPECT_EQ(Contents(target / "inside.txt"), "keep me");
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(AtomicWrite, ReadOnlyDirectoryKeepsTheOldFile)
{
    const fs::path target = directory_ / "voice.txt";
    Put(target, "old");
    fs::permissions(directory_, fs::perms::owner_read | fs::perms::owner_exec);
    // The superuser may write anyway; then there is nothing to observe here.
    if (std::ofstream(directory_ / "probe"))
        GTEST_SKIP() << "this user can write into read-only directories";
    const Status status = WriteFileAtomically(target.string(), Bytes("new"));
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(Contents(target), "old");
    EXPECT_NE(status.error().message.find("voice.txt"), std::string::npos);
}

TEST_F(AtomicWrite, EveryWriterKeepsTheOldFileWhenTheDiskFillsMidway)
{
    const std::vector<double> samples(20000, 1234.0);
    const RgbImage picture{200, 100, std::vector<std::uint32_t>(200 * 100, 0x00336699u)};
    const std::vector<std::pair<std::string, std::function<Status(const std::string&)>>> writers{
        {"raw.bin", [](const std::string& path) { return WriteFileAtomically(path, std::vector<std::uint8_t>(20000, 7)); }},
        {"sound.wav", [&](const std::string& path) { return WriteWav(path, WavFormat{}, samples, {}); }},
        {"sound.txt", [&](const std::string& path) { return WriteText(path, samples, 8000); }},
        {"picture.bmp", [&](const std::string& path) { return WriteBmp24(path, picture); }},
    };
    for (const auto& [name, write] : writers) {
        SCOPED_TRACE(name);
        const fs::path target = directory_ / name;
        const std::string old = "the old contents, which must survive byte for byte";
        Put(target, old);
        Status status;
        {
            const testing::FileSizeLimit limit(4096);
            status = write(target.string());
        }
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.error().kind, FailureKind::CannotWrite);
        EXPECT_NE(status.error().message.find(target.string()), std::string::npos) << status.error().message;
        EXPECT_EQ(Contents(target), old);
        EXPECT_EQ(Entries(), 1u) << "a temporary file was left behind";
        fs::remove(target);
    }
}

} // namespace
} // namespace kelvora::files
