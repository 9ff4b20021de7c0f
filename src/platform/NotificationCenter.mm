#include "NotificationCenter.h"

#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>

// The notification centre of AppKit and Foundation behind the observer's interface: every handle
// is the platform's own object.

namespace Notifications {

namespace {

id platformObject(Object object)
{
    return (__bridge id)const_cast<void*>(object);
}

} // namespace

QString windowDidEndLiveResizeNotification()
{
    return QString::fromNSString(NSWindowDidEndLiveResizeNotification);
}

Rect windowFrame(Object window)
{
    const NSRect frame = [(NSWindow*)platformObject(window) frame];
    return {frame.origin.x, frame.origin.y, frame.size.width, frame.size.height};
}

OperationQueue OperationQueue::mainQueue()
{
    return OperationQueue((__bridge void*)[NSOperationQueue mainQueue]);
}

NotificationCenter NotificationCenter::defaultCenter()
{
    return NotificationCenter((__bridge void*)[NSNotificationCenter defaultCenter]);
}

Object NotificationCenter::addObserverForName(const QString& name, Object object,
                                              const OperationQueue& queue, const Block& block) const
{
    NSNotificationCenter* center = (__bridge NSNotificationCenter*)m_handle;
    const Block run = block;
    id<NSObject> token = [center addObserverForName:name.toNSString()
                                             object:platformObject(object)
                                              queue:(__bridge NSOperationQueue*)queue.handle()
                                         usingBlock:^(NSNotification* note) {
                                           run(Notification(QString::fromNSString(note.name),
                                                            (__bridge const void*)note.object));
                                         }];
    return (__bridge const void*)token;
}

void NotificationCenter::postNotificationName(const QString& name, Object object) const
{
    [(__bridge NSNotificationCenter*)m_handle postNotificationName:name.toNSString()
                                                            object:platformObject(object)];
}

} // namespace Notifications
