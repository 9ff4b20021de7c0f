#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

// Waiting inside the benchmarks: the event loop keeps running, so console notifications,
// timers and frames go on while the benchmark waits.
namespace bench {

inline void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until done() holds, checking every step ms; false after ms in all.
inline bool waitUntil(const std::function<bool()>& done, int ms, int step = 20)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        spin(step);
    }
    return true;
}

} // namespace bench
