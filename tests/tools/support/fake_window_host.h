#pragma once
// A window side for shell tests: windows are entries in a list, the last opened is active.

#include "tools/shell/data_record.h"
#include "tools/shell/window_host.h"

#include <algorithm>
#include <vector>

namespace kelvora::testing {

class FakeWindowHost : public WindowHost {
public:
    DataRecord* activeRecord() override { return active; }
    void openWindow(DataRecord& record) override
    {
        open.push_back(&record);
        active = &record;
    }
    void closeWindow(DataRecord& record) override
    {
        std::erase(open, &record);
        if (active == &record)
            active = open.empty() ? nullptr : open.back();
        ++closed;
    }
    void arrange(Arrangement arrangement) override { arrangements.push_back(arrangement); }

    std::vector<DataRecord*> open;
    DataRecord* active = nullptr;
    int closed = 0;
    std::vector<Arrangement> arrangements;
};

} // namespace kelvora::testing
