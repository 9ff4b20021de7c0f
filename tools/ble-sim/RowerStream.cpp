#include "RowerStream.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

RowerStream::RowerStream(const ConsoleSettings& settings)
    : m_startDistance(settings.startDistance), m_speed(settings.speed),
      m_strokeRate(settings.strokeRate), m_strokeCount(settings.strokeCount),
      m_intervalMs(settings.intervalMs), m_chunking(settings.chunking), m_rowing(settings.rowing),
      m_lastFrame(FrameSize, '\0')
{}

QByteArray RowerStream::frameAt(quint64 elapsedMs) const
{
    const double rowed = m_speed * double(elapsedMs) / 1000.0;
    const quint32 distance =
        rowed >= m_startDistance ? 0 : quint32(std::ceil(double(m_startDistance) - rowed - 1e-6));
    const quint32 strokes = std::min<quint64>(m_strokeCount + elapsedMs / 2000, 0xFFFF);
    const quint32 rateByte = std::min<quint32>(m_strokeRate * 2, 0xFF);

    QByteArray frame(FrameSize, '\0');
    auto* bytes = reinterpret_cast<uchar*>(frame.data());
    qToLittleEndian<quint16>(FrameFlags, bytes);
    bytes[2] = uchar(rateByte);
    qToLittleEndian<quint16>(quint16(strokes), bytes + 3);
    bytes[5] = uchar(distance & 0xFF);
    bytes[6] = uchar((distance >> 8) & 0xFF);
    bytes[7] = uchar((distance >> 16) & 0xFF);
    // A filler whose every byte names its own position shows a misaligned reader at once.
    for (int i = 8; i < FrameSize; ++i)
        bytes[i] = uchar(i);
    return frame;
}

QList<QByteArray> RowerStream::tick()
{
    m_lastFrame = frameAt(m_rowedMs);
    if (m_rowing)
        m_rowedMs += m_intervalMs;
    ++m_framesMade;
    m_pending += m_lastFrame;

    QList<QByteArray> notifications;
    auto take = [&](int size) {
        notifications.append(m_pending.left(size));
        m_pending.remove(0, size);
        m_bytesSent += size;
        const int total = m_sentOfFrame + size;
        m_framesSent += total / FrameSize;
        m_sentOfFrame = total % FrameSize;
    };
    if (m_chunking == QLatin1String("12+8")) {
        take(12);
        take(8);
    } else {
        const int size = m_chunking == QLatin1String("25")   ? 25
                         : m_chunking == QLatin1String("40") ? 40
                                                             : FrameSize;
        while (m_pending.size() >= size)
            take(size);
    }
    return notifications;
}

void RowerStream::dropPending()
{
    m_pending.clear();
    m_sentOfFrame = 0;
}
