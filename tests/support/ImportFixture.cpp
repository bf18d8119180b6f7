#include "ImportFixture.h"

#include "Controls.h"

#include "ui/FileDialogs.h"
#include "ui/ImportWindow.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Sees the window's close before the window handles it.
class CloseWatcher : public QObject
{
public:
    CloseWatcher(ImportFixture *fixture, ImportWindow *window)
        : QObject(window), mFixture(fixture), mWindow(window)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == mWindow && event->type() == QEvent::Close && mFixture->closedAt < 0) {
            mFixture->closedAt = mFixture->clock.elapsed();
            mFixture->statusAtClose = {Control<QLabel>(mWindow, "Label2", 0)->text(), Control<QLabel>(mWindow, "Label2", 1)->text()};
        }
        return false;
    }

private:
    ImportFixture *mFixture;
    ImportWindow *mWindow;
};

} // namespace

ImportFixture::ImportFixture(const QString &appFolderName)
    : StartedMainWindow(appFolderName, [](TestAppFolder &app) {
          app.linkRealTool(QStringLiteral("ffprobe"));
          app.linkRealTool(QStringLiteral("ffmpeg"));
      })
{
    SetFileDialogAnswer([this](const FileDialogRequest &) {
        ++mDialogRequests;
        return mAnswer;
    });
    clock.start();
}

ImportFixture::~ImportFixture()
{
    SetFileDialogAnswer(FileDialogAnswer());
}

int ImportFixture::dialogRequests() const
{
    return mDialogRequests;
}

ImportWindow *ImportFixture::Open(const QString &path)
{
    mAnswer = path;
    Control<QPushButton>(form, "Command2")->click();
    // Only the window opened now is observed; a failed one just made way.
    progress.clear();
    statusAtClose.clear();
    splitEndedAt = -1;
    closedAt = -1;
    importWindow = OpenWindow<ImportWindow>();
    if (!importWindow || !importWindow->isVisible())
        return nullptr;
    new CloseWatcher(this, importWindow);
    QObject::connect(importWindow->PBar, &QProgressBar::valueChanged, importWindow, [this](int value) {
        progress << value;
        if (value == 80)
            splitEndedAt = clock.elapsed();
    });
    return importWindow;
}

void ImportFixture::WhenTrue(std::function<bool()> condition, std::function<void()> action)
{
    // The import runs while the test waits, so what is to happen
    // meanwhile must come from a timer.
    auto *poll = new QTimer(form);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, condition, action] {
        if (!condition())
            return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start(10);
}

ImportFixture::End ImportFixture::WaitForEnd(int timeoutMilliseconds)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMilliseconds) {
        if (!importWindow || !importWindow->isVisible())
            return statusAtClose.value(0) == QLatin1String("Completed.") ? End::Completed : End::ClosedEarly;
        if (importWindow->Failed())
            return End::Failed;
        QTest::qWait(10);
    }
    return End::StillRunning;
}
