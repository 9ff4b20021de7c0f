#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace {

bool save(const QImage& image, const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return image.save(path);
}

QImage blank(int w, int h, const QColor& colour)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    ok &= save(blank(512, 512, QColor("#0B5563")), out + "/images/icon.png");
    ok &= save(blank(1920, 1080, QColor("#0A3A44")), out + "/images/FirstScreen.png");
    ok &= save(blank(82, 15, Qt::transparent), out + "/images/bluetooth_mark.png");
    ok &= save(blank(90, 15, Qt::transparent), out + "/images/customize_mark.png");
    ok &= save(blank(256, 256, QColor("#0B5563")), out + "/app_icon.ico");
    return ok ? 0 : 1;
}
