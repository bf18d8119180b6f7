#include "export/Form3.h"

#include "app/Form1.h"

#include <QPointer>

namespace {

QPointer<Form3> &Instance()
{
    static QPointer<Form3> instance;
    return instance;
}

} // namespace

Form3::Form3(Form1 *owner)
    : QWidget(owner, Qt::Dialog)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

Form3 *Form3::Loaded()
{
    return Instance();
}

Form3 *Form3::Load(Form1 *owner)
{
    if (!Instance())
        Instance() = new Form3(owner);
    return Instance();
}

void Form3::UnloadIfLoaded()
{
    if (Instance())
        Instance()->close();
}
