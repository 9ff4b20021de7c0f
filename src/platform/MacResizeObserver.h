#pragma once

#include <QObject>

namespace Notifications {
class Notification;
}

// Reports the end of a live resize of any window of the process, through the platform's
// notification centre (NotificationCenter.h). Only macOS posts that notification.
class MacResizeObserver : public QObject
{
    Q_OBJECT

public:
    explicit MacResizeObserver(QObject* parent = nullptr);

    void start();

signals:
    void resizeFinished(int width, int height);

private:
    void onLiveResizeEnded(const Notifications::Notification& notification);
};
