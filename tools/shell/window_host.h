#pragma once
// The multi-document side of the frame as the shell drives it: which window is active, and
// windows appearing, closing and being arranged.

namespace kelvora {

struct DataRecord;

enum class Arrangement { Cascade, TileHorizontal, TileVertical };

class WindowHost {
public:
    virtual ~WindowHost() = default;
    // The record of the active data window, or nullptr when none is active.
    virtual DataRecord* activeRecord() = 0;
    // Shows a new data window for the record and makes it active.
    virtual void openWindow(DataRecord& record) = 0;
    // Removes the record's window; the shell frees the record right after.
    virtual void closeWindow(DataRecord& record) = 0;
    virtual void arrange(Arrangement arrangement) = 0;
};

} // namespace kelvora
