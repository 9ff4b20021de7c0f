#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QtGlobal>

#include <functional>

// Records every Qt log message with its level and the moment it was written, and passes it on
// to the handler that was installed before (Qt Test's own), so test output stays as usual.
class BleLogCapture
{
public:
    struct Line
    {
        QtMsgType type = QtDebugMsg;
        QString text;
        qint64 ms = 0;
    };

    void install()
    {
        instance() = this;
        clock.start();
        previous = qInstallMessageHandler(&BleLogCapture::handle);
    }

    void clear()
    {
        QMutexLocker lock(&mutex);
        recorded.clear();
    }

    QList<Line> lines() const
    {
        QMutexLocker lock(&mutex);
        return recorded;
    }

    qint64 now() const { return clock.elapsed(); }

    // Lines of this level whose text is exactly text.
    int count(QtMsgType type, const QString& text) const
    {
        return countIf([&](const Line& l) { return l.type == type && l.text == text; });
    }

    int countStarting(const QString& prefix) const
    {
        return countIf([&](const Line& l) { return l.text.startsWith(prefix); });
    }

    // The lines that begin with prefix, in order.
    QList<Line> starting(const QString& prefix) const
    {
        QList<Line> found;
        for (const Line& l : lines()) {
            if (l.text.startsWith(prefix))
                found.append(l);
        }
        return found;
    }

private:
    int countIf(const std::function<bool(const Line&)>& test) const
    {
        int n = 0;
        for (const Line& l : lines()) {
            if (test(l))
                ++n;
        }
        return n;
    }

    static BleLogCapture*& instance()
    {
        static BleLogCapture* current = nullptr;
        return current;
    }

    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        BleLogCapture* self = instance();
        if (!self)
            return;
        {
            QMutexLocker lock(&self->mutex);
            self->recorded.append({type, text, self->clock.elapsed()});
        }
        if (self->previous)
            self->previous(type, context, text);
    }

    mutable QMutex mutex;
    QList<Line> recorded;
    QElapsedTimer clock;
    QtMessageHandler previous = nullptr;
};
