// The band panels as the design draws them, their start-up, scrolling and
// keyboard, and how they follow the session.
#include "ui/mainwindow/BandPanel.h"

#include "core/equalizer/BandTable.h"
#include "session/Session.h"
#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/Twips.h"
#include "ui/mainwindow/DesignControls.h"

#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace DesignControls;

namespace {

// Dark band panels, so the pale readouts and the grey zero lines show.
constexpr int BandPanelColour = 0x303030;
constexpr int CaptionColour = 0xE0E0E0;
constexpr int ReadoutColour = 14405055;
constexpr int PageBandSteps = 3; // 3 dB
// The options panel's left edge until the window is first arranged.
constexpr double DesignOptionsLeft = 13200;

const char *const SliderNames[] = {"LeftChanelSlider", "RightChanelSlider"};
const char *const CaptionNames[] = {"Label1", "Label5"};
const char *const ReadoutNames[] = {"Label2", "Label6"};

QSlider *NewBandSlider(QWidget *row, const QString &name)
{
    auto *slider = new QSlider(Qt::Vertical, row);
    slider->setObjectName(name);
    slider->setRange(-12, 12);
    slider->setValue(0);
    slider->setPageStep(5);
    slider->setSingleStep(1);
    slider->setTickPosition(QSlider::TicksBothSides);
    slider->setTickInterval(2);
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
    SetTwips(slider, 0, 15, 315, 2220);
    return slider;
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

void PlaceZeroLine(QFrame *line, const QWidget *row, const QSlider *slider)
{
    const QRectF twips = Twips(slider);
    SetTwips(line, 0, twips.y() + twips.height() / 2, InnerWidth(row), TwipsPerPixel);
    line->lower();
}

void PlaceBottomStrip(QLabel *strip, const QWidget *row)
{
    strip->clear();
    SetTwipsLeft(strip, 0);
    SetTwipsHeight(strip, 12);
    SetTwipsTop(strip, InnerHeight(row) - Twips(strip).height() - 3);
    SetTwipsWidth(strip, InnerWidth(row));
    strip->lower();
}

// A band's readout: "+5" a boost, "-5" a cut, "-0" the centre.
QString BandReadout(int gain)
{
    return gain > 0 ? QLatin1Char('+') + QString::number(gain) : QLatin1Char('-') + QString::number(-gain);
}

// Slider positions are negated gains: a position of -5 is a boost of 5 dB.
QString BandValueText(int position)
{
    if (position == 0)
        return QStringLiteral("0 dB");
    return (position < 0 ? QLatin1Char('+') : QLatin1Char('-')) + QString::number(std::abs(position))
        + QLatin1String(" dB");
}

// "19hz" is read as "19 Hz"; "1K" stays as it is shown.
QString BandName(const QString &channel, int band)
{
    QString frequency = BandTable::Caption(band).trimmed();
    if (frequency.endsWith(QLatin1String("hz")))
        frequency = frequency.chopped(2) + QLatin1String(" Hz");
    return channel + QLatin1Char(' ') + frequency + QLatin1String(" band");
}

} // namespace

BandPanel::BandPanel(Session &session, QWidget *window)
    : QFrame(window)
    , mSession(session)
    , mOptionsLeft(DesignOptionsLeft)
{
    setObjectName(QStringLiteral("Picture1_0"));
    SetTwips(this, 240, 480, 11895, 5055);
    mScroll = new QScrollBar(Qt::Horizontal, this);
    mScroll->setObjectName(QStringLiteral("HScroll1"));
    mScroll->setRange(0, 32767);
    SetTwips(mScroll, 0, 4680, 12495, 255);
    mCanvas = NewPanel(this, QStringLiteral("Picture1_1"), QRectF(0, 0, 12735, 4575), false);
    SetBackColour(mCanvas, PanelGreyColour);
    mRows[0] = NewPanel(mCanvas, QStringLiteral("Picture1_2"), QRectF(120, 0, 12255, 2250), false);
    mRows[1] = NewPanel(mCanvas, QStringLiteral("Picture1_3"), QRectF(120, 2400, 12255, 2250), false);
    const char *const stripNames[] = {"Label3_0", "Label7_0"};
    const char *const lineNames[] = {"Line3", "Line5"};
    for (int channel = 0; channel < 2; ++channel) {
        QFrame *row = mRows[channel];
        // The band panels keep the window's colour over the grey canvas.
        row->setAutoFillBackground(true);
        mSliders[channel] = {NewBandSlider(row, IndexedName(QLatin1String(SliderNames[channel]), 0))};
        mCaptions[channel] = {NewLabel(row, IndexedName(QLatin1String(CaptionNames[channel]), 0),
                                       QStringLiteral("0"), QRectF(0, 0, 315, 195))};
        mReadouts[channel] = {NewLabel(row, IndexedName(QLatin1String(ReadoutNames[channel]), 0),
                                       QStringLiteral("00"), QRectF(0, 2235, 315, 195))};
        mStrips[channel] = NewLabel(row, QLatin1String(stripNames[channel]), QString(), QRectF(0, 2235, 12255, 15));
        SetBackColour(mStrips[channel], StripGreyColour);
        mZeroLines[channel] = NewLine(row, QLatin1String(lineNames[channel]), PanelGreyColour);
        ConnectBandSlider(mSliders[channel][0], channel, 0);
    }
    connect(mScroll, &QScrollBar::valueChanged, this, [this](int value) { SetTwipsLeft(mCanvas, -value); });
}

void BandPanel::ConnectBandSlider(QSlider *slider, int channel, int band)
{
    // Only the user's moves: the code sets positions itself as it follows
    // the session, and a value-changed connection would write them back.
    // sliderPosition(): while an action is handled, value() still lags.
    connect(slider, &QSlider::actionTriggered, this, [this, slider, channel, band] {
        mSession.SetBandSliderPosition(channel, band, qint16(slider->sliderPosition()));
    });
    // A drag passes many positions; undo takes it back in one step.
    connect(slider, &QSlider::sliderPressed, &mSession, &Session::BeginGesture);
    connect(slider, &QSlider::sliderReleased, &mSession, &Session::EndGesture);
}

void BandPanel::Build()
{
    for (int band = 1; band <= BandTable::LastBand; ++band) {
        for (int channel = 0; channel < 2; ++channel) {
            mSliders[channel].append(
                CopySlider(mSliders[channel][0], IndexedName(QLatin1String(SliderNames[channel]), band)));
            mCaptions[channel].append(
                CopyLabel(mCaptions[channel][0], IndexedName(QLatin1String(CaptionNames[channel]), band)));
            mReadouts[channel].append(
                CopyLabel(mReadouts[channel][0], IndexedName(QLatin1String(ReadoutNames[channel]), band)));
            ConnectBandSlider(mSliders[channel][band], channel, band);
        }
    }

    // 64 spacings of 1.5 slider widths, with room to spare.
    const double sliderWidth = Twips(mSliders[0][0]).width();
    const double canvasWidth = sliderWidth * 64 * 2.4;
    SetTwips(mCanvas, 0, 0, canvasWidth, Twips(mCanvas).height());
    SetTwips(mRows[0], 0, 0, canvasWidth, Twips(mRows[0]).height());
    SetTwips(mRows[1], 0, Twips(mRows[0]).height() + 5, Twips(mRows[0]).width(), Twips(mRows[1]).height());
    for (QWidget *row : mRows)
        SetBackColour(row, BandPanelColour);

    for (int channel = 0; channel < 2; ++channel) {
        for (int band = 0; band <= BandTable::LastBand; ++band) {
            const double left = BandLeft(band, sliderWidth);
            PlaceCaption(mCaptions[channel][band], left, QString::number(band));
            PlaceReadout(mReadouts[channel][band], left, Twips(mRows[channel]).height() - 15);
        }
        PlaceBandSliders(mSliders[channel], mCaptions[channel], mReadouts[channel]);
    }

    // A 16-bit value; halves go to the even neighbour.
    mScroll->setMaximum(int(std::nearbyint(Twips(mCanvas).width() / 2.5)));
    for (int channel = 0; channel < 2; ++channel)
        PlaceZeroLine(mZeroLines[channel], mRows[channel], mSliders[channel][0]);
    mScroll->setSingleStep(10);
    mScroll->setPageStep(35);
    for (int channel = 0; channel < 2; ++channel)
        PlaceBottomStrip(mStrips[channel], mRows[channel]);

    NameControls();
    // Tab reaches each band row once, at its first band until another is
    // focused; the arrow keys go on inside the row.
    for (const QVector<QSlider *> &row : mSliders) {
        for (QSlider *band : row) {
            band->setFocusPolicy(band == row.constFirst() ? Qt::StrongFocus : Qt::ClickFocus);
            band->installEventFilter(this);
        }
    }
    for (int channel = 0; channel < 2; ++channel)
        for (int band = 0; band <= BandTable::LastBand; ++band)
            SetAutoSizeText(mCaptions[channel][band], BandTable::Caption(band));
}

void BandPanel::NameControls()
{
    NameGroup(mRows[0], QStringLiteral("Left channel"));
    NameGroup(mRows[1], QStringLiteral("Right channel"));
    mScroll->setAccessibleName(QStringLiteral("Scroll the bands"));
    const SliderMeaning meaning{-1.0, BandValueText};
    const QString sides[] = {QStringLiteral("Left"), QStringLiteral("Right")};
    for (int channel = 0; channel < 2; ++channel) {
        for (int band = 0; band < mSliders[channel].size(); ++band) {
            mSliders[channel][band]->setAccessibleName(BandName(sides[channel], band));
            SetSliderMeaning(mSliders[channel][band], meaning);
        }
    }
}

void BandPanel::HideRows()
{
    for (QWidget *widget : {static_cast<QWidget *>(mRows[0]), static_cast<QWidget *>(mRows[1]),
                            static_cast<QWidget *>(mScroll)})
        widget->hide();
}

void BandPanel::ShowRows()
{
    mRows[0]->show();
    mRows[1]->show();
    mScroll->show();
}

bool BandPanel::RowsShown() const
{
    return !mRows[0]->isHidden();
}

void BandPanel::Arrange(double optionsLeft)
{
    mOptionsLeft = optionsLeft;
    // Plus the viewport's own Left: it runs 40 twips into the options panel,
    // which is stacked above it.
    SetTwipsWidth(this, optionsLeft - 40 + Twips(this).x());
    SetTwipsLeft(mScroll, 0);
    SetTwipsWidth(mScroll, InnerWidth(this));
    // The canvas keeps the scroll bar's offset: a resize does not scroll.
    SetTwips(mCanvas, -mScroll->value(), 0, Twips(mCanvas).width(), 2 * Twips(mRows[0]).height() + 6);
    SetTwipsTop(mScroll, Twips(mCanvas).height());
    SetTwipsHeight(this, Twips(mScroll).height() + Twips(mCanvas).height() + 4);
}

QRectF BandPanel::RowTwips(int channel) const
{
    const QRectF viewport = Twips(this);
    const QRectF row = Twips(mRows[channel]);
    return QRectF(viewport.x(), viewport.y() + row.y(), row.width(), row.height());
}

QList<QWidget *> BandPanel::TabOrder() const
{
    QList<QWidget *> order;
    for (const QVector<QSlider *> &row : mSliders)
        for (QSlider *band : row)
            order << band;
    return order;
}

void BandPanel::Show(const EqualizerSettings &settings)
{
    if (settings.range != mShown.range) {
        // A new range places every slider anew, also one placed without its
        // scroll handling.
        const int ticks = settings.range == EqualizerSettings::WideRange ? 2 : 1;
        for (int channel = 0; channel < 2; ++channel) {
            for (int band = 0; band < mSliders[channel].size(); ++band) {
                QSlider *slider = mSliders[channel][band];
                const QSignalBlocker blocker(slider);
                slider->setRange(-settings.range, settings.range);
                slider->setValue(-settings.channels[channel].gains[band]);
                slider->setTickInterval(ticks);
            }
        }
    }
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel)
        ShowBands(channel, settings);
    mShown = settings;
}

