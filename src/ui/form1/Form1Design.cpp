// The main window's controls as designed: geometry in twips, texts, colours.
// The band arrays hold element 0 only; BuildBandPanels copies the rest.
#include "ui/Colours.h"
#include "ui/form1/Form1.h"
#include "ui/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>

#include <utility>

namespace {

QString IndexedName(const char *name, int index)
{
    return QLatin1String(name) + QLatin1Char('_') + QString::number(index);
}

QFrame *NewPanel(QWidget *parent, const QString &name, const QRectF &twips, bool border)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(name);
    if (border)
        panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    SetTwips(panel, twips);
    return panel;
}

QLabel *NewLabel(QWidget *parent, const QString &name, const QString &text, const QRectF &twips,
                 double pointSize = 0, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(alignment);
    if (pointSize > 0) {
        QFont font = label->font();
        font.setPointSizeF(pointSize);
        label->setFont(font);
    }
    SetTwips(label, twips);
    return label;
}

QLabel *NewLamp(QWidget *parent, const QString &name, double left, double top, bool lit)
{
    auto *lamp = new QLabel(parent);
    lamp->setObjectName(name);
    lamp->setFrameStyle(QFrame::Box | QFrame::Plain);
    SetBackColour(lamp, lit ? LampOnColour : LampOffColour);
    SetTwips(lamp, left, top, 135, 135);
    return lamp;
}

QRadioButton *NewOption(QWidget *parent, const QString &name, const QString &text, const QRectF &twips,
                        bool selected)
{
    auto *option = new QRadioButton(text, parent);
    option->setObjectName(name);
    option->setChecked(selected);
    SetTwips(option, twips);
    return option;
}

QPushButton *NewButton(QWidget *parent, const QString &name, const QString &text, const QRectF &twips)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    SetTwips(button, twips);
    return button;
}

QFrame *NewLine(QWidget *parent, const char *name, int colour)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    SetBackColour(line, colour);
    return line;
}

QSlider *NewLevelSlider(QWidget *parent, int index, double left)
{
    auto *slider = new QSlider(Qt::Vertical, parent);
    slider->setObjectName(IndexedName("Slider1", index));
    slider->setRange(-10, 10);
    slider->setPageStep(5);
    slider->setSingleStep(1);
    slider->setTickPosition(QSlider::TicksBothSides);
    slider->setTickInterval(1);
    // Minimum at the top; keys and wheel move the handle the way it looks.
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
    SetTwips(slider, left, 600, 555, 2055);
    return slider;
}

QSlider *NewBandSlider(QWidget *panel, const char *name)
{
    auto *slider = new QSlider(Qt::Vertical, panel);
    slider->setObjectName(IndexedName(name, 0));
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

} // namespace

