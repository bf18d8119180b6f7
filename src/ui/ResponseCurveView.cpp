// Paints both curves, the slider points and the labels by hand with QPainter.
#include "ui/ResponseCurveView.h"

#include "dsp/AsDrawn.h"
#include "core/equalizer/ChannelChain.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QColor LeftColour(0x1f, 0x5f, 0xbf);   // blue
const QColor RightColour(0xd0, 0x40, 0x2a);  // red
const QColor InactiveColour(0x9a, 0x9a, 0x9a);
const QColor GridColour(0xdc, 0xdc, 0xdc);
const QColor LeftOutShade(0xee, 0xee, 0xee);

const int MarginLeft = 40;
const int MarginRight = 10;
const int MarginBottom = 18;
const int PointRadius = 3;

QString ChannelName(int channel)
{
    return channel == EqualizerSettings::Left ? QStringLiteral("Left") : QStringLiteral("Right");
}

QString FrequencyLabel(double frequency)
{
    return frequency >= 1000 ? QString::number(frequency / 1000) + QLatin1Char('k') : QString::number(frequency);
}

// Maps frequencies and dB to pixels inside the plot rectangle.
struct Axes
{
    QRectF plot;
    double lowestFrequency, highestFrequency, lowestDb, highestDb;

    double X(double frequency) const
    {
        return plot.left() + plot.width() * std::log(frequency / lowestFrequency)
            / std::log(highestFrequency / lowestFrequency);
    }
    double Y(double db) const
    {
        return plot.bottom() - plot.height() * (std::clamp(db, lowestDb, highestDb) - lowestDb) / (highestDb - lowestDb);
    }
};

// The smallest step of 3, 6, 12... dB that keeps the grid to 8 lines.
double GridStep(double span)
{
    double step = 3;
    while (span / step > 8)
        step *= 2;
    return step;
}

} // namespace

QColor ResponseCurveView::ChannelColour(int channel)
{
    return channel == EqualizerSettings::Left ? LeftColour : RightColour;
}

ResponseCurveView::ResponseCurveView(QWidget *parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Response curve"));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    // The default settings until the main window shows its plans.
    ChannelPlanner flat;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        flat.Update(EqualizerSettings(), channel, 0, std::numeric_limits<double>::quiet_NaN());
        ShowPlan(channel, 0, flat.Plan(channel));
    }
}

void ResponseCurveView::ShowPlan(int channel, int sampleRate, const ChannelPlan &plan)
{
    if (!EqualizerSettings::IsChannel(channel))
        return;
    mSampleRate = sampleRate;
    ChannelCurve &view = mChannels[channel];
    view.chain = plan.chain;
    view.curve = plan.curve;
    view.sliderDb = plan.sliderDb;
    view.solved = plan.asDrawn ? std::optional<Gains>(plan.chain.gainsDb) : std::nullopt;
    view.deviationDb = AsDrawn::LargestDeviationDb(view.chain, view.curve, view.sliderDb);
    Announce();
}

QString ResponseCurveView::PeakText(int channel) const
{
    if (!EqualizerSettings::IsChannel(channel))
        return QString();
    const ChannelResponse::Curve &curve = mChannels[channel].curve;
    if (curve.silent)
        return ChannelName(channel) + QLatin1String(" channel silent");
    return ChannelName(channel) + QLatin1String(" peak ")
        + QString::fromStdString(ChannelResponse::SignedDbText(curve.peakDb)) + QLatin1String(" dB");
}

QString ResponseCurveView::DeviationText(int channel) const
{
    if (!EqualizerSettings::IsChannel(channel))
        return QString();
    return ChannelName(channel) + QLatin1String(" curve off the sliders by up to ")
        + QString::number(mChannels[channel].deviationDb, 'f', 1) + QLatin1String(" dB");
}

void ResponseCurveView::Announce()
{
    setAccessibleDescription(PeakText(EqualizerSettings::Left) + QLatin1String(". ")
                             + PeakText(EqualizerSettings::Right) + QLatin1String(". ")
                             + DeviationText(EqualizerSettings::Left) + QLatin1String(". ")
                             + DeviationText(EqualizerSettings::Right) + QLatin1Char('.'));
    update();
}

QSize ResponseCurveView::sizeHint() const
{
    return QSize(640, 240);
}

QSize ResponseCurveView::minimumSizeHint() const
{
    return QSize(320, 150);
}