void BandPanel::ShowBands(int channel, const EqualizerSettings &settings)
{
    const QVector<QSlider *> &sliders = mSliders[channel];
    const QVector<QLabel *> &readouts = mReadouts[channel];
    const ChannelSettings &now = settings.channels[channel];
    const ChannelSettings &shown = mShown.channels[channel];
    for (int band = 0; band < sliders.size() && band < readouts.size(); ++band) {
        if (now.gains[band] == shown.gains[band] && now.moved[band] == shown.moved[band])
            continue;
        {
            const QSignalBlocker blocker(sliders[band]);
            sliders[band]->setValue(-now.gains[band]);
        }
        // "00" stands under a band until it is first applied; once applied,
        // even a band back to start-up's never-moved state reads "-0".
        if (now.moved[band] || readouts[band]->text() != QLatin1String("00"))
            SetAutoSizeText(readouts[band], BandReadout(now.gains[band]));
    }
}

void BandPanel::ShowActingBands(int sampleRate, int bandwidth)
{
    for (int band = 0; band < mCaptions[0].size() && band < mCaptions[1].size(); ++band) {
        const bool acts = BandTable::BandActs(band, sampleRate, bandwidth);
        mCaptions[0][band]->setEnabled(acts);
        mCaptions[1][band]->setEnabled(acts);
    }
}

