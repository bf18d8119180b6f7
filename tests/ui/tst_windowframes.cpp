// The progress windows' outer sizes under a real window manager: offscreen
// windows have no frame, so this test starts Xvfb and twm itself.
#include "ui/ExportWindow.h"
#include "ui/ImportWindow.h"
#include "ui/PreviewWindow.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>
#include <sys/prctl.h>

namespace {

// Xvfb with twm on a free display for as long as it lives; no display when
// either cannot start.
class FramedDisplay
{
public:
    FramedDisplay()
    {
        int number = 97;
        const auto socket = [&number] { return QStringLiteral("/tmp/.X11-unix/X%1").arg(number); };
        while (QFile::exists(socket()) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            ++number;
        const QString name = QStringLiteral(":%1").arg(number);
        // Both end with the test, even when it crashes.
        for (QProcess *process : {&mServer, &mManager})
            process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        mServer.start(QStringLiteral("Xvfb"), {name, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        const QDeadlineTimer deadline(5000);
        while (!QFile::exists(socket())) {
            if (!mServer.waitForStarted() || mServer.waitForFinished(50) || deadline.hasExpired())
                return;
        }
        // Places windows without asking for a click and gives the dialogs a
        // title bar; the server's own font, as Xvfb may have no other.
        QFile settings(mFolder.filePath(QStringLiteral("twmrc")));
        if (!settings.open(QIODevice::WriteOnly)
            || !settings.write("RandomPlacement\nUsePPosition \"on\"\nNoGrabServer\nDecorateTransients\n"
                               "TitleFont \"fixed\"\nResizeFont \"fixed\"\nMenuFont \"fixed\"\nIconFont \"fixed\"\n"
                               "IconManagerFont \"fixed\"\n"))
            return;
        settings.close();
        mManager.start(QStringLiteral("twm"), {QStringLiteral("-display"), name, QStringLiteral("-f"),
                                               settings.fileName()});
        if (mManager.waitForStarted())
            display = name;
    }

    ~FramedDisplay()
    {
        for (QProcess *process : {&mManager, &mServer}) {
            process->terminate();
            process->waitForFinished();
        }
    }

    QString display;

private:
    QTemporaryDir mFolder;
    QProcess mServer;
    QProcess mManager;
};

} // namespace

class tst_WindowFrames : public QObject
{
    Q_OBJECT

public:
    explicit tst_WindowFrames(bool framed) : mFramed(framed) {}

private slots:
    void initTestCase()
    {
        if (!mFramed)
            QSKIP("Xvfb and twm could not start");
        (new ImportWindow(nullptr))->Timer1->stop();
        (new ExportWindow(nullptr))->Timer1->stop();
        new PreviewWindow(nullptr);
        for (QWidget *window : QApplication::topLevelWidgets())
            window->show();
    }

    void cleanupTestCase() { qDeleteAll(QApplication::topLevelWidgets()); }

    void outerSize_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QSize>("outer");
        // The design's outer sizes, 15 twips to the pixel.
        QTest::newRow("import window") << "Form2" << QSize(406, 215);
        QTest::newRow("export") << "Form3" << QSize(488, 256);
        QTest::newRow("preview") << "Form4" << QSize(433, 179);
    }

    void outerSize()
    {
        QFETCH(QString, window);
        QFETCH(QSize, outer);
        QWidget *form = nullptr;
        for (QWidget *candidate : QApplication::topLevelWidgets())
            form = candidate->objectName() == window ? candidate : form;
        QVERIFY(form);
        // Framed by the window manager some time after it is shown.
        QTRY_VERIFY(form->frameGeometry().height() > form->height());
        QTRY_COMPARE(form->frameGeometry().size(), outer);
    }

private:
    bool mFramed;
};

int main(int argc, char *argv[])
{
    FramedDisplay framed;
    if (!framed.display.isEmpty()) {
        qputenv("DISPLAY", framed.display.toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication application(argc, argv);
    tst_WindowFrames test(!framed.display.isEmpty());
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowframes.moc"
