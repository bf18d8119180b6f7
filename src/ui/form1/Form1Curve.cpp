// The main window's response curve under the band panels, with the peaks,
// the warnings, the "Avoid clipping" and "As drawn" check boxes and each
// channel's preamp beside it.
#include "ui/form1/Form1.h"

#include "ui/Twips.h"
#include "core/equalizer/ChannelPlan.h"
#include "ui/ResponseCurveView.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace {

// The column stands under the options panel and is as wide.
constexpr double ColumnWidth = 3375;
constexpr double RowHeight = 270;

const QColor WarningColour(0xb0, 0x00, 0x00);

void SetTextColour(QWidget *widget, const QColor &colour, QPalette::ColorRole role = QPalette::WindowText)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel *NewNote(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QCheckBox *NewCheckBox(QWidget *parent, const QString &name, const QString &text)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setAccessibleName(text);
    return box;
}

} // namespace

void Form1::CreateCurvePanel()
{
    CurvePanel = new QWidget(this);
    CurvePanel->setObjectName(QStringLiteral("CurvePanel"));
    SetTwips(CurvePanel, 240, 5250, 16415, CurvePanelHeightTwips);
    ResponseCurve = new ResponseCurveView(CurvePanel);
    ResponseCurve->setObjectName(QStringLiteral("ResponseCurve"));

    AvoidClippingBox = NewCheckBox(CurvePanel, QStringLiteral("AvoidClippingBox"), QStringLiteral("Avoid clipping"));
    AsDrawnBox = NewCheckBox(CurvePanel, QStringLiteral("AsDrawnBox"), QStringLiteral("As drawn"));
    AvoidClippingBox->setToolTip(QStringLiteral("Lowers a channel that would go above full scale"));
    AsDrawnBox->setToolTip(QStringLiteral("Sets the bands so that the curve passes through the sliders"));
    // Every way of ticking a box counts: a click, the keyboard and a screen
    // reader's action; the window sets the boxes with their signals
    // blocked as it follows the settings.
    connect(AvoidClippingBox, &QCheckBox::toggled, this, [this](bool on) { SetAvoidClipping(on); });
    connect(AsDrawnBox, &QCheckBox::toggled, this, [this](bool on) { SetAsDrawn(on); });

    PreampLabel = NewNote(CurvePanel, QStringLiteral("PreampLabel"));
    PreampLabel->setText(QStringLiteral("Preamp"));
    PreampLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const QString side = channel == EqualizerSettings::Left ? QStringLiteral("Left") : QStringLiteral("Right");
        auto *box = new QDoubleSpinBox(CurvePanel);
        box->setObjectName(QStringLiteral("PreampBox_%1").arg(channel));
        box->setRange(EqualizerSettings::PreampTenthsMinimum / 10.0, EqualizerSettings::PreampTenthsMaximum / 10.0);
        box->setDecimals(1);
        box->setSingleStep(0.1);
        box->setSuffix(QStringLiteral(" dB"));
        // Typed digits count once the entry is done, not at every key.
        box->setKeyboardTracking(false);
        box->setAccessibleName(side + QLatin1String(" preamp"));
        box->setToolTip(side + QLatin1String(" preamp: raises or lowers the whole channel ahead of its bands"));
        SetTextColour(box, ResponseCurveView::ChannelColour(channel), QPalette::Text);
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, channel](double db) { SetPreamp(channel, db); });
        PreampBox.append(box);
    }
    PreampLabel->setBuddy(PreampBox[0]);

    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        QLabel *peak = NewNote(CurvePanel, QStringLiteral("PeakLabel_%1").arg(channel));
        SetTextColour(peak, ResponseCurveView::ChannelColour(channel));
        PeakLabel.append(peak);
    }
    ClipWarning = NewNote(CurvePanel, QStringLiteral("ClipWarning"));
    DeviationWarning = NewNote(CurvePanel, QStringLiteral("DeviationWarning"));
    for (QLabel *warning : {ClipWarning, DeviationWarning}) {
        warning->setWordWrap(true);
        SetTextColour(warning, WarningColour);
    }
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel)
        ResponseCurve->ShowPlan(channel, mSession.SourceSampleRate(), mSession.Plan(channel));
    ShowResponseTexts();
}

