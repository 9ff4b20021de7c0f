#include "MacResizeObserver.h"

#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>

MacResizeObserver::MacResizeObserver(QObject* parent) : QObject(parent) {}

void MacResizeObserver::start()
{
    NSNotificationCenter* center = [NSNotificationCenter defaultCenter];
    NSOperationQueue* queue = [NSOperationQueue mainQueue];
    MacResizeObserver* observer = this;
    // Every window of the process is observed; the instance outlives the event loop.
    [center addObserverForName:NSWindowDidEndLiveResizeNotification
                        object:nil
                         queue:queue
                    usingBlock:^(NSNotification* note) {
                      NSWindow* window = (NSWindow*)note.object;
                      const NSRect frame = window.frame;
                      emit observer->resizeFinished(int(frame.size.width), int(frame.size.height));
                    }];
}
