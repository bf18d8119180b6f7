// Start-up of the band panels, the window layout on every resize, scrolling
// of the band canvas and the layout of the chain panel.
#include "ui/Colours.h"
#include "ui/form1/Form1.h"
#include "ui/SliderToolTip.h"
#include "ui/Twips.h"
#include "core/equalizer/BandTable.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QLineEdit>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

// Dark band panels, so the pale readouts and the grey zero lines show.
constexpr int BandPanelColour = 0x303030;
constexpr int CaptionColour = 0xE0E0E0;
constexpr int ReadoutColour = 14405055;
// Below the status line, as above the "Open" button.
constexpr double BottomMargin = 120;

QString IndexedName(const QString &name, int index)
{
    return name + QLatin1Char('_') + QString::number(index);
}

// A frame's border takes room from what its children can use.
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

QSlider *CopySlider(const QSlider *design, const QString &name)
{
    auto *slider = new QSlider(design->orientation(), design->parentWidget());
    slider->setObjectName(name);
    slider->setRange(design->minimum(), design->maximum());
    slider->setValue(design->value());
    slider->setPageStep(design->pageStep());
    slider->setSingleStep(design->singleStep());
    slider->setTickPosition(design->tickPosition());
    slider->setTickInterval(design->tickInterval());
    slider->setInvertedAppearance(design->invertedAppearance());
    slider->setInvertedControls(design->invertedControls());
    slider->setFont(design->font());
    slider->setPalette(design->palette());
    SetTwips(slider, Twips(design));
    slider->hide();
    return slider;
}

QLabel *CopyLabel(const QLabel *design, const QString &name)
{
    auto *label = new QLabel(design->text(), design->parentWidget());
    label->setObjectName(name);
    label->setAlignment(design->alignment());
    label->setFont(design->font());
    label->setPalette(design->palette());
    SetTwips(label, Twips(design));
    label->hide();
    return label;
}

void PlaceCaption(QLabel *label, double left, const QString &text)
{
    // Captions stand 472.5 twips apart and the widest, "18.525K", needs a
    // narrow face to keep a blank before its neighbour.
    QFont font = label->font();
    font.setFamily(QStringLiteral("Arial Narrow"));
    font.setPointSizeF(7);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    SetForeColour(label, CaptionColour);
    label->setText(text);
    SetTwips(label, left, 0, Twips(label).width(), Twips(label).height());
    AutoSizeLabel(label);
    label->raise();
    label->show();
}

// Readouts stand under their sliders, 15 twips above the panel's foot.
void PlaceReadout(QLabel *label, double left, double bottom)
{
    QFont font = label->font();
    font.setPointSizeF(7);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    SetForeColour(label, ReadoutColour);
    label->setText(QStringLiteral("00"));
    AutoSizeLabel(label);
    const QRectF fitted = Twips(label);
    SetTwips(label, left, bottom - fitted.height(), fitted.width(), fitted.height());
    label->raise();
    label->show();
}

// Bands stand 1.5 slider widths apart.
double BandLeft(int band, double sliderWidth)
{
    return 1.5 * band * sliderWidth;
}

// Each slider fills the room between its caption and its readout: lying
// under its caption it would paint its groove through the text, and the
// caption would take the clicks on the slider's top.
void PlaceBandSliders(const QVector<QSlider *> &sliders, const QVector<QLabel *> &captions,
                      const QVector<QLabel *> &readouts)
{
    for (int band = 0; band < sliders.size(); ++band) {
        QSlider *slider = sliders[band];
        const double top = Twips(captions[band]).bottom();
        SetTwips(slider, BandLeft(band, Twips(slider).width()), top, Twips(slider).width(),
                 Twips(readouts[band]).y() - top);
        slider->show();
    }
}

void PlaceZeroLine(QFrame *line, const QWidget *panel, const QSlider *slider)
{
    const QRectF twips = Twips(slider);
    SetTwips(line, 0, twips.y() + twips.height() / 2, InnerWidth(panel), TwipsPerPixel);
    line->lower();
}

void PlaceBottomStrip(QLabel *strip, const QWidget *panel)
{
    strip->clear();
    SetTwipsLeft(strip, 0);
    SetTwipsHeight(strip, 12);
    SetTwipsTop(strip, InnerHeight(panel) - Twips(strip).height() - 3);
    SetTwipsWidth(strip, InnerWidth(panel));
    strip->lower();
}

} // namespace

