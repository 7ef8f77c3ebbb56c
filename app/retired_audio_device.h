#pragma once
// Ending a Qt audio sink or source without a crash. On PulseAudio, Qt's device leaves requests
// to the sound server outstanding when it is stopped, and the server's thread answers them with
// a state change on the device some time later; were the device deleted by then, the program
// would crash just after playback or recording ended. So a stopped device is not deleted at
// once: it is kept until the event loop has run well past any such answer, and should the loop
// end before that, the application object deletes it on exit.

#include <QCoreApplication>
#include <QObject>
#include <QTimer>

#include <memory>

namespace kelvora {

inline constexpr int RetiredAudioDeviceLifetimeMilliseconds = 2000;

// Takes over a device the caller has stopped; leaves the pointer empty.
template <typename Device>
void RetireAudioDevice(std::unique_ptr<Device>& device)
{
    if (!device)
        return;
    Device* retired = device.release();
    retired->setParent(QCoreApplication::instance());
    QTimer::singleShot(RetiredAudioDeviceLifetimeMilliseconds, retired, &QObject::deleteLater);
}

} // namespace kelvora
