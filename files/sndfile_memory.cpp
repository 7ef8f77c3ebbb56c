#include "files/sndfile_memory.h"

#include <algorithm>
#include <cstring>

namespace kelvora::files {

std::span<const std::uint8_t> SndfileMemory::bytes() const noexcept
{
    return writable_ ? std::span<const std::uint8_t>(written_) : view_;
}

SF_VIRTUAL_IO SndfileMemory::callbacks_ = {
    // get_filelen
    [](void* user) -> sf_count_t { return static_cast<sf_count_t>(self(user).bytes().size()); },
    // seek: libsndfile expects the new position, or -1 for a position before the start.
    [](sf_count_t offset, int whence, void* user) -> sf_count_t {
        SndfileMemory& memory = self(user);
        const sf_count_t base = whence == SEEK_SET   ? 0
                                : whence == SEEK_CUR ? memory.position_
                                                     : static_cast<sf_count_t>(memory.bytes().size());
        if (offset < -base)
            return -1;
        memory.position_ = base + offset;
        return memory.position_;
    },
    // read
    [](void* out, sf_count_t count, void* user) -> sf_count_t {
        SndfileMemory& memory = self(user);
        const auto size = static_cast<sf_count_t>(memory.bytes().size());
        if (count <= 0 || memory.position_ >= size)
            return 0;
        const sf_count_t n = std::min(count, size - memory.position_);
        std::memcpy(out, memory.bytes().data() + memory.position_, static_cast<std::size_t>(n));
        memory.position_ += n;
        return n;
    },
    // write
    [](const void* in, sf_count_t count, void* user) -> sf_count_t {
        SndfileMemory& memory = self(user);
        if (!memory.writable_ || count <= 0)
            return 0;
        const auto end = static_cast<std::size_t>(memory.position_ + count);
        if (memory.written_.size() < end)
            memory.written_.resize(end);
        std::memcpy(memory.written_.data() + memory.position_, in, static_cast<std::size_t>(count));
        memory.position_ += count;
        return count;
    },
    // tell
    [](void* user) -> sf_count_t { return self(user).position_; },
};

SndfileHandle SndfileMemory::open(int mode, SF_INFO& info)
{
    position_ = 0;
    return SndfileHandle(sf_open_virtual(&callbacks_, mode, &info, this));
}

} // namespace kelvora::files
