#include "ui/mainwindow/CurvePanel.h"

#include "core/equalizer/ChannelPlan.h"
#include "session/Session.h"
#include "ui/ResponseCurveView.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
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

CurvePanel::CurvePanel(Session &session, QWidget *window)
    : QWidget(window)
    , mSession(session)
{
    setObjectName(QStringLiteral("CurvePanel"));
    SetTwips(this, 240, 5250, 16415, FullHeightTwips);
    mCurve = new ResponseCurveView(this);
    mCurve->setObjectName(QStringLiteral("ResponseCurve"));

    mAvoidClipping = NewCheckBox(this, QStringLiteral("AvoidClippingBox"), QStringLiteral("Avoid clipping"));
    mAsDrawn = NewCheckBox(this, QStringLiteral("AsDrawnBox"), QStringLiteral("As drawn"));
    mAvoidClipping->setToolTip(QStringLiteral("Lowers a channel that would go above full scale"));
    mAsDrawn->setToolTip(QStringLiteral("Sets the bands so that the curve passes through the sliders"));
    // Every way of ticking a box counts; the panel sets the boxes with their
    // signals blocked as it follows the settings.
    connect(mAvoidClipping, &QCheckBox::toggled, this, [this](bool on) { mSession.SetAvoidClipping(on); });
    connect(mAsDrawn, &QCheckBox::toggled, this, [this](bool on) { mSession.SetAsDrawn(on); });

    mPreampLabel = NewNote(this, QStringLiteral("PreampLabel"));
    mPreampLabel->setText(QStringLiteral("Preamp"));
    mPreampLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const QString side = channel == EqualizerSettings::Left ? QStringLiteral("Left") : QStringLiteral("Right");
        auto *box = new QDoubleSpinBox(this);
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
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, channel](double db) { mSession.SetPreamp(channel, db); });
        mPreamps[channel] = box;

        mPeaks[channel] = NewNote(this, QStringLiteral("PeakLabel_%1").arg(channel));
        SetTextColour(mPeaks[channel], ResponseCurveView::ChannelColour(channel));
    }
    mPreampLabel->setBuddy(mPreamps[0]);

    mClipWarning = NewNote(this, QStringLiteral("ClipWarning"));
    mDeviationWarning = NewNote(this, QStringLiteral("DeviationWarning"));
    for (QLabel *warning : {mClipWarning, mDeviationWarning}) {
        warning->setWordWrap(true);
        SetTextColour(warning, WarningColour);
    }
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel)
        mCurve->ShowPlan(channel, mSession.SourceSampleRate(), mSession.Plan(channel));
    ShowResponseTexts();
}

QList<QWidget *> CurvePanel::TabOrder() const
{
    return {mAvoidClipping, mAsDrawn, mPreamps[0], mPreamps[1]};
}

void CurvePanel::Place(const QRectF &viewport, double statusTop, double innerWidth, bool rowsShown)
{
    const double top = viewport.y() + viewport.height() + 5;
    const double height = std::clamp(statusTop - 5 - top, 0.0, FullHeightTwips);
    // To the options panel's right edge, so the column lines up under it.
    const double panelWidth = std::max(ColumnWidth, innerWidth - 10 - viewport.x());
    SetTwips(this, viewport.x(), top, panelWidth, height);
    const double column = panelWidth - ColumnWidth;
    SetTwips(mCurve, 0, 0, std::max(0.0, column - 120), height);

    SetTwips(mAvoidClipping, column, 0, ColumnWidth, RowHeight);
    SetTwips(mAsDrawn, column, RowHeight + 15, ColumnWidth, RowHeight);
    // The label as wide as its text and a blank, the boxes share the rest.
    const double preampTop = 2 * (RowHeight + 15);
    const double boxHeight = std::max(RowHeight, mPreamps[0]->sizeHint().height() * TwipsPerPixel);
    const double labelWidth =
        (mPreampLabel->sizeHint().width() + mPreampLabel->fontMetrics().horizontalAdvance(QLatin1Char(' ')))
        * TwipsPerPixel;
    const double boxWidth = (ColumnWidth - labelWidth - 60) / 2;
    SetTwips(mPreampLabel, column, preampTop, labelWidth, boxHeight);
    for (int channel = 0; channel < 2; ++channel)
        SetTwips(mPreamps[channel], column + labelWidth + channel * (boxWidth + 60), preampTop, boxWidth, boxHeight);
    const double peaksTop = preampTop + boxHeight + 75;
    for (int channel = 0; channel < 2; ++channel)
        SetTwips(mPeaks[channel], column, peaksTop + channel * 255, ColumnWidth, 255);
    // Each warning takes the lines its words wrap into.
    double columnBottom = peaksTop + 2 * 255 + 60;
    for (QLabel *warning : {mClipWarning, mDeviationWarning}) {
        const double lines =
            warning->text().isEmpty() ? 0 : warning->heightForWidth(TwipsToPixels(ColumnWidth)) * TwipsPerPixel;
        SetTwips(warning, column, columnBottom, ColumnWidth, lines);
        columnBottom += lines;
    }
    const double useful = std::max(mCurve->minimumSizeHint().height() * TwipsPerPixel, columnBottom);
    setVisible(rowsShown && height >= useful);
}

bool CurvePanel::Show(const EqualizerSettings &settings, const std::array<bool, 2> &planChanged)
{
    for (const auto &[box, on] : {std::pair{mAvoidClipping, settings.avoidClipping},
                                   std::pair{mAsDrawn, settings.asDrawn}}) {
        const QSignalBlocker blocker(box);
        box->setChecked(on);
    }
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        {
            const QSignalBlocker blocker(mPreamps[channel]);
            mPreamps[channel]->setValue(settings.channels[channel].PreampDb());
        }
        if (planChanged[channel])
            mCurve->ShowPlan(channel, mSession.SourceSampleRate(), mSession.Plan(channel));
    }
    return ShowResponseTexts();
}

bool CurvePanel::ShowResponseTexts()
{
    QStringList clips;
    QStringList deviations;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const ChannelPlan &plan = mSession.Plan(channel);
        const QString name = channel == EqualizerSettings::Left ? QStringLiteral("Left: ") : QStringLiteral("Right: ");
        mPeaks[channel]->setText(name + ChannelPlanText::PeakText(plan));
        clips << ChannelPlanText::ClipWarning(channel, plan);
        deviations << ChannelPlanText::DeviationWarning(channel, plan);
    }
    clips.removeAll(QString());
    deviations.removeAll(QString());
    const QString clipText = clips.join(QLatin1Char('\n'));
    const QString deviationText = deviations.join(QLatin1Char('\n'));
    if (clipText == mClipWarning->text() && deviationText == mDeviationWarning->text())
        return false;
    mClipWarning->setText(clipText);
    mDeviationWarning->setText(deviationText);
    return true;
}