void Form1::CreateDesignControls()
{
    // The design's client area; start-up sets the outer height.
    resize(TwipsToPixels(16665), TwipsToPixels(7830));

    Command2 = NewButton(this, QStringLiteral("Command2"), QStringLiteral("Open"),
                         QRectF(240, 120, 1095, 315));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    SetTwips(Text1, 1440, 120, 15135, 315);

    Picture1.resize(12);
    Picture1[0] = NewPanel(this, IndexedName("Picture1", 0), QRectF(240, 480, 11895, 5055), false);
    HScroll1 = new QScrollBar(Qt::Horizontal, Picture1[0]);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setRange(0, 32767);
    SetTwips(HScroll1, 0, 4680, 12495, 255);
    Picture1[1] = NewPanel(Picture1[0], IndexedName("Picture1", 1), QRectF(0, 0, 12735, 4575), false);
    SetBackColour(Picture1[1], PanelGreyColour);
    Picture1[2] = NewPanel(Picture1[1], IndexedName("Picture1", 2), QRectF(120, 0, 12255, 2250), false);
    Picture1[3] = NewPanel(Picture1[1], IndexedName("Picture1", 3), QRectF(120, 2400, 12255, 2250), false);
    for (int panel : {2, 3}) {
        // The band panels keep the window's colour over the grey canvas.
        Picture1[panel]->setAutoFillBackground(true);
    }

    LeftChanelSlider = {NewBandSlider(Picture1[2], "LeftChanelSlider")};
    RightChanelSlider = {NewBandSlider(Picture1[3], "RightChanelSlider")};
    Label1 = {NewLabel(Picture1[2], IndexedName("Label1", 0), QStringLiteral("0"), QRectF(0, 0, 315, 195))};
    Label2 = {NewLabel(Picture1[2], IndexedName("Label2", 0), QStringLiteral("00"), QRectF(0, 2235, 315, 195))};
    Label5 = {NewLabel(Picture1[3], IndexedName("Label5", 0), QStringLiteral("0"), QRectF(0, 0, 315, 195))};
    Label6 = {NewLabel(Picture1[3], IndexedName("Label6", 0), QStringLiteral("00"), QRectF(0, 2235, 315, 195))};
    Label3 = {NewLabel(Picture1[2], IndexedName("Label3", 0), QString(), QRectF(0, 2235, 12255, 15))};
    Label7 = {NewLabel(Picture1[3], IndexedName("Label7", 0), QString(), QRectF(0, 2235, 12255, 15))};
    SetBackColour(Label3[0], StripGreyColour);
    SetBackColour(Label7[0], StripGreyColour);
    Line3 = NewLine(Picture1[2], "Line3", PanelGreyColour);
    Line5 = NewLine(Picture1[3], "Line5", PanelGreyColour);
    ConnectBandSlider(LeftChanelSlider[0], true, 0);
    ConnectBandSlider(RightChanelSlider[0], false, 0);

    CreateOptionsPanel();

    StatusLine = NewLabel(this, QStringLiteral("StatusLine"), QString(), QRectF(240, 5835, 16185, 255));
    StatusLine->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Picture2 = NewPanel(this, QStringLiteral("Picture2"), QRectF(240, 5760, 16215, 3255), false);
    SetBackColour(Picture2, PanelGreyColour);
    Picture2->installEventFilter(this);
    for (QPlainTextEdit **box : {&Text2, &Text3}) {
        *box = new QPlainTextEdit(Picture2);
        (*box)->setLineWrapMode(QPlainTextEdit::NoWrap);
        (*box)->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        (*box)->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        (*box)->setTabChangesFocus(true);
        (*box)->setFocusPolicy(Qt::ClickFocus);
    }
    Text2->setObjectName(QStringLiteral("Text2"));
    Text3->setObjectName(QStringLiteral("Text3"));
    SetTwips(Text2, 0, 0, 15615, 1455);
    SetTwips(Text3, 0, 1560, 15615, 1515);

    CreateCurvePanel();

    // The options panel overlaps the right end of the band viewport.
    Picture1[4]->raise();
}

