#include "ui/mainwindow/DesignControls.h"

#include "ui/Colours.h"
#include "ui/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace DesignControls {

QString IndexedName(const QString &name, int index)
{
    return name + QLatin1Char('_') + QString::number(index);
}

QFrame *NewPanel(QWidget *parent, const QString &name, const QRectF &twips, bool border)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(name);
    if (border)
        panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    SetTwips(panel, twips);
    return panel;
}

QLabel *NewLabel(QWidget *parent, const QString &name, const QString &text, const QRectF &twips,
                 double pointSize, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(alignment);
    if (pointSize > 0) {
        QFont font = label->font();
        font.setPointSizeF(pointSize);
        label->setFont(font);
    }
    SetTwips(label, twips);
    return label;
}

QLabel *NewLamp(QWidget *parent, const QString &name, double left, double top, bool lit)
{
    auto *lamp = new QLabel(parent);
    lamp->setObjectName(name);
    lamp->setFrameStyle(QFrame::Box | QFrame::Plain);
    SetBackColour(lamp, lit ? LampOnColour : LampOffColour);
    SetTwips(lamp, left, top, 135, 135);
    return lamp;
}

QRadioButton *NewOption(QWidget *parent, const QString &name, const QString &text, const QRectF &twips,
                        bool selected)
{
    auto *option = new QRadioButton(text, parent);
    option->setObjectName(name);
    option->setChecked(selected);
    SetTwips(option, twips);
    return option;
}

QPushButton *NewButton(QWidget *parent, const QString &name, const QString &text, const QRectF &twips)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    SetTwips(button, twips);
    return button;
}

QFrame *NewLine(QWidget *parent, const QString &name, int colour)
{
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    SetBackColour(line, colour);
    return line;
}

double InnerWidth(const QWidget *widget)
{
    const auto *frame = qobject_cast<const QFrame *>(widget);
    return Twips(widget).width() - (frame ? 2 * frame->frameWidth() * TwipsPerPixel : 0);
}

double InnerHeight(const QWidget *widget)
{
    const auto *frame = qobject_cast<const QFrame *>(widget);
    return Twips(widget).height() - (frame ? 2 * frame->frameWidth() * TwipsPerPixel : 0);
}

} // namespace DesignControls
