// What a screen reader hears in the main window: names for every control,
// value texts for the sliders, and the captions that name the band rows.
#include "ui/Accessibility.h"
#include "ui/form1/Form1.h"
#include "ui/Twips.h"
#include "core/equalizer/BandTable.h"
#include "core/equalizer/OutputLevel.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>

#include <cstdlib>

namespace {

// A caption written upwards in the window's left margin beside a band row,
// where nothing else is drawn. A label has no upward text: it keeps the
// caption as its name, which is also what a screen reader reads.
class RowCaption : public QLabel
{
public:
    RowCaption(const QString &caption, QWidget *parent)
        : QLabel(parent)
    {
        setAccessibleName(caption);
        QFont font = this->font();
        font.setPointSizeF(7);
        font.setBold(true);
        setFont(font);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.translate(0, height());
        painter.rotate(-90);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(0, 0, height(), width()), Qt::AlignCenter, accessibleName());
    }
};

// Slider positions are negated gains: a position of -5 is a boost of 5 dB.
QString BandValueText(int position)
{
    if (position == 0)
        return QStringLiteral("0 dB");
    return (position < 0 ? QLatin1Char('+') : QLatin1Char('-')) + QString::number(std::abs(position))
        + QLatin1String(" dB");
}

// The readout's text; its "-0" would be read out as "minus zero".
QString LevelValueText(int position)
{
    const QString readout = OutputLevelFromPosition(qint16(position)).readout;
    return readout == QLatin1String("-0") ? QStringLiteral("0") : readout;
}

// "19hz" is read as "19 Hz"; "1K" stays as it is shown.
QString BandName(const QString &channel, int band)
{
    QString frequency = BandTable::Caption(band).trimmed();
    if (frequency.endsWith(QLatin1String("hz")))
        frequency = frequency.chopped(2) + QLatin1String(" Hz");
    return channel + QLatin1Char(' ') + frequency + QLatin1String(" band");
}

void Name(QWidget *widget, const QString &name)
{
    widget->setAccessibleName(name);
}

} // namespace

void Form1::NameControls()
{
    Name(this, QStringLiteral("Brenvox"));
    InstallAccessibility(this);

    const struct { QWidget *panel; QString name; } rows[] = {
        {Picture1[2], QStringLiteral("Left channel")},
        {Picture1[3], QStringLiteral("Right channel")},
    };
    const QRectF viewport = Twips(Picture1[0]);
    for (const auto &row : rows) {
        NameGroup(row.panel, row.name);
        auto *caption = new RowCaption(row.name, this);
        caption->setObjectName(row.panel == Picture1[2] ? QStringLiteral("LeftChanelCaption")
                                                        : QStringLiteral("RightChanelCaption"));
        const QRectF panel = Twips(row.panel);
        SetTwips(caption, 15, viewport.y() + panel.y(), viewport.x() - 30, panel.height());
        ChannelCaption.append(caption);
    }

    const SliderMeaning band{-1.0, BandValueText};
    for (int index = 0; index < LeftChanelSlider.size(); ++index) {
        Name(LeftChanelSlider[index], BandName(QStringLiteral("Left"), index));
        SetSliderMeaning(LeftChanelSlider[index], band);
    }
    for (int index = 0; index < RightChanelSlider.size(); ++index) {
        Name(RightChanelSlider[index], BandName(QStringLiteral("Right"), index));
        SetSliderMeaning(RightChanelSlider[index], band);
    }
    // Four positions make one step of volume.
    const SliderMeaning level{-0.25, LevelValueText};
    Name(Slider1[0], QStringLiteral("Left gain level"));
    Name(Slider1[1], QStringLiteral("Right gain level"));
    SetSliderMeaning(Slider1[0], level);
    SetSliderMeaning(Slider1[1], level);
    Name(Slider2, QStringLiteral("Bandwidth"));
    SetSliderMeaning(Slider2, SliderMeaning{1.0, BandwidthText});

    // The visible texts are terse ("OFF", "+/- 12db"); the names say which
    // option they belong to.
    const struct { QWidget *control; const char *name; } named[] = {
        {Text1, "Source file"},
        {HScroll1, "Scroll the bands"},
        {Text2, "Left filter chain"},
        {Text3, "Right filter chain"},
        {Option1[0], "EQ range \u00b112 dB"},
        {Option1[1], "EQ range \u00b16 dB"},
        {Option2[0], "Low cut filter off"},
        {Option2[1], "Low cut filter on"},
        {Option4[0], "Left channel sync off"},
        {Option4[1], "Left channel sync on"},
        {Option3[0], "Preview left only"},
        {Option3[1], "Preview right only"},
        {Option3[2], "Preview both channels"},
    };
    for (const auto &control : named)
        Name(control.control, QString::fromUtf8(control.name));

    const struct { int panel; const char *name; } groups[] = {
        {4, "Options"}, {5, "Gain Levels"}, {6, "EQ Range"}, {7, "Low Cut Filter"},
        {8, "Audio Preview"}, {9, "Left channel sync"}, {11, "Bandwidth"},
    };
    for (const auto &group : groups)
        NameGroup(Picture1[group.panel], QString::fromLatin1(group.name));
    SetMenuOfButton(PresetsButton, PresetsMenu);
}