void ResponseCurveView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();
    const double sampleRate = ChannelChain::CurveSampleRate(mSampleRate);
    const double halfRate = sampleRate / 2;
    const double top = ChannelResponse::TopFrequency(sampleRate);
    // Bands at or above half the rate stay visible as left out: the axis
    // then runs on to the highest band, the part past half the rate shaded.
    bool bandsLeftOut = false;
    for (const ChannelCurve &view : mChannels)
        for (const double frequency : view.chain.bandFrequencies)
            bandsLeftOut = bandsLeftOut || frequency >= halfRate;

    double lowest = -12, highest = 12;
    for (const ChannelCurve &view : mChannels) {
        for (const double db : view.curve.db)
            if (std::isfinite(db)) {
                lowest = std::min(lowest, db);
                highest = std::max(highest, db);
            }
        const double level = view.curve.silent ? 0 : view.curve.levelDb;
        for (const double db : view.sliderDb) {
            lowest = std::min(lowest, db + level);
            highest = std::max(highest, db + level);
        }
    }
    lowest = std::max(lowest, highest - 240);
    const double step = GridStep(highest - lowest);
    Axes axes{QRectF(MarginLeft, 2 * line + 6, width() - MarginLeft - MarginRight,
                     height() - 2 * line - 6 - MarginBottom),
              ChannelResponse::LowestFrequency, bandsLeftOut ? ChannelResponse::HighestFrequency : top,
              std::floor(lowest / step) * step, std::ceil(highest / step) * step};
    if (axes.plot.width() < 10 || axes.plot.height() < 10)
        return;

    if (bandsLeftOut)
        painter.fillRect(QRectF(QPointF(axes.X(top), axes.plot.top()), axes.plot.bottomRight()), LeftOutShade);
    painter.setPen(GridColour);
    for (double decade = 10; decade < axes.highestFrequency; decade *= 10)
        for (int multiple = 1; multiple < 10; ++multiple) {
            const double frequency = decade * multiple;
            if (frequency > axes.lowestFrequency && frequency < axes.highestFrequency)
                painter.drawLine(QPointF(axes.X(frequency), axes.plot.top()),
                                 QPointF(axes.X(frequency), axes.plot.bottom()));
        }
    for (double db = axes.lowestDb; db <= axes.highestDb; db += step) {
        painter.setPen(db == 0 ? palette().color(QPalette::Mid) : GridColour);
        painter.drawLine(QPointF(axes.plot.left(), axes.Y(db)), QPointF(axes.plot.right(), axes.Y(db)));
        painter.setPen(palette().color(QPalette::Text));
        const QString label = db > 0 ? QLatin1Char('+') + QString::number(db) : QString::number(db);
        painter.drawText(QRectF(0, axes.Y(db) - line / 2.0, MarginLeft - 4, line), Qt::AlignRight | Qt::AlignVCenter,
                         label);
    }
    for (const double frequency : {20., 50., 100., 200., 500., 1000., 2000., 5000., 10000., 20000.})
        if (frequency <= axes.highestFrequency)
            painter.drawText(QRectF(axes.X(frequency) - 30, axes.plot.bottom() + 2, 60, MarginBottom),
                             Qt::AlignHCenter | Qt::AlignTop, FrequencyLabel(frequency));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(axes.plot);

    painter.save();
    painter.setClipRect(axes.plot.adjusted(-PointRadius - 1, -PointRadius - 1, PointRadius + 1, PointRadius + 1));
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const ChannelCurve &view = mChannels[channel];
        // The right curve dashed, so it stays visible where both are the same.
        QPen pen(ChannelColour(channel), 2, channel == EqualizerSettings::Left ? Qt::SolidLine : Qt::DashLine);
        if (!view.curve.silent) {
            QPainterPath path;
            for (size_t i = 0; i < view.curve.frequencies.size(); ++i) {
                const QPointF point(axes.X(view.curve.frequencies[i]), axes.Y(view.curve.db[i]));
                if (i == 0)
                    path.moveTo(point);
                else
                    path.lineTo(point);
            }
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(path);
        }
        const double level = view.curve.silent ? 0 : view.curve.levelDb;
        for (int band = 0; band < EqualizerSettings::BandCount; ++band) {
            const QPointF point(axes.X(view.chain.bandFrequencies[band]), axes.Y(view.sliderDb[band] + level));
            const bool inChain = view.chain.inChain[band];
            painter.setPen(QPen(inChain ? ChannelColour(channel) : InactiveColour, 1));
            painter.setBrush(inChain ? QBrush(ChannelColour(channel)) : QBrush(Qt::NoBrush));
            painter.drawEllipse(point, PointRadius, PointRadius);
        }
    }
    painter.restore();

    // The legend: each channel's line style, peak and distance from the sliders.
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const double y = 2 + channel * line + line / 2.0;
        painter.setPen(QPen(ChannelColour(channel), 2, channel == EqualizerSettings::Left ? Qt::SolidLine : Qt::DashLine));
        painter.drawLine(QPointF(MarginLeft, y), QPointF(MarginLeft + 24, y));
        painter.setPen(ChannelColour(channel));
        painter.drawText(QRectF(MarginLeft + 30, y - line / 2.0, width() - MarginLeft - 30 - MarginRight, line),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         PeakText(channel) + QLatin1String("   ") + DeviationText(channel));
    }
    if (bandsLeftOut) {
        painter.setPen(InactiveColour);
        painter.setBrush(Qt::NoBrush);
        const QString text = QStringLiteral("left out: at or above half the sample rate");
        const double right = width() - MarginRight;
        const double y = 2 + line / 2.0;
        painter.drawText(QRectF(right - metrics.horizontalAdvance(text), y - line / 2.0,
                                metrics.horizontalAdvance(text), line),
                         Qt::AlignRight | Qt::AlignVCenter, text);
        painter.drawEllipse(QPointF(right - metrics.horizontalAdvance(text) - 8, y), PointRadius, PointRadius);
    }
}
