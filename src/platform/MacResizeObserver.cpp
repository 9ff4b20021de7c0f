#include "MacResizeObserver.h"

#include "NotificationCenter.h"

using namespace Notifications;

MacResizeObserver::MacResizeObserver(QObject* parent) : QObject(parent) {}

void MacResizeObserver::start()
{
    const NotificationCenter center = NotificationCenter::defaultCenter();
    const OperationQueue queue = OperationQueue::mainQueue();
    MacResizeObserver* observer = this;
    // Every window of the process is observed, not only the shell's. The registration is never
    // withdrawn, so its token is not kept: the instance outlives the event loop.
    center.addObserverForName(windowDidEndLiveResizeNotification(), nullptr, queue,
                              [observer](const Notification& notification) {
                                  observer->onLiveResizeEnded(notification);
                              });
}

// NotificationCenter blocks
void MacResizeObserver::onLiveResizeEnded(const Notification& notification)
{
    const Rect frame = windowFrame(notification.object());
    // The conversion to int truncates toward zero: 1000.9 points are reported as 1000.
    emit resizeFinished(int(frame.width), int(frame.height));
}
