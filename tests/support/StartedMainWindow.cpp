#include "StartedMainWindow.h"

#include <QCoreApplication>
#include <QEvent>

StartedMainWindow::StartedMainWindow(Tools tools, const QString &folderName)
    : StartedMainWindow(folderName, [tools](TestAppFolder &app) {
          if (tools != Tools::None) {
              app.linkRealTool(QStringLiteral("ffmpeg"));
              app.linkRealTool(QStringLiteral("ffprobe"));
          }
          if (tools == Tools::RealAndPlayer)
              app.linkRealTool(QStringLiteral("ffplay"));
      })
{
}

StartedMainWindow::StartedMainWindow(const QString &folderName,
                                     const std::function<void(TestAppFolder &)> &prepare, bool loadingPause)
    : app(folderName)
    , session(Session::Options{loadingPause, QString()})
{
    prepare(app);
    form = Main(session, [this](MainWindow *) { started = true; });
}

StartedMainWindow::~StartedMainWindow()
{
    delete form.data();
    // Windows closed during the test go with their deferred deletion.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
