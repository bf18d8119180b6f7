// Entry point: Brenvox takes no arguments and reads no settings.
#include "app/Main.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenvox"));
    if (!Main())
        return 0;
    return application.exec();
}