void Form1::BuildBandPanels(std::function<void()> ready)
{
    const QString names[] = {QStringLiteral("LeftChanelSlider"), QStringLiteral("RightChanelSlider"),
                             QStringLiteral("Label1"), QStringLiteral("Label2"),
                             QStringLiteral("Label5"), QStringLiteral("Label6")};
    for (int band = 1; band <= BandTable::LastBand; ++band) {
        LeftChanelSlider.append(CopySlider(LeftChanelSlider[0], IndexedName(names[0], band)));
        RightChanelSlider.append(CopySlider(RightChanelSlider[0], IndexedName(names[1], band)));
        Label1.append(CopyLabel(Label1[0], IndexedName(names[2], band)));
        Label2.append(CopyLabel(Label2[0], IndexedName(names[3], band)));
        Label5.append(CopyLabel(Label5[0], IndexedName(names[4], band)));
        Label6.append(CopyLabel(Label6[0], IndexedName(names[5], band)));
        ConnectBandSlider(LeftChanelSlider[band], true, band);
        ConnectBandSlider(RightChanelSlider[band], false, band);
        SetSliderToolTip(LeftChanelSlider[band], 0);
        SetSliderToolTip(RightChanelSlider[band], 0);
    }

    // 64 spacings of 1.5 slider widths, with room to spare.
    const double sliderWidth = Twips(LeftChanelSlider[0]).width();
    const double canvasWidth = sliderWidth * 64 * 2.4;
    SetTwips(Picture1[1], 0, 0, canvasWidth, Twips(Picture1[1]).height());
    SetTwips(Picture1[2], 0, 0, canvasWidth, Twips(Picture1[2]).height());
    SetTwips(Picture1[3], 0, Twips(Picture1[2]).height() + 5, Twips(Picture1[2]).width(),
             Twips(Picture1[3]).height());
    for (QWidget *panel : {Picture1[2], Picture1[3]})
        SetBackColour(panel, BandPanelColour);

    for (int band = 0; band <= BandTable::LastBand; ++band) {
        const double left = BandLeft(band, sliderWidth);
        PlaceCaption(Label1[band], left, QString::number(band));
        PlaceCaption(Label5[band], left, QString::number(band));
        PlaceReadout(Label2[band], left, Twips(Picture1[2]).height() - 15);
        PlaceReadout(Label6[band], left, Twips(Picture1[3]).height() - 15);
    }
    PlaceBandSliders(LeftChanelSlider, Label1, Label2);
    PlaceBandSliders(RightChanelSlider, Label5, Label6);

    // A 16-bit value; halves go to the even neighbour.
    HScroll1->setMaximum(int(std::nearbyint(Twips(Picture1[1]).width() / 2.5)));

    PlaceZeroLine(Line3, Picture1[2], LeftChanelSlider[0]);
    PlaceZeroLine(Line5, Picture1[3], RightChanelSlider[0]);

    HScroll1->setSingleStep(10);
    HScroll1->setPageStep(35);

    PlaceBottomStrip(Label3[0], Picture1[2]);
    PlaceBottomStrip(Label7[0], Picture1[3]);

    NameControls();
    SetUpKeyboard();
    LabelBandsAndShow(std::move(ready));
}

void Form1::LabelBandsAndShow(std::function<void()> ready)
{
    for (int band = 0; band <= BandTable::LastBand; ++band)
        SetAutoSizeText(Label1[band], BandTable::Caption(band));
    for (int band = 0; band <= BandTable::LastBand; ++band)
        SetAutoSizeText(Label5[band], Label1[band]->text());

    show();

    const auto shown = [this, ready = std::move(ready)] {
        Picture1[2]->show();
        Picture1[3]->show();
        Picture1[4]->show();
        HScroll1->show();
        PresetsButton->setEnabled(true);
        // The curve shows with the band panels.
        PlaceCurvePanel();
        mReady = true;
        UpdateSequenceButtons();
        if (ready)
            ready();
    };
    if (!mSession.StartOptions().loadingPause)
        return shown();
    // More than one and at most two seconds of "Loading...": until the
    // second after next begins. The window runs meanwhile and may be
    // closed, which drops what was left to do.
    const qint64 end = (QDateTime::currentSecsSinceEpoch() + 2) * 1000;
    QTimer::singleShot(int(end - QDateTime::currentMSecsSinceEpoch()), this, shown);
}

