// The yardstick of the start-up figures: a bare Qt Quick window, full screen, showing one image
// and nothing else. Run with the same logging rules as the program, so that both report their
// first rendered frame the same way.
//
// Usage: bare_window <image file>

#include <QGuiApplication>
#include <QQmlContext>
#include <QQuickView>
#include <QUrl>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        qWarning("usage: %s <image file>", argv[0]);
        return 2;
    }
    QQuickView view;
    view.rootContext()->setContextProperty(QStringLiteral("imageUrl"),
                                           QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setSource(QUrl(QStringLiteral("data:text/plain,import QtQuick; Image { source: imageUrl; "
                                       "fillMode: Image.Stretch }")));
    view.resize(1280, 720);
    view.showFullScreen();
    return app.exec();
}
