#pragma once
// libsndfile's virtual I/O over bytes in memory. The sound readers decode a file already read
// whole (one read of the disk, then no system calls per block), and the writers build a file in
// memory so that it can be saved atomically like every other file.

#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace kelvora::files {

// Closes the libsndfile handle it owns.
struct SndfileCloser {
    void operator()(SNDFILE* file) const noexcept { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

// A file in memory for sf_open_virtual: either a read-only view of bytes the caller keeps alive
// for the life of the handle, or a buffer that grows as libsndfile writes into it. Seeking past
// the end is allowed (as with a real file); reading there gives nothing, writing there fills
// the gap with zeros.
class SndfileMemory {
public:
    // Reads from bytes, which must outlive every handle opened on this object.
    explicit SndfileMemory(std::span<const std::uint8_t> bytes) noexcept : view_(bytes) {}
    // Starts an empty file to be written.
    SndfileMemory() noexcept : writable_(true) {}

    SndfileMemory(const SndfileMemory&) = delete;
    SndfileMemory& operator=(const SndfileMemory&) = delete;

    // Opens the memory file through libsndfile; nothing when libsndfile refuses it (sf_error(nullptr)
    // and sf_strerror(nullptr) then say why). info is read for SFM_WRITE and filled for SFM_READ.
    SndfileHandle open(int mode, SF_INFO& info);

    // What has been written so far (empty for a read-only view).
    const std::vector<std::uint8_t>& written() const noexcept { return written_; }

private:
    static SF_VIRTUAL_IO callbacks_;
    static SndfileMemory& self(void* user) noexcept { return *static_cast<SndfileMemory*>(user); }
    std::span<const std::uint8_t> bytes() const noexcept;

    std::span<const std::uint8_t> view_;
    std::vector<std::uint8_t> written_;
    bool writable_ = false;
    sf_count_t position_ = 0;
};

} // namespace kelvora::files
