// The progress windows' outer sizes under a real window manager: offscreen
// windows have no frame, so this test starts Xvfb and twm itself.
#include "export/Form3.h"
#include "import/Form2.h"
#include "preview/Form4.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <signal.h>
#include <sys/prctl.h>

namespace {

// Xvfb with twm on a free display for as long as it lives; no display when
// Xvfb cannot start.
class FramedDisplay
{
public:
    FramedDisplay()
    {
        int number = 97;
        while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))
               || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            ++number;
        const QString name = QStringLiteral(":%1").arg(number);
        // Both end with the test, even when it crashes.
        for (QProcess *process : {&mServer, &mManager})
            process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        mServer.start(QStringLiteral("Xvfb"), {name, QStringLiteral("-screen"), QStringLiteral("0"),
                                               QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                                               QStringLiteral("tcp")});
        if (!mServer.waitForStarted())
            return;
        const QDeadlineTimer deadline(5000);
        while (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) {
            if (deadline.hasExpired() || mServer.waitForFinished(50))
                return;
        }
        // Places windows without asking for a click and gives the dialogs a
        // title bar; the server's own font, as Xvfb may have no other.
        QFile settings(mFolder.filePath(QStringLiteral("twmrc")));
        if (!settings.open(QIODevice::WriteOnly))
            return;
        settings.write("RandomPlacement\nUsePPosition \"on\"\nNoGrabServer\nDecorateTransients\nTitleFont \"fixed\"\n"
                       "ResizeFont \"fixed\"\nMenuFont \"fixed\"\nIconFont \"fixed\"\nIconManagerFont \"fixed\"\n");
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
            if (!process->waitForFinished(3000))
                process->kill();
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
    void outerSize_data();
    void outerSize();

private:
    bool mFramed;
};

void tst_WindowFrames::outerSize_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<QSize>("outer");
    // The design's outer sizes, 15 twips to the pixel.
    QTest::newRow("inspection") << 2 << QSize(406, 215);
    QTest::newRow("export") << 3 << QSize(488, 256);
    QTest::newRow("preview") << 4 << QSize(433, 179);
}

void tst_WindowFrames::outerSize()
{
    QFETCH(int, window);
    QFETCH(QSize, outer);
    if (!mFramed)
        QSKIP("Xvfb and twm could not start");

    QWidget *form = nullptr;
    if (window == 2) {
        form = Form2::Load(nullptr);
        Form2::Loaded()->Timer1->stop();
    } else if (window == 3) {
        form = Form3::Load(nullptr);
        Form3::Loaded()->Timer1->stop();
    } else {
        form = Form4::Load(nullptr);
    }
    form->show();
    // Framed by the window manager some time after it is shown.
    QTRY_VERIFY(form->frameGeometry().height() > form->height());
    QTRY_COMPARE(form->frameGeometry().size(), outer);
    form->close();
    delete form;
}

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
