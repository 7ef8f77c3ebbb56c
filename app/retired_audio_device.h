#pragma once
// Ending a Qt audio sink or source without a crash. On PulseAudio, Qt's device leaves requests
// to the sound server outstanding when it is stopped, and the server's thread answers them with
// a state change on the device some time later; were the device deleted by then, the program
// would crash just after playback or recording ended. So a stopped device is not deleted at
// once but only when the event loop has run well past any such answer. One still waiting when
// the program ends is left to the process's exit rather than deleted in a hurry.

#include <QObject>
#include <QTimer>

#include <memory>
#include <set>

namespace kelvora {

inline constexpr int RetiredAudioDeviceLifetimeMilliseconds = 2000;

// Takes over a device the caller has stopped; leaves the pointer empty.
template <typename Device>
void RetireAudioDevice(std::unique_ptr<Device>& device)
{
    if (!device)
        return;
    // Never destroyed, so devices still waiting at exit stay reachable rather than lost.
    static auto* const waiting = new std::set<QObject*>;
    QObject* const retired = device.release();
    waiting->insert(retired);
    QTimer::singleShot(RetiredAudioDeviceLifetimeMilliseconds, retired, [retired] {
        waiting->erase(retired);
        retired->deleteLater();
    });
}

} // namespace kelvora
