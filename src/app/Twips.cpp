#include "app/Twips.h"

#include <QLabel>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace {

const char TwipsProperty[] = "brenvoxTwips";

} // namespace

int TwipsToPixels(double twips)
{
    return int(std::lround(twips / TwipsPerPixel));
}

QRectF Twips(const QWidget *widget)
{
    const QVariant stored = widget->property(TwipsProperty);
    if (stored.isValid())
        return stored.toRectF();
    const QRect pixels = widget->geometry();
    return QRectF(pixels.x() * TwipsPerPixel, pixels.y() * TwipsPerPixel,
                  pixels.width() * TwipsPerPixel, pixels.height() * TwipsPerPixel);
}

void SetTwips(QWidget *widget, const QRectF &twips)
{
    // A negative size is refused, as the window system refuses it; the
    // caller's remaining steps still run.
    if (twips.width() < 0 || twips.height() < 0)
        return;
    widget->setProperty(TwipsProperty, twips);
    widget->setGeometry(TwipsToPixels(twips.x()), TwipsToPixels(twips.y()),
                        TwipsToPixels(twips.width()), TwipsToPixels(twips.height()));
}

void SetTwips(QWidget *widget, double left, double top, double width, double height)
{
    SetTwips(widget, QRectF(left, top, width, height));
}

void SetTwipsLeft(QWidget *widget, double left)
{
    QRectF twips = Twips(widget);
    twips.moveLeft(left);
    SetTwips(widget, twips);
}

void SetTwipsTop(QWidget *widget, double top)
{
    QRectF twips = Twips(widget);
    twips.moveTop(top);
    SetTwips(widget, twips);
}

void SetTwipsWidth(QWidget *widget, double width)
{
    QRectF twips = Twips(widget);
    twips.setWidth(width);
    SetTwips(widget, twips);
}

void SetTwipsHeight(QWidget *widget, double height)
{
    QRectF twips = Twips(widget);
    twips.setHeight(height);
    SetTwips(widget, twips);
}

void SetFixedOuterSizeTwips(QWidget *window, double width, double height)
{
    const QSize frameExtra = window->frameGeometry().size() - window->geometry().size();
    window->setFixedSize(TwipsToPixels(width) - frameExtra.width(),
                         TwipsToPixels(height) - frameExtra.height());
}

void AutoSizeLabel(QLabel *label)
{
    const QSize fitted = label->sizeHint();
    const QRectF twips = Twips(label);
    SetTwips(label, twips.x(), twips.y(), fitted.width() * TwipsPerPixel, fitted.height() * TwipsPerPixel);
}

void SetAutoSizeText(QLabel *label, const QString &text)
{
    if (label->text() == text)
        return;
    label->setText(text);
    AutoSizeLabel(label);
}
