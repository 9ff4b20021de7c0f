#include "MacResizeObserver.h"

MacResizeObserver::MacResizeObserver(QObject* parent) : QObject(parent) {}

void MacResizeObserver::start()
{
    // No live-resize notification exists here; the window shell listens only on macOS.
}
