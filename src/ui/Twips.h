// Geometry is modelled in twips (15 to the pixel) and only rounded where a
// widget is placed, so fractional positions such as 472.5 stay exact.
#pragma once

#include <QRectF>
#include <QString>

class QLabel;
class QWidget;

constexpr double TwipsPerPixel = 15.0;

int TwipsToPixels(double twips);

// The widget's geometry in twips, as last set (or derived from its pixels
// when never set).
QRectF Twips(const QWidget *widget);
void SetTwips(QWidget *widget, const QRectF &twips);
void SetTwips(QWidget *widget, double left, double top, double width, double height);
void SetTwipsLeft(QWidget *widget, double left);
void SetTwipsTop(QWidget *widget, double top);
void SetTwipsWidth(QWidget *widget, double width);
void SetTwipsHeight(QWidget *widget, double height);

// Fixed outer size of a dialog window in twips; the client area is what is
// left inside the window frame, as it is now and whenever it changes.
void SetFixedOuterSizeTwips(QWidget *window, double width, double height);

// An auto-sized label: Left and Top stay, the size fits the text.
void AutoSizeLabel(QLabel *label);
// Sets the text of an auto-sized label; the same text again costs nothing.
void SetAutoSizeText(QLabel *label, const QString &text);
