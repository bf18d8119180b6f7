#include "ui/Twips.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace {

const char TwipsProperty[] = "brenvoxTwips";
const char OuterSizeProperty[] = "brenvoxOuterSizeTwips";

// The client size that gives the window its outer size with the frame it
// has now.
QSize ClientForOuterSize(const QWidget *window)
{
    const QSizeF outer = window->property(OuterSizeProperty).toSizeF();
    const QSize frameExtra = window->frameGeometry().size() - window->geometry().size();
    return QSize(TwipsToPixels(outer.width()) - frameExtra.width(),
                 TwipsToPixels(outer.height()) - frameExtra.height());
}

bool OuterSizeHolds(const QWidget *window)
{
    const QSize client = ClientForOuterSize(window);
    return window->minimumSize() == client && window->maximumSize() == client;
}

void ApplyOuterSize(QWidget *window)
{
    if (!OuterSizeHolds(window))
        window->setFixedSize(ClientForOuterSize(window));
}

// A window manager frames a window only after it is shown, and until then
// its frame counts 0; by the window's first paint it is framed, and a new
// frame moves or repaints it. The size changes after the paint, not in it.
class OuterSizeKeeper : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWidget *>(watched);
        const QEvent::Type type = event->type();
        if ((type == QEvent::Paint || type == QEvent::Move) && !OuterSizeHolds(window))
            QTimer::singleShot(0, window, [window] { ApplyOuterSize(window); });
        return false;
    }
};

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
    // The edges are rounded, not the size: controls that meet in twips meet
    // in pixels, neither overlapping nor leaving a gap.
    const int left = TwipsToPixels(twips.left());
    const int top = TwipsToPixels(twips.top());
    widget->setGeometry(left, top, TwipsToPixels(twips.right()) - left, TwipsToPixels(twips.bottom()) - top);
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
    if (!window->property(OuterSizeProperty).isValid())
        window->installEventFilter(new OuterSizeKeeper(window));
    window->setProperty(OuterSizeProperty, QSizeF(width, height));
    ApplyOuterSize(window);
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
