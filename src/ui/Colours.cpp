#include "ui/Colours.h"

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QWidget>

QColor ColourFromValue(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int ColourValue(const QColor &colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

void SetBackColour(QWidget *widget, int value)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ColourFromValue(value));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

int BackColour(const QWidget *widget)
{
    return ColourValue(widget->palette().color(QPalette::Window));
}

void SetForeColour(QWidget *widget, int value)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, ColourFromValue(value));
    widget->setPalette(palette);
}

void SetLamps(const QVector<QLabel *> &lamps, int selected)
{
    for (int index = 0; index < lamps.size(); ++index)
        SetBackColour(lamps[index], index == selected ? LampOnColour : LampOffColour);
}
