#pragma once

#include "ConsoleSettings.h"

#include <QByteArray>
#include <QList>

// The byte stream of one console's Rower Data characteristic: one 20-byte frame per tick, cut
// into notifications as the console's chunking says. The rowing clock advances by one interval
// per frame, so the readings depend only on how many frames were made, never on timer jitter.
class RowerStream
{
public:
    static constexpr int FrameSize = 20;
    static constexpr quint16 FrameFlags = 0x002C;

    explicit RowerStream(const ConsoleSettings& settings);

    // Makes the next frame and returns the notifications that are now complete (none when the
    // chunking waits for more bytes).
    QList<QByteArray> tick();

    // The frame for the given elapsed rowing time.
    QByteArray frameAt(quint64 elapsedMs) const;

    quint64 framesMade() const { return m_framesMade; }
    quint64 bytesSent() const { return m_bytesSent; }
    quint64 framesSent() const { return m_framesSent; }
    // Forgets the bytes not yet sent: a new link starts with a whole frame.
    void dropPending();
    // While not rowing the frames go on with the distance where the athlete stopped.
    void setRowing(bool rowing) { m_rowing = rowing; }
    const QByteArray& lastFrame() const { return m_lastFrame; }

private:
    quint32 m_startDistance = 0;
    double m_speed = 0;
    quint32 m_strokeRate = 0;
    quint32 m_strokeCount = 0;
    quint32 m_intervalMs = 100;
    QString m_chunking;

    bool m_rowing = true;
    quint64 m_rowedMs = 0;
    quint64 m_framesMade = 0;
    quint64 m_bytesSent = 0;
    quint64 m_framesSent = 0;
    int m_sentOfFrame = 0; // bytes of the frame at the head of m_pending already sent
    QByteArray m_pending;
    QByteArray m_lastFrame;
};
