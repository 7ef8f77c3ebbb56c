#include "app/qt_audio_output.h"

#include "app/mono_pcm16_format.h"
#include "app/retired_audio_device.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QByteArray>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

#include <algorithm>

namespace kelvora {
namespace {

// How often the sink is fed and its progress looked at: well under the dialogs' 25 ms cursor.
constexpr int PollMilliseconds = 10;
// Some servers never count the last few samples as processed; an ended stream is taken as
// finished this long after the buffer's length has passed on the wall clock.
constexpr qint64 EndGraceMilliseconds = 1000;

} // namespace

struct QtAudioOutput::Impl {
    std::unique_ptr<QAudioSink> sink;
    QIODevice* io = nullptr;
    QByteArray buffer;
    qsizetype written = 0;
    std::uint32_t rate = 0;
    std::uint64_t length = 0; // samples
    std::uint64_t finalPosition = 0;
    mutable std::uint64_t heard = 0; // samples; see heardSamples()
    bool open = false;    // a buffer has been played and not stopped
    bool playing = false;
    bool failed = false;  // no device could be opened
    QElapsedTimer clock;
    QTimer poll;

    // Samples the server has taken from the stream so far: what was handed to the sink less what
    // still waits in its buffer. processedUSecs() is no measure of what is heard: it runs on the
    // wall clock while a slow server has taken nothing yet, and then stands still until the
    // sound catches up, so a cursor drawn from it leads and stalls. Never moves backwards.
    std::uint64_t heardSamples() const
    {
        if (!sink)
            return finalPosition;
        const QAudio::State state = sink->state();
        if (state == QAudio::ActiveState || state == QAudio::IdleState) {
            const qsizetype queued = std::clamp<qsizetype>(sink->bufferSize() - sink->bytesFree(), 0, written);
            const auto taken = static_cast<std::uint64_t>((written - queued) / 2);
            heard = std::max(heard, std::min(taken, length));
        }
        return heard;
    }

    void feed()
    {
        while (io != nullptr && written < buffer.size()) {
            const qsizetype room = sink->bytesFree();
            if (room <= 0)
                break;
            const qsizetype chunk = std::min(room, buffer.size() - written) & ~qsizetype(1);
            if (chunk <= 0)
                break;
            const qint64 done = io->write(buffer.constData() + written, chunk);
            if (done <= 0)
                break;
            written += done;
        }
    }

    void close()
    {
        poll.stop();
        if (sink) {
            sink->reset();
            sink->stop();
            RetireAudioDevice(sink);
        }
        io = nullptr;
        playing = false;
    }
};

QtAudioOutput::QtAudioOutput() : impl_(std::make_unique<Impl>())
{
    impl_->poll.setInterval(PollMilliseconds);
    QObject::connect(&impl_->poll, &QTimer::timeout, [this] {
        Impl& d = *impl_;
        if (!d.sink)
            return;
        d.feed();
        const std::uint64_t done = d.heardSamples();
        const bool allWritten = d.written >= d.buffer.size();
        const qint64 expectedMs = static_cast<qint64>(d.length * 1000 / d.rate);
        const bool sinkEnded = d.sink->state() != QAudio::ActiveState;
        const bool overdue = allWritten && sinkEnded && d.clock.elapsed() > expectedMs + EndGraceMilliseconds;
        const bool broken = d.sink->state() == QAudio::StoppedState && d.sink->error() != QAudio::NoError &&
                            d.sink->error() != QAudio::UnderrunError;
        if ((allWritten && done >= d.length) || overdue || broken) {
            d.finalPosition = overdue || (allWritten && done >= d.length) ? d.length : done;
            d.close();
            reportFinished();
        }
    });
}

QtAudioOutput::~QtAudioOutput()
{
    impl_->close();
}

bool QtAudioOutput::play(std::span<const std::int16_t> samples, std::uint32_t sampleRate)
{
    stop();
    Impl& d = *impl_;
    if (samples.empty() || sampleRate == 0)
        return false;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        d.failed = true;
        reportUnavailable();
        return false;
    }

    d.buffer = QByteArray(reinterpret_cast<const char*>(samples.data()),
                          static_cast<qsizetype>(samples.size_bytes()));
    d.written = 0;
    d.rate = sampleRate;
    d.length = samples.size();
    d.finalPosition = 0;
    d.heard = 0;
    d.sink = std::make_unique<QAudioSink>(device, MonoPcm16Format(sampleRate));
    d.io = d.sink->start();
    // Without a server the sink stays stopped with an open error and sends no state change.
    if (d.io == nullptr || d.sink->error() != QAudio::NoError) {
        d.close();
        d.failed = true;
        reportUnavailable();
        return false;
    }
    // The server starts a stream only once its buffer has filled: a sound shorter than that
    // would wait in it forever, so it is followed by silence up to the buffer's size. The
    // position and the end still count the sound's own samples only.
    if (d.buffer.size() < d.sink->bufferSize())
        d.buffer.append(QByteArray(d.sink->bufferSize() - d.buffer.size(), '\0'));
    d.failed = false;
    d.open = true;
    d.playing = true;
    d.clock.start();
    d.feed();
    d.poll.start();
    return true;
}

void QtAudioOutput::stop()
{
    impl_->close();
    impl_->open = false;
}

std::optional<std::uint64_t> QtAudioOutput::position() const
{
    if (!impl_->open)
        return std::nullopt;
    return impl_->heardSamples();
}

bool QtAudioOutput::playing() const
{
    return impl_->playing;
}

bool QtAudioOutput::available() const
{
    return !impl_->failed && !QMediaDevices::defaultAudioOutput().isNull();
}

void InstallQtAudioOutput()
{
    platform::DefaultAudioOutputFactory() = [] { return std::make_unique<QtAudioOutput>(); };
}

} // namespace kelvora
