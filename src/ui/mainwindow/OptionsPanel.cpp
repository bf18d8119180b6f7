// The options panel as the design draws it, and how it follows the session.
#include "ui/mainwindow/OptionsPanel.h"

#include "core/equalizer/OutputLevel.h"
#include "session/Session.h"
#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/Twips.h"
#include "ui/mainwindow/DesignControls.h"
#include "ui/mainwindow/WindowShortcuts.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include <functional>
#include <utility>

using namespace DesignControls;

namespace {

QSlider *NewLevelSlider(QWidget *parent, int index, double left)
{
    auto *slider = new QSlider(Qt::Vertical, parent);
    slider->setObjectName(IndexedName(QStringLiteral("Slider1"), index));
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

QString BandwidthReadout(int position)
{
    return QStringLiteral(" Bandwidth %1 hz").arg(position, 3, 10, QLatin1Char('0'));
}

// The readout's text; its "-0" would be read out as "minus zero".
QString LevelValueText(int position)
{
    const QString readout = OutputLevelFromPosition(qint16(position)).readout;
    return readout == QLatin1String("-0") ? QStringLiteral("0") : readout;
}

} // namespace

QString OptionsPanel::BandwidthText(int position)
{
    return position == 1 ? QStringLiteral("1 octave") : QStringLiteral("%1 octaves").arg(position);
}

QFrame *OptionsPanel::Group(int index, const QRectF &twips)
{
    mGroups[index] = NewPanel(this, IndexedName(QStringLiteral("Picture1"), index), twips, true);
    return mGroups[index];
}

OptionsPanel::OptionsPanel(Session &session, QWidget *window)
    : QFrame(window)
    , mSession(session)
    , mGroups(12, nullptr)
{
    setObjectName(QStringLiteral("Picture1_4"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    SetTwips(this, 13200, 600, 3375, 4935);
    setAutoFillBackground(true);
    QFont small = font();
    // "Both Chanels" has 1260 twips beside its button and lamp.
    small.setPointSizeF(7);
    setFont(small);
    const Qt::Alignment centred = Qt::AlignCenter;

    QWidget *levels = Group(5, QRectF(120, 120, 1695, 2895));
    NewLabel(levels, QStringLiteral("Label11"), QStringLiteral("Gain Levels"), QRectF(0, 60, 1695, 240), 6.75, centred);
    mLevelMidLine = NewLine(levels, QStringLiteral("Line4"), PanelGreyColour);
    SetTwips(mLevelMidLine, 120, 1627.5, 1455, 15);
    mLevels = {NewLevelSlider(levels, 0, 120), NewLevelSlider(levels, 1, 960)};
    mLevelReadouts = {NewLabel(levels, IndexedName(QStringLiteral("Label9"), 0), QString(), QRectF(375, 360, 105, 210)),
                      NewLabel(levels, IndexedName(QStringLiteral("Label9"), 1), QString(), QRectF(1215, 360, 105, 210)),
                      // Under the sliders' foot at 2655.
                      NewLabel(levels, IndexedName(QStringLiteral("Label9"), 2), QStringLiteral("Left"),
                               QRectF(240, 2655, 375, 255)),
                      NewLabel(levels, IndexedName(QStringLiteral("Label9"), 3), QStringLiteral("Right"),
                               QRectF(1080, 2655, 375, 255))};
    for (QLabel *label : std::as_const(mLevelReadouts))
        AutoSizeLabel(label);
    // The mid mark runs behind the level sliders, at their middle.
    const QRectF level = Twips(mLevels[0]);
    SetTwipsTop(mLevelMidLine, level.y() + level.height() / 2);
    mLevelMidLine->lower();

    // Two choices under a title, each with its lamp; the first is selected.
    const auto pair = [this](QWidget *panel, QVector<QRadioButton *> &options, QVector<QLabel *> &lamps,
                             const char *optionName, const char *lampName, const QStringList &texts,
                             double firstTop, double rowHeight) {
        for (int index = 0; index < texts.size(); ++index) {
            const double top = firstTop + index * rowHeight;
            options.append(NewOption(panel, IndexedName(QLatin1String(optionName), index), texts[index],
                                     QRectF(90, top, 1000, 255), index == 0));
            lamps.append(NewLamp(panel, IndexedName(QLatin1String(lampName), index), 1110, top + 60, index == 0));
        }
    };

    QWidget *range = Group(6, QRectF(1920, 120, 1335, 975));
    NewLabel(range, QStringLiteral("Label13"), QStringLiteral("EQ Range"), QRectF(0, 45, 1335, 210), 0, centred);
    pair(range, mRange, mRangeLamps, "Option1", "Label15", {QStringLiteral("+/- 12db"), QStringLiteral("+/-  6db")},
         330, 300);

    QWidget *lowCut = Group(7, QRectF(1920, 1200, 1335, 855));
    NewLabel(lowCut, QStringLiteral("Label12"), QStringLiteral("Low Cut Filter"), QRectF(0, 45, 1335, 210), 0, centred);
    pair(lowCut, mLowCut, mLowCutLamps, "Option2", "Label16", {QStringLiteral("OFF"), QStringLiteral("ON")}, 285, 270);

    QWidget *sync = Group(9, QRectF(1920, 2160, 1335, 855));
    NewLabel(sync, QStringLiteral("Label18"), QStringLiteral("Left Chanel Sync"), QRectF(0, 45, 1335, 210), 6.75, centred);
    pair(sync, mSync, mSyncLamps, "Option4", "Label19", {QStringLiteral("OFF"), QStringLiteral("ON")}, 285, 270);

    QWidget *bandwidth = Group(11, QRectF(1920, 3120, 1335, 735));
    mBandwidthReadout = NewLabel(bandwidth, QStringLiteral("Label14"), QStringLiteral(" Bandwidth 001 hz"),
                                 QRectF(0, 30, 1335, 210), 6.75, centred);
    mBandwidth = new QSlider(Qt::Horizontal, bandwidth);
    mBandwidth->setObjectName(QStringLiteral("Slider2"));
    mBandwidth->setRange(1, 300);
    mBandwidth->setValue(1);
    mBandwidth->setPageStep(50);
    mBandwidth->setSingleStep(10);
    mBandwidth->setTickPosition(QSlider::TicksBelow);
    mBandwidth->setTickInterval(50);
    SetTwips(mBandwidth, -120, 240, 1455, 495);

    mButtons.resize(3);
    // The panel is as tall as the band viewport, 4765 twips: the bottom
    // groups end inside its frame.
    QWidget *buttons = Group(10, QRectF(1920, 3960, 1335, 790));
    // "Save As" ends where "Reset" starts.
    mButtons[SaveAs] = NewButton(buttons, QStringLiteral("Command1_1"), QStringLiteral("Save As"),
                                 QRectF(-120, 0, 1575, 415));
    mButtons[Reset] = NewButton(buttons, QStringLiteral("Command1_2"), QStringLiteral("Reset"),
                                QRectF(-120, 415, 1575, 375));

    QWidget *preview = Group(8, QRectF(120, 3120, 1695, 1630));
    NewLabel(preview, QStringLiteral("Label10"), QStringLiteral("Audio Preview"), QRectF(0, 45, 1695, 210), 0, centred);
    const QStringList channels = {QStringLiteral("Left Only"), QStringLiteral("Right Only"),
                                  QStringLiteral("Both Chanels")};
    for (int index = 0; index < channels.size(); ++index) {
        const double top = 300 + index * 240;
        mPreviewChannel.append(NewOption(preview, IndexedName(QStringLiteral("Option3"), index), channels[index],
                                         QRectF(120, top, 1260, 240), index == 0));
        mPreviewLamps.append(NewLamp(preview, IndexedName(QStringLiteral("Label17"), index), 1440, top + 52, index == 0));
    }
    mButtons[Preview] = NewButton(preview, QStringLiteral("Command1_0"), QStringLiteral("Preview"),
                                  QRectF(120, 1080, 1455, 495));
    for (int index = 0; index < mButtons.size(); ++index)
        connect(mButtons[index], &QPushButton::clicked, this, [this, index] { emit buttonClicked(Button(index)); });

    for (int channel = 0; channel < mLevels.size(); ++channel) {
        connect(mLevels[channel], &QSlider::valueChanged, this,
                [this, channel](int position) { mSession.SetLevelPosition(channel, qint16(position)); });
    }
    connect(mBandwidth, &QSlider::valueChanged, this, [this](int position) { mSession.SetBandwidth(position); });
    // A drag passes many positions; undo takes it back in one step.
    for (QSlider *slider : {mLevels[0], mLevels[1], mBandwidth}) {
        connect(slider, &QSlider::sliderPressed, &mSession, &Session::BeginGesture);
        connect(slider, &QSlider::sliderReleased, &mSession, &Session::EndGesture);
    }

    // A choice reacts when it becomes selected; clicking the selected one
    // again changes nothing (it would otherwise flatten every band).
    const auto connectChoices = [this](const QVector<QRadioButton *> &choices, std::function<void(int)> chosen) {
        for (int index = 0; index < choices.size(); ++index) {
            connect(choices[index], &QRadioButton::toggled, this, [chosen, index](bool selected) {
                if (selected)
                    chosen(index);
            });
        }
    };
    connectChoices(mRange, [this](int index) {
        mSession.SetRange(index == 0 ? EqualizerSettings::WideRange : EqualizerSettings::NarrowRange);
    });
    connectChoices(mLowCut, [this](int index) { mSession.SetLowCut(index != 0); });
    connectChoices(mSync, [this](int index) { mSession.SetSync(index != 0); });
    connectChoices(mPreviewChannel, [this](int index) { emit previewChannelChosen(index); });
}

void OptionsPanel::NameControls()
{
    // Four positions make one step of volume.
    const SliderMeaning level{-0.25, LevelValueText};
    mLevels[0]->setAccessibleName(QStringLiteral("Left gain level"));
    mLevels[1]->setAccessibleName(QStringLiteral("Right gain level"));
    SetSliderMeaning(mLevels[0], level);
    SetSliderMeaning(mLevels[1], level);
    mBandwidth->setAccessibleName(QStringLiteral("Bandwidth"));
    SetSliderMeaning(mBandwidth, SliderMeaning{1.0, BandwidthText});

    // The visible texts are terse ("OFF", "+/- 12db"); the names say which
    // option they belong to.
    const std::pair<QWidget *, const char *> named[] = {
        {mRange[0], "EQ range \u00b112 dB"},
        {mRange[1], "EQ range \u00b16 dB"},
        {mLowCut[0], "Low cut filter off"},
        {mLowCut[1], "Low cut filter on"},
        {mSync[0], "Left channel sync off"},
        {mSync[1], "Left channel sync on"},
        {mPreviewChannel[0], "Preview left only"},
        {mPreviewChannel[1], "Preview right only"},
        {mPreviewChannel[2], "Preview both channels"},
    };
    for (const auto &[control, name] : named)
        control->setAccessibleName(QString::fromUtf8(name));

    NameGroup(this, QStringLiteral("Options"));
    const std::pair<int, const char *> groups[] = {
        {5, "Gain Levels"}, {6, "EQ Range"}, {7, "Low Cut Filter"}, {8, "Audio Preview"},
        {9, "Left channel sync"}, {11, "Bandwidth"},
    };
    for (const auto &[index, name] : groups)
        NameGroup(mGroups[index], QString::fromLatin1(name));
}

void OptionsPanel::AddShortcuts(WindowShortcuts &shortcuts)
{
    shortcuts.Add(mButtons[Preview], QKeySequence(Qt::Key_Space));
    shortcuts.Add(mButtons[SaveAs], QKeySequence(Qt::CTRL | Qt::Key_S));
    shortcuts.Add(mButtons[Reset], QKeySequence(Qt::CTRL | Qt::Key_R));
}

QList<QWidget *> OptionsPanel::TabOrder() const
{
    return {mLevels[0], mLevels[1], mRange[0], mRange[1], mLowCut[0], mLowCut[1], mSync[0], mSync[1],
            mBandwidth, mPreviewChannel[0], mPreviewChannel[1], mPreviewChannel[2],
            mButtons[Preview], mButtons[SaveAs], mButtons[Reset]};
}

void OptionsPanel::PlaceLeft(double innerWidth)
{
    SetTwipsLeft(this, innerWidth - Twips(this).width() - 10);
}

void OptionsPanel::PlaceBeside(const QRectF &viewport)
{
    SetTwipsTop(this, viewport.y());
    SetTwipsHeight(this, viewport.height());
}

void OptionsPanel::Show(const EqualizerSettings &settings)
{
    const auto choose = [](const QVector<QRadioButton *> &choices, const QVector<QLabel *> &lamps, int index) {
        if (index < choices.size() && !choices[index]->isChecked()) {
            const QSignalBlocker blocker(choices[index]);
            choices[index]->setChecked(true);
        }
        SetLamps(lamps, index);
    };
    choose(mRange, mRangeLamps, settings.range == EqualizerSettings::WideRange ? 0 : 1);
    choose(mLowCut, mLowCutLamps, settings.lowCut ? 1 : 0);
    choose(mSync, mSyncLamps, settings.sync ? 1 : 0);
    {
        const QSignalBlocker blocker(mBandwidth);
        mBandwidth->setValue(settings.bandwidth);
    }
    mBandwidthReadout->setText(BandwidthReadout(settings.bandwidth));
    const QString tip = QStringLiteral("Every band is %1 wide (the readout's \"hz\" are octaves)")
                            .arg(BandwidthText(settings.bandwidth));
    mBandwidthReadout->setToolTip(tip);
    mBandwidth->setToolTip(tip);
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const int position = settings.channels[channel].levelPosition;
        {
            const QSignalBlocker blocker(mLevels[channel]);
            mLevels[channel]->setValue(position);
        }
        SetAutoSizeText(mLevelReadouts[channel], OutputLevelFromPosition(qint16(position)).readout);
    }
}

void OptionsPanel::SelectPreviewChannel(int channel)
{
    const QSignalBlocker blocker(mPreviewChannel[channel]);
    mPreviewChannel[channel]->setChecked(true);
}

void OptionsPanel::ShowPreviewChannel(int channel)
{
    SetLamps(mPreviewLamps, channel);
}

void OptionsPanel::ShowSequence(bool idle, bool previewing, bool sourceImported)
{
    const QString needsSource = sourceImported ? QString() : QStringLiteral("Open a source first");
    mButtons[Preview]->setText(previewing ? QStringLiteral("Stop") : QStringLiteral("Preview"));
    mButtons[Preview]->setEnabled(previewing || (idle && sourceImported));
    mButtons[Preview]->setToolTip(previewing ? QString() : needsSource);
    mButtons[SaveAs]->setEnabled(idle && sourceImported);
    mButtons[SaveAs]->setToolTip(needsSource);
    mButtons[Reset]->setEnabled(idle || previewing);
}

QString OptionsPanel::ButtonText(Button button) const
{
    return mButtons[button]->text();
}
