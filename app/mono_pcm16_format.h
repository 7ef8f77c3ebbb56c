#pragma once
// The one audio format the program plays and records: 16-bit signed mono at a given rate.

#include <QAudioFormat>

#include <cstdint>

namespace kelvora {

inline QAudioFormat MonoPcm16Format(std::uint32_t sampleRate)
{
    QAudioFormat format;
    format.setSampleRate(static_cast<int>(sampleRate));
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

} // namespace kelvora
