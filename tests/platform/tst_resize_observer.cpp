// The live-resize observer on the project's own notification centre: the tests post the
// notification that only macOS posts in the program.
#include "MacResizeObserver.h"
#include "NotificationCenter.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <memory>

using namespace Notifications;

class tst_ResizeObserver : public QObject
{
    Q_OBJECT

private slots:
    void resizeEndReportsTruncatedSize();
    void everyWindowIsObserved();
    void secondStartReportsTwice();
    void postFromAnotherThreadReachesTheGuiThread();
    void notStartedReportsNothing();

private:
    // Observers stay registered for the rest of the process, so they live as long as the test.
    MacResizeObserver* startedObserver();
    static void endLiveResize(const Window& window);
};

MacResizeObserver* tst_ResizeObserver::startedObserver()
{
    auto* observer = new MacResizeObserver(this);
    observer->start();
    return observer;
}

void tst_ResizeObserver::endLiveResize(const Window& window)
{
    NotificationCenter::defaultCenter().postNotificationName(windowDidEndLiveResizeNotification(),
                                                             &window);
}

void tst_ResizeObserver::resizeEndReportsTruncatedSize()
{
    MacResizeObserver* observer = startedObserver();
    QSignalSpy spy(observer, &MacResizeObserver::resizeFinished);
    const Window shell{{120.25, 40.5, 1000.9, 562.5}};
    endLiveResize(shell);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0), QVariantList({1000, 562}));

    // Other notifications of the window are not a resize end.
    NotificationCenter::defaultCenter().postNotificationName(
        QStringLiteral("NSWindowDidResizeNotification"), &shell);
    QCOMPARE(spy.count(), 1);
}

void tst_ResizeObserver::everyWindowIsObserved()
{
    MacResizeObserver* observer = startedObserver();
    QSignalSpy spy(observer, &MacResizeObserver::resizeFinished);
    const Window shell{{0, 0, 1600, 1000}};
    const Window dialog{{300, 200, 420.99, 200.01}};
    endLiveResize(shell);
    endLiveResize(dialog);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0), QVariantList({1600, 1000}));
    QCOMPARE(spy.at(1), QVariantList({420, 200}));
}

void tst_ResizeObserver::secondStartReportsTwice()
{
    MacResizeObserver* observer = startedObserver();
    observer->start();
    QSignalSpy spy(observer, &MacResizeObserver::resizeFinished);
    endLiveResize(Window{{0, 0, 1280, 1000}});
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0), QVariantList({1280, 1000}));
    QCOMPARE(spy.at(1), QVariantList({1280, 1000}));
}

void tst_ResizeObserver::postFromAnotherThreadReachesTheGuiThread()
{
    MacResizeObserver* observer = startedObserver();
    QList<QThread*> emittedOn;
    QList<int> sizes;
    QObject receiver; // ends the connection with the test: later posts reach this observer too
    connect(
        observer, &MacResizeObserver::resizeFinished, &receiver,
        [&](int width, int height) {
            emittedOn.append(QThread::currentThread());
            sizes << width << height;
        },
        Qt::DirectConnection);
    const Window window{{0, 0, 801.5, 450.75}};
    std::unique_ptr<QThread> poster(QThread::create([&window] { endLiveResize(window); }));
    poster->start();
    QTRY_VERIFY_WITH_TIMEOUT(poster->isFinished(), 30000);
    QCOMPARE(emittedOn, QList<QThread*>({thread()}));
    QCOMPARE(sizes, QList<int>({801, 450}));
}

void tst_ResizeObserver::notStartedReportsNothing()
{
    MacResizeObserver observer;
    QSignalSpy spy(&observer, &MacResizeObserver::resizeFinished);
    endLiveResize(Window{{0, 0, 1000, 500}});
    QCOMPARE(spy.count(), 0);
}

QTEST_MAIN(tst_ResizeObserver)
#include "tst_resize_observer.moc"
