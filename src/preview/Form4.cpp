#include "preview/Form4.h"

#include "app/Form1.h"

#include <QPointer>

namespace {

QPointer<Form4> &Instance()
{
    static QPointer<Form4> instance;
    return instance;
}

} // namespace

Form4::Form4(Form1 *owner)
    : QWidget(owner, Qt::Dialog)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

Form4 *Form4::Loaded()
{
    return Instance();
}

Form4 *Form4::Load(Form1 *owner)
{
    if (!Instance())
        Instance() = new Form4(owner);
    return Instance();
}

void Form4::UnloadIfLoaded()
{
    if (Instance())
        Instance()->close();
}
