#include "import/Form2.h"

#include "app/Form1.h"

#include <QPointer>
#include <QTimer>

namespace {

QPointer<Form2> &Instance()
{
    static QPointer<Form2> instance;
    return instance;
}

} // namespace

Form2::Form2(Form1 *owner)
    : QWidget(owner, Qt::Dialog)
{
    setAttribute(Qt::WA_DeleteOnClose);
    Timer1 = new QTimer(this);
    Timer2 = new QTimer(this);
}

Form2 *Form2::Loaded()
{
    return Instance();
}

Form2 *Form2::Load(Form1 *owner)
{
    if (!Instance())
        Instance() = new Form2(owner);
    return Instance();
}

void Form2::UnloadIfLoaded()
{
    if (Instance())
        Instance()->close();
}