const QVector<QSlider *> *BandPanel::RowOf(const QObject *slider) const
{
    for (const QVector<QSlider *> &row : mSliders)
        if (row.contains(slider))
            return &row;
    return nullptr;
}

bool BandPanel::eventFilter(QObject *watched, QEvent *event)
{
    auto *slider = qobject_cast<QSlider *>(watched);
    if (slider && event->type() == QEvent::FocusIn)
        BandFocused(slider);
    if (slider && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        return BandKey(slider, key->key(), key->modifiers());
    }
    return QFrame::eventFilter(watched, event);
}

// The focused band becomes its row's only Tab stop, and the canvas scrolls
// to show it with its caption.
void BandPanel::BandFocused(QSlider *slider)
{
    const QVector<QSlider *> *row = RowOf(slider);
    if (!row)
        return;
    for (QSlider *band : *row)
        band->setFocusPolicy(band == slider ? Qt::StrongFocus : Qt::ClickFocus);

    const int index = int(row->indexOf(slider));
    const QVector<QLabel *> &captions = mCaptions[row == &mSliders[0] ? 0 : 1];
    const QRectF band = Twips(slider);
    const double left = band.x() - band.width() / 2;
    const double right = std::max(band.x() + band.width(), Twips(captions[index]).right()) + band.width() / 2;
    const double shown = mOptionsLeft - Twips(this).x();
    double scroll = mScroll->value();
    if (left < scroll)
        scroll = left;
    else if (right > scroll + shown)
        scroll = right - shown;
    mScroll->setValue(int(std::lround(scroll)));
}

// The keys move the handle as a drag does, so the readout, the chain and
// the sync follow as they follow the user's own moves.
bool BandPanel::BandKey(QSlider *slider, int key, Qt::KeyboardModifiers modifiers)
{
    const QVector<QSlider *> *row = RowOf(slider);
    if (!row || (modifiers & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const int index = int(row->indexOf(slider));
    switch (key) {
    case Qt::Key_Left:
        if (index > 0)
            row->at(index - 1)->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Right:
        if (index + 1 < row->size())
            row->at(index + 1)->setFocus(Qt::OtherFocusReason);
        return true;
    // Up is a boost: the position falls.
    case Qt::Key_PageUp:
        slider->setSliderPosition(slider->sliderPosition() - PageBandSteps);
        return true;
    case Qt::Key_PageDown:
        slider->setSliderPosition(slider->sliderPosition() + PageBandSteps);
        return true;
    case Qt::Key_Home:
        slider->setSliderPosition(0);
        return true;
    default:
        return false;
    }
}
