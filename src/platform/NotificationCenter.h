#pragma once

#include <QString>
#include <functional>

// The part of the platform's notification centre that the live-resize observer calls on. On
// macOS it is bound to AppKit and Foundation (NotificationCenter.mm); elsewhere the project's
// own centre takes its place (NotificationCenter.cpp), so that the observer builds and runs
// everywhere. Nothing but the tests posts to the project's own centre.
namespace Notifications {

// A platform object (a window, or whatever else posts); only compared and passed on.
using Object = const void*;

// A rectangle in points (the screen's logical pixels).
struct Rect
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

class Notification
{
public:
    Notification(const QString& name, Object object) : m_name(name), m_object(object) {}

    QString name() const { return m_name; }
    // What posted it; for a window notification, the window.
    Object object() const { return m_object; }

private:
    QString m_name;
    Object m_object = nullptr;
};

using Block = std::function<void(const Notification&)>;

// A queue on which observer blocks run.
class OperationQueue
{
public:
    // The queue of the GUI thread.
    static OperationQueue mainQueue();

    void* handle() const { return m_handle; }

private:
    explicit OperationQueue(void* handle) : m_handle(handle) {}
    void* m_handle = nullptr;
};

class NotificationCenter
{
public:
    static NotificationCenter defaultCenter();

    // From now on runs block on queue for every notification named name whose object is object;
    // a null object observes every object. The registration stays for the rest of the process;
    // the returned token only stands for it.
    Object addObserverForName(const QString& name, Object object, const OperationQueue& queue,
                              const Block& block) const;
    // Hands the notification to every matching registration; returns when their blocks have run.
    void postNotificationName(const QString& name, Object object) const;

private:
    explicit NotificationCenter(void* handle) : m_handle(handle) {}
    void* m_handle = nullptr;
};

// The name posted when the user has finished resizing a window by dragging its edge.
QString windowDidEndLiveResizeNotification();

// A window's frame: screen coordinates, in points.
Rect windowFrame(Object window);

#if !defined(__APPLE__)
// A window of the project's own centre, standing where a platform window would be: the object
// of its notifications.
struct Window
{
    Rect frame;
};
#endif

} // namespace Notifications
