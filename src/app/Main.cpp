#include "app/Main.h"

#include "app/Form1.h"

Form1 *Main()
{
    auto *form = new Form1;
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    return form;
}