void Form1::PlaceCurvePanel()
{
    if (!CurvePanel)
        return;
    const double innerWidth = width() * TwipsPerPixel;
    const QRectF viewport = Twips(Picture1[0]);
    const double top = viewport.y() + viewport.height() + 5;
    // Under the band panels, down to the status line at most.
    const double height = std::clamp(Twips(StatusLine).y() - 5 - top, 0.0, CurvePanelHeightTwips);
    // To the options panel's right edge, so the column lines up under it.
    const double panelWidth = std::max(ColumnWidth, innerWidth - 10 - viewport.x());
    SetTwips(CurvePanel, viewport.x(), top, panelWidth, height);
    const double column = panelWidth - ColumnWidth;
    SetTwips(ResponseCurve, 0, 0, std::max(0.0, column - 120), height);

    SetTwips(AvoidClippingBox, column, 0, ColumnWidth, RowHeight);
    SetTwips(AsDrawnBox, column, RowHeight + 15, ColumnWidth, RowHeight);
    // The label as wide as its text and a blank, the boxes share the rest.
    const double preampTop = 2 * (RowHeight + 15);
    const double boxHeight = std::max(RowHeight, PreampBox[0]->sizeHint().height() * TwipsPerPixel);
    const double labelWidth = (PreampLabel->sizeHint().width() + PreampLabel->fontMetrics().horizontalAdvance(QLatin1Char(' ')))
        * TwipsPerPixel;
    const double boxWidth = (ColumnWidth - labelWidth - 60) / 2;
    SetTwips(PreampLabel, column, preampTop, labelWidth, boxHeight);
    for (int channel = 0; channel < PreampBox.size(); ++channel)
        SetTwips(PreampBox[channel], column + labelWidth + channel * (boxWidth + 60), preampTop, boxWidth, boxHeight);
    const double peaksTop = preampTop + boxHeight + 75;
    for (int channel = 0; channel < PeakLabel.size(); ++channel)
        SetTwips(PeakLabel[channel], column, peaksTop + channel * 255, ColumnWidth, 255);
    // Each warning takes the lines its words wrap into.
    double columnBottom = peaksTop + 2 * 255 + 60;
    for (QLabel *warning : {ClipWarning, DeviationWarning}) {
        const double lines = warning->text().isEmpty()
            ? 0 : warning->heightForWidth(TwipsToPixels(ColumnWidth)) * TwipsPerPixel;
        SetTwips(warning, column, columnBottom, ColumnWidth, lines);
        columnBottom += lines;
    }
    // Where the curve would be squeezed below what it can draw, or its column
    // cut, it gives way; it shows with the band panels.
    const double useful = std::max(ResponseCurve->minimumSizeHint().height() * TwipsPerPixel, columnBottom);
    CurvePanel->setVisible(!Picture1[2]->isHidden() && height >= useful);
}

void Form1::SetAvoidClipping(bool on)
{
    mSession.SetAvoidClipping(on);
}

void Form1::SetAsDrawn(bool on)
{
    mSession.SetAsDrawn(on);
}

void Form1::SetPreamp(int channel, double db)
{
    mSession.SetPreamp(channel, db);
}

void Form1::ShowPreamps(const EqualizerSettings &settings)
{
    for (int channel = 0; channel < PreampBox.size(); ++channel) {
        const QSignalBlocker blocker(PreampBox[channel]);
        PreampBox[channel]->setValue(settings.channels[channel].PreampDb());
    }
}

void Form1::ShowResponseTexts()
{
    QStringList clips;
    QStringList deviations;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const ChannelPlan &plan = mSession.Plan(channel);
        const QString name = channel == EqualizerSettings::Left ? QStringLiteral("Left: ") : QStringLiteral("Right: ");
        if (channel < PeakLabel.size())
            PeakLabel[channel]->setText(name + ChannelPlanText::PeakText(plan));
        clips << ChannelPlanText::ClipWarning(channel, plan);
        deviations << ChannelPlanText::DeviationWarning(channel, plan);
    }
    clips.removeAll(QString());
    deviations.removeAll(QString());
    const QString clipText = clips.join(QLatin1Char('\n'));
    const QString deviationText = deviations.join(QLatin1Char('\n'));
    if (clipText == ClipWarning->text() && deviationText == DeviationWarning->text())
        return;
    ClipWarning->setText(clipText);
    DeviationWarning->setText(deviationText);
    // The warnings' lines decide the column's height.
    PlaceCurvePanel();
}
