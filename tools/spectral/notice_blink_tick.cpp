#include "tools/spectral/notice_blink_tick.h"

#include "util/sprintf.h"

#include <string>

namespace kelvora {
namespace {

constexpr const char* TooLittleDataFormat = "データ量が%d(ポイント)より少ないので動きません";
constexpr int TooLittleDataTicks = 20;
constexpr int LongestBlink = 500000;

} // namespace

void TickNoticeBlink(DialogModel& dialog, NoticeBlink& blink, const NoticeBlinkControls& controls,
                     std::size_t n)
{
    ++blink.count;
    const bool shown = blink.count % 2 == 1;
    if (blink.state == NoticeBlink::Reminder) {
        dialog.setText(controls.reminder, shown ? StaleGraphReminder : "");
    } else if (blink.state == NoticeBlink::TooLittleData) {
        const std::string message = Sprintf(TooLittleDataFormat, static_cast<int>(n));
        dialog.setText(controls.notice, shown ? message : "");
        if (blink.count == TooLittleDataTicks) {
            dialog.stopTimer(controls.timer);
            blink.count = 0;
            dialog.setText(controls.notice, message);
        }
    }
    if (blink.count == LongestBlink) {
        dialog.stopTimer(controls.timer);
        blink.count = 0;
    }
}

} // namespace kelvora