void Form1::ArrangeMainWindow()
{
    if (isMinimized())
        return;
    const double innerWidth = width() * TwipsPerPixel;

    Picture2->setVisible(mHeightTwips > StartHeightTwips);

    QWidget *viewport = Picture1[0];
    QWidget *canvas = Picture1[1];
    QWidget *options = Picture1[4];
    SetTwipsLeft(options, innerWidth - Twips(options).width() - 10);
    // Plus the viewport's own Left: it runs 40 twips into the options panel,
    // which is stacked above it.
    SetTwipsWidth(viewport, Twips(options).x() - 40 + Twips(viewport).x());
    SetTwipsLeft(HScroll1, 0);
    SetTwipsWidth(HScroll1, InnerWidth(viewport));
    // The canvas keeps the scroll bar's offset: a resize does not scroll.
    SetTwips(canvas, -HScroll1->value(), 0, Twips(canvas).width(), 2 * Twips(Picture1[2]).height() + 6);
    SetTwipsTop(HScroll1, Twips(canvas).height());
    SetTwipsHeight(viewport, Twips(HScroll1).height() + Twips(canvas).height() + 4);
    SetTwipsTop(options, Twips(viewport).y());
    SetTwipsHeight(options, Twips(viewport).height());
    // "Presets" stands as far from the right edge as "Open" from the left;
    // the path box fills the row between them.
    SetTwipsLeft(PresetsButton, innerWidth - Twips(Command2).x() - Twips(PresetsButton).width());
    SetTwipsLeft(Text1, Twips(Command2).x() + Twips(Command2).width() + 5);
    SetTwipsWidth(Text1, Twips(PresetsButton).x() - 5 - Twips(Text1).x());
    const QRectF level = Twips(Slider1[0]);
    SetTwipsTop(Line4, level.y() + level.height() / 2);
    // However short the user makes it, the window keeps the band panels, the
    // options panel beside them and the status line: the line says what
    // nothing else does (a missing tool, bands that do nothing).
    const double viewportBottom = Twips(viewport).y() + Twips(viewport).height();
    const int minimumInner = TwipsToPixels(viewportBottom + 5 + Twips(StatusLine).height() + BottomMargin);
    if (minimumHeight() != minimumInner)
        setMinimumHeight(minimumInner);
    // The status line keeps the bottom of the window. The curve under the
    // band panels takes what is left above it, up to its own height; the
    // chain panel takes everything between the curve and the status line,
    // so a taller window shows more of both chains.
    const double innerHeight = height() * TwipsPerPixel;
    const double statusTop = innerHeight - BottomMargin - Twips(StatusLine).height();
    SetTwips(StatusLine, Twips(viewport).x(), statusTop, innerWidth - 2 * Twips(viewport).x(),
             Twips(StatusLine).height());
    PlaceCurvePanel();
    const double chainTop = viewportBottom + 5 + CurvePanelHeightTwips + 5;
    // As wide as the status line: wider, the window's edge would cut off the
    // boxes' scroll bars.
    SetTwips(Picture2, Twips(viewport).x(), chainTop, innerWidth - 2 * Twips(viewport).x(),
             statusTop - 5 - chainTop);
    // The panel's size in twips may change without its pixels changing.
    Picture2_Resize();
}

double Form1::HeightTwips() const
{
    return mHeightTwips;
}

void Form1::SetHeightTwips(double height)
{
    const int frame = frameGeometry().height() - geometry().height();
    // Below its minimum the window gets the minimum, and that is its height.
    mHeightTwips = std::max(height, (minimumHeight() + frame) * TwipsPerPixel);
    const int innerPixels = TwipsToPixels(mHeightTwips) - frame;
    if (innerPixels != this->height())
        resize(width(), innerPixels);
    else if (isVisible())
        ArrangeMainWindow();
}

void Form1::HScroll1_Change()
{
    SetTwipsLeft(Picture1[1], -HScroll1->value());
}

void Form1::Picture2_Resize()
{
    const double width = Twips(Picture2).width();
    const double inner = InnerHeight(Picture2);
    SetTwips(Text2, Twips(Text2).x(), Twips(Text2).y(), width, inner / 2);
    SetTwipsWidth(Text3, width);
    SetTwipsHeight(Text3, inner / 2 - 5);
    SetTwipsTop(Text3, Twips(Text2).height() + 5);
}
