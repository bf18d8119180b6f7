// The progress windows the main window opens: one of each at a time.
#include "ui/form1/Form1.h"

#include "ui/Form2.h"
#include "ui/Form3.h"
#include "ui/Form4.h"

namespace {

// A closed window may outlive its close while its tool stops; the next
// sequence gets a fresh one.
template<class Window>
Window *UnlessClosing(Window *window)
{
    return window && !window->Closing() ? window : nullptr;
}

} // namespace

Form2 *Form1::InspectionWindow() const
{
    return UnlessClosing(mInspectionWindow.data());
}

Form3 *Form1::ExportWindow() const
{
    return UnlessClosing(mExportWindow.data());
}

Form4 *Form1::PreviewWindow() const
{
    return UnlessClosing(mPreviewWindow.data());
}

Form2 *Form1::OpenInspectionWindow()
{
    if (!InspectionWindow())
        mInspectionWindow = new Form2(this);
    return mInspectionWindow;
}

Form3 *Form1::OpenExportWindow()
{
    if (!ExportWindow())
        mExportWindow = new Form3(this);
    return mExportWindow;
}

Form4 *Form1::OpenPreviewWindow()
{
    if (!PreviewWindow()) {
        mPreviewWindow = new Form4(this);
        mPreviewWindow->show();
    }
    return mPreviewWindow;
}

void Form1::CloseInspectionWindow()
{
    if (Form2 *window = InspectionWindow())
        window->close();
}

void Form1::CloseExportWindow()
{
    if (Form3 *window = ExportWindow())
        window->close();
}
