#include "app/qt_audio_input.h"

#include "app/mono_pcm16_format.h"
#include "app/retired_audio_device.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QByteArray>
#include <QIODevice>
#include <QMediaDevices>

#include <algorithm>
#include <cstring>

namespace kelvora {

struct QtAudioInput::Impl {
    std::unique_ptr<QAudioSource> source;
    QIODevice* io = nullptr;
    QByteArray pending; // bytes read but not yet handed out as a whole block

    void close()
    {
        if (source) {
            source->stop();
            RetireAudioDevice(source);
        }
        io = nullptr;
        pending.clear();
    }

    void collect()
    {
        while (io != nullptr) {
            const qint64 waiting = source->bytesAvailable();
            if (waiting <= 0)
                break;
            const QByteArray bytes = io->read(waiting);
            if (bytes.isEmpty())
                break;
            pending.append(bytes);
        }
    }
};

QtAudioInput::QtAudioInput() : impl_(std::make_unique<Impl>()) {}

QtAudioInput::~QtAudioInput()
{
    impl_->close();
}

bool QtAudioInput::start(std::uint32_t sampleRate)
{
    Impl& d = *impl_;
    d.close();
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull() || sampleRate == 0)
        return false;
    d.source = std::make_unique<QAudioSource>(device, MonoPcm16Format(sampleRate));
    d.io = d.source->start();
    // Without a server the source stays stopped with an open error and sends no state change.
    if (d.io == nullptr || d.source->error() != QAudio::NoError) {
        d.close();
        return false;
    }
    return true;
}

void QtAudioInput::stop()
{
    impl_->close();
}

bool QtAudioInput::readBlock(std::span<std::int16_t> block)
{
    Impl& d = *impl_;
    d.collect();
    const auto bytes = static_cast<qsizetype>(block.size_bytes());
    if (d.io == nullptr || bytes == 0 || d.pending.size() < bytes)
        return false;
    std::memcpy(block.data(), d.pending.constData(), static_cast<std::size_t>(bytes));
    d.pending.remove(0, bytes);
    return true;
}

bool QtAudioInput::capturing() const
{
    return impl_->io != nullptr;
}

void InstallQtAudioInput()
{
    platform::DefaultAudioInputFactory() = [] { return std::make_unique<QtAudioInput>(); };
}

} // namespace kelvora
