#include "app/qt_audio_stream.h"

#include "app/mono_pcm16_format.h"
#include "app/retired_audio_device.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QByteArray>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

#include <algorithm>

namespace kelvora {
namespace {

// The sink's own buffer: short, so that it adds little to the writer's lead.
constexpr int SinkBufferMilliseconds = 30;
constexpr int FeedMilliseconds = 5;

} // namespace

struct QtAudioStream::Impl {
    std::unique_ptr<QAudioSink> sink;
    QIODevice* io = nullptr;
    QByteArray pending; // written, not yet taken by the sink
    std::uint32_t rate = 0;
    std::uint64_t pushed = 0; // samples handed to the sink
    QTimer feeder;

    void feed()
    {
        while (io != nullptr && !pending.isEmpty()) {
            const qsizetype room = sink->bytesFree() & ~qsizetype(1);
            if (room <= 0)
                break;
            const qint64 done = io->write(pending.constData(), std::min(room, pending.size()));
            if (done <= 0)
                break;
            pending.remove(0, static_cast<qsizetype>(done));
            pushed += static_cast<std::uint64_t>(done) / 2;
        }
    }

    std::uint64_t played() const
    {
        if (!sink)
            return 0;
        const qint64 usecs = std::max<qint64>(sink->processedUSecs(), 0);
        return std::min<std::uint64_t>(static_cast<std::uint64_t>(usecs) * rate / 1000000, pushed);
    }

    void close()
    {
        feeder.stop();
        if (sink) {
            sink->reset();
            sink->stop();
            RetireAudioDevice(sink);
        }
        io = nullptr;
        pending.clear();
        pushed = 0;
    }
};

QtAudioStream::QtAudioStream() : impl_(std::make_unique<Impl>())
{
    impl_->feeder.setInterval(FeedMilliseconds);
    QObject::connect(&impl_->feeder, &QTimer::timeout, [this] { impl_->feed(); });
}

QtAudioStream::~QtAudioStream()
{
    impl_->close();
}

bool QtAudioStream::start(std::uint32_t sampleRate)
{
    Impl& d = *impl_;
    d.close();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || sampleRate == 0)
        return false;
    d.sink = std::make_unique<QAudioSink>(device, MonoPcm16Format(sampleRate));
    d.sink->setBufferSize(static_cast<qsizetype>(sampleRate) * 2 * SinkBufferMilliseconds / 1000);
    d.io = d.sink->start();
    if (d.io == nullptr || d.sink->error() != QAudio::NoError) {
        d.close();
        return false;
    }
    d.rate = sampleRate;
    d.feeder.start();
    return true;
}

void QtAudioStream::stop()
{
    impl_->close();
}

void QtAudioStream::write(std::span<const std::int16_t> samples)
{
    Impl& d = *impl_;
    if (d.io == nullptr)
        return;
    d.pending.append(reinterpret_cast<const char*>(samples.data()), static_cast<qsizetype>(samples.size_bytes()));
    d.feed();
}

std::uint64_t QtAudioStream::queued() const
{
    const Impl& d = *impl_;
    return static_cast<std::uint64_t>(d.pending.size() / 2) + d.pushed - d.played();
}

bool QtAudioStream::running() const
{
    return impl_->io != nullptr;
}

void InstallQtAudioStream()
{
    platform::DefaultAudioStreamFactory() = [] { return std::make_unique<QtAudioStream>(); };
}

} // namespace kelvora
