// Colours as the design numbers them: 0x00BBGGRR, blue in the high byte.
#pragma once

#include <QVector>

class QColor;
class QLabel;
class QWidget;

constexpr int LampOnColour = 65280;       // green
constexpr int LampOffColour = 12632256;   // light grey
constexpr int PanelGreyColour = 12632256; // light grey
constexpr int StripGreyColour = 8421504;  // mid grey

QColor ColourFromValue(int value);
int ColourValue(const QColor &colour);

// Fills the widget's background with the colour.
void SetBackColour(QWidget *widget, int value);
int BackColour(const QWidget *widget);
void SetForeColour(QWidget *widget, int value);

// The selected choice's lamp green, the other lamps of its group grey.
void SetLamps(const QVector<QLabel *> &lamps, int selected);
