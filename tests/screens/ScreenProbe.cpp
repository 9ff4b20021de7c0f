// A test-only singleton "ScreenProbe" (module RivantaTestProbe 1.0) that lets Qt Quick tests
// observe what the screens report on the error log and whether they asked the application to
// quit. Qt Quick Test can only ignore warnings, while the screens report failures as errors,
// and a real quit would end the test run.

#include <QObject>
#include <QQmlEngine>
#include <QStringList>
#include <QtCore/qcoreapplication.h>

namespace {

class ScreenProbe : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList errors READ errors NOTIFY errorsChanged)
    Q_PROPERTY(int quitRequests READ quitRequests NOTIFY quitRequestsChanged)

public:
    explicit ScreenProbe(QQmlEngine* engine)
    {
        connect(engine, &QQmlEngine::quit, this, [this] {
            ++m_quitRequests;
            emit quitRequestsChanged();
        });
    }

    ~ScreenProbe() override { stopRecording(); }

    QStringList errors() const { return m_errors; }
    int quitRequests() const { return m_quitRequests; }

    // Error-level messages from now on are kept here instead of going to the test log.
    Q_INVOKABLE void startRecording()
    {
        clear();
        if (s_recorder == this)
            return;
        s_recorder = this;
        s_previousHandler = qInstallMessageHandler(&ScreenProbe::handleMessage);
    }

    Q_INVOKABLE void stopRecording()
    {
        if (s_recorder != this)
            return;
        qInstallMessageHandler(s_previousHandler);
        s_recorder = nullptr;
        s_previousHandler = nullptr;
    }

    Q_INVOKABLE void clear()
    {
        m_errors.clear();
        emit errorsChanged();
    }

signals:
    void errorsChanged();
    void quitRequestsChanged();

private:
    static void handleMessage(QtMsgType type, const QMessageLogContext& context,
                              const QString& message)
    {
        if (type == QtCriticalMsg && s_recorder) {
            s_recorder->m_errors.append(message);
            emit s_recorder->errorsChanged();
            return;
        }
        if (s_previousHandler)
            s_previousHandler(type, context, message);
    }

    static inline ScreenProbe* s_recorder = nullptr;
    static inline QtMessageHandler s_previousHandler = nullptr;

    QStringList m_errors;
    int m_quitRequests = 0;
};

void registerScreenProbe()
{
    qmlRegisterSingletonType<ScreenProbe>(
        "RivantaTestProbe", 1, 0, "ScreenProbe",
        [](QQmlEngine* engine, QJSEngine*) -> QObject* { return new ScreenProbe(engine); });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(registerScreenProbe)

#include "ScreenProbe.moc"
