#include "NotificationCenter.h"

#include <QCoreApplication>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <memory>

// The project's own notification centre, where AppKit's is not available.

namespace Notifications {

namespace {

struct Registration
{
    QString name;
    Object object = nullptr;
    Block block; // run on the main queue, the only queue here
};

// Registrations are added on the GUI thread and read by whichever thread posts.
struct Centre
{
    QMutex mutex;
    QList<std::shared_ptr<const Registration>> registrations;
};

Centre& defaultCentre()
{
    static Centre centre;
    return centre;
}

// The main queue is the GUI thread: the thread of the application object.
int mainQueueTag = 0;

// Runs work on the main queue and returns once it has run, as a post does on the platform.
void runOnMainQueue(const std::function<void()>& work)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->thread() == QThread::currentThread())
        work();
    else
        QMetaObject::invokeMethod(app, work, Qt::BlockingQueuedConnection);
}

} // namespace

QString windowDidEndLiveResizeNotification()
{
    return QStringLiteral("NSWindowDidEndLiveResizeNotification");
}

Rect windowFrame(Object window)
{
    return window ? static_cast<const Window*>(window)->frame : Rect{};
}

OperationQueue OperationQueue::mainQueue()
{
    return OperationQueue(&mainQueueTag);
}

NotificationCenter NotificationCenter::defaultCenter()
{
    return NotificationCenter(&defaultCentre());
}

Object NotificationCenter::addObserverForName(const QString& name, Object object,
                                              const OperationQueue& queue, const Block& block) const
{
    Q_UNUSED(queue)
    auto registration = std::make_shared<const Registration>(Registration{name, object, block});
    auto* centre = static_cast<Centre*>(m_handle);
    QMutexLocker lock(&centre->mutex);
    centre->registrations.append(registration);
    return registration.get();
}

void NotificationCenter::postNotificationName(const QString& name, Object object) const
{
    auto* centre = static_cast<Centre*>(m_handle);
    QList<Block> blocks;
    {
        QMutexLocker lock(&centre->mutex);
        for (const auto& r : std::as_const(centre->registrations))
            if (r->name == name && (!r->object || r->object == object))
                blocks.append(r->block);
    }
    const Notification notification(name, object);
    for (const Block& block : std::as_const(blocks))
        runOnMainQueue([&] { block(notification); });
}

} // namespace Notifications
