#pragma once

#include <QObject>

// Reports the end of a live resize of any window of the process (macOS). Elsewhere there is no
// such event and the observer stays silent.
class MacResizeObserver : public QObject
{
    Q_OBJECT

public:
    explicit MacResizeObserver(QObject* parent = nullptr);

    void start();

signals:
    void resizeFinished(int width, int height);
};