void Form1::CreateOptionsPanel()
{
    QWidget *options = Picture1[4] =
        NewPanel(this, IndexedName("Picture1", 4), QRectF(13200, 600, 3375, 4935), true);
    options->setAutoFillBackground(true);
    QFont small = options->font();
    // "Both Chanels" has 1260 twips beside its button and lamp.
    small.setPointSizeF(7);
    options->setFont(small);

    const auto group = [&](int index, const QRectF &twips) {
        Picture1[index] = NewPanel(options, IndexedName("Picture1", index), twips, true);
        return Picture1[index];
    };
    const Qt::Alignment centred = Qt::AlignCenter;

    QWidget *levels = group(5, QRectF(120, 120, 1695, 2895));
    Label11 = NewLabel(levels, QStringLiteral("Label11"), QStringLiteral("Gain Levels"),
                       QRectF(0, 60, 1695, 240), 6.75, centred);
    Line4 = NewLine(levels, "Line4", PanelGreyColour);
    SetTwips(Line4, 120, 1627.5, 1455, 15);
    Slider1 = {NewLevelSlider(levels, 0, 120), NewLevelSlider(levels, 1, 960)};
    Label9 = {NewLabel(levels, IndexedName("Label9", 0), QString(), QRectF(375, 360, 105, 210)),
              NewLabel(levels, IndexedName("Label9", 1), QString(), QRectF(1215, 360, 105, 210)),
              // Under the sliders' foot at 2655.
              NewLabel(levels, IndexedName("Label9", 2), QStringLiteral("Left"), QRectF(240, 2655, 375, 255)),
              NewLabel(levels, IndexedName("Label9", 3), QStringLiteral("Right"), QRectF(1080, 2655, 375, 255))};
    for (QLabel *label : std::as_const(Label9))
        AutoSizeLabel(label);

    // Two choices under a title, each with its lamp; the first is selected.
    const auto pair = [&](QWidget *panel, QVector<QRadioButton *> &options, QVector<QLabel *> &lamps,
                          const char *optionName, const char *lampName, const QStringList &texts,
                          double firstTop, double rowHeight) {
        for (int index = 0; index < texts.size(); ++index) {
            const double top = firstTop + index * rowHeight;
            options.append(NewOption(panel, IndexedName(optionName, index), texts[index],
                                     QRectF(90, top, 1000, 255), index == 0));
            lamps.append(NewLamp(panel, IndexedName(lampName, index), 1110, top + 60, index == 0));
        }
    };

    QWidget *range = group(6, QRectF(1920, 120, 1335, 975));
    Label13 = NewLabel(range, QStringLiteral("Label13"), QStringLiteral("EQ Range"),
                       QRectF(0, 45, 1335, 210), 0, centred);
    pair(range, Option1, Label15, "Option1", "Label15",
         {QStringLiteral("+/- 12db"), QStringLiteral("+/-  6db")}, 330, 300);

    QWidget *lowCut = group(7, QRectF(1920, 1200, 1335, 855));
    Label12 = NewLabel(lowCut, QStringLiteral("Label12"), QStringLiteral("Low Cut Filter"),
                       QRectF(0, 45, 1335, 210), 0, centred);
    pair(lowCut, Option2, Label16, "Option2", "Label16", {QStringLiteral("OFF"), QStringLiteral("ON")},
         285, 270);

    QWidget *sync = group(9, QRectF(1920, 2160, 1335, 855));
    Label18 = NewLabel(sync, QStringLiteral("Label18"), QStringLiteral("Left Chanel Sync"),
                       QRectF(0, 45, 1335, 210), 6.75, centred);
    pair(sync, Option4, Label19, "Option4", "Label19", {QStringLiteral("OFF"), QStringLiteral("ON")},
         285, 270);

    QWidget *bandwidth = group(11, QRectF(1920, 3120, 1335, 735));
    Label14 = NewLabel(bandwidth, QStringLiteral("Label14"), QStringLiteral(" Bandwidth 001 hz"),
                       QRectF(0, 30, 1335, 210), 6.75, centred);
    Slider2 = new QSlider(Qt::Horizontal, bandwidth);
    Slider2->setObjectName(QStringLiteral("Slider2"));
    Slider2->setRange(1, 300);
    Slider2->setValue(1);
    Slider2->setPageStep(50);
    Slider2->setSingleStep(10);
    Slider2->setTickPosition(QSlider::TicksBelow);
    Slider2->setTickInterval(50);
    SetTwips(Slider2, -120, 240, 1455, 495);

    Command1.resize(3);
    // The panel is as tall as the band viewport, 4765 twips: the bottom
    // groups end inside its frame.
    QWidget *buttons = group(10, QRectF(1920, 3960, 1335, 790));
    // "Save As" ends where "Reset" starts.
    Command1[1] = NewButton(buttons, IndexedName("Command1", 1), QStringLiteral("Save As"),
                            QRectF(-120, 0, 1575, 415));
    Command1[2] = NewButton(buttons, IndexedName("Command1", 2), QStringLiteral("Reset"),
                            QRectF(-120, 415, 1575, 375));

    QWidget *preview = group(8, QRectF(120, 3120, 1695, 1630));
    Label10 = NewLabel(preview, QStringLiteral("Label10"), QStringLiteral("Audio Preview"),
                       QRectF(0, 45, 1695, 210), 0, centred);
    const QStringList channels = {QStringLiteral("Left Only"), QStringLiteral("Right Only"),
                                  QStringLiteral("Both Chanels")};
    for (int index = 0; index < channels.size(); ++index) {
        const double top = 300 + index * 240;
        Option3.append(NewOption(preview, IndexedName("Option3", index), channels[index],
                                 QRectF(120, top, 1260, 240), index == 0));
        Label17.append(NewLamp(preview, IndexedName("Label17", index), 1440, top + 52, index == 0));
    }
    Command1[0] = NewButton(preview, IndexedName("Command1", 0), QStringLiteral("Preview"),
                            QRectF(120, 1080, 1455, 495));

    // The mid mark runs behind the level sliders.
    Line4->lower();
    ConnectOptionsPanel();
}
