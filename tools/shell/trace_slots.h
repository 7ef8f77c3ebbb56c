#pragma once
// The five signal slots X, W, Y, E and YE. Slot X carries the working signal of every
// command; the workbench tools pass sounds to each other through the others. An empty slot
// is a state of its own, distinct from a slot holding zero samples.

#include <array>
#include <optional>
#include <stdexcept>
#include <vector>

namespace kelvora {

enum class SlotNumber { X = 1, W = 2, Y = 3, E = 4, YE = 5 };

class TraceSlots {
public:
    using Samples = std::vector<double>;

    bool empty(SlotNumber n) const { return !slot(n).has_value(); }
    // The samples of a filled slot; an empty slot reads as no samples and stays empty: reading
    // a slot never changes it.
    const Samples& samples(SlotNumber n) const { return slot(n) ? *slot(n) : none_; }
    // The samples of a filled slot, to be changed in place. Asking for an empty slot's is a
    // programming error (std::logic_error), never a way to fill it: fill() does that.
    Samples& samplesToChange(SlotNumber n)
    {
        if (!slot(n))
            throw std::logic_error("the samples of an empty trace slot cannot be changed");
        return *slot(n);
    }
    void fill(SlotNumber n, Samples samples) { slot(n) = std::move(samples); }
    void clear(SlotNumber n) { slot(n).reset(); }
    void clearAll() { slots_ = {}; }
    // Takes the samples out and leaves the slot empty.
    Samples take(SlotNumber n)
    {
        Samples taken = slot(n) ? std::move(*slot(n)) : Samples{};
        slot(n).reset();
        return taken;
    }

private:
    std::optional<Samples>& slot(SlotNumber n) { return slots_[static_cast<int>(n) - 1]; }
    const std::optional<Samples>& slot(SlotNumber n) const
    {
        return slots_[static_cast<int>(n) - 1];
    }

    std::array<std::optional<Samples>, 5> slots_;
    static inline const Samples none_{};
};

} // namespace kelvora
