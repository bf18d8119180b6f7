// The main window by keyboard: Tab order, one Tab stop per band row with
// the arrow keys inside it, and a shortcut for each button.
#include "ui/form1/Form1.h"
#include "ui/Twips.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {

constexpr int PageBandSteps = 3; // 3 dB

QString ShortcutLine(const QKeySequence &keys)
{
    return QLatin1String("Shortcut: ") + keys.toString(QKeySequence::NativeText);
}

class MainWindowKeys : public QObject
{
public:
    explicit MainWindowKeys(Form1 *form)
        : QObject(form), mForm(form)
    {
    }

    void AddShortcut(QPushButton *button, const QKeySequence &keys)
    {
        // A shortcut of the button itself would go with its next text
        // ("Preview" and "Stop" take turns).
        auto *shortcut = new QShortcut(keys, mForm);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, button, [button] {
            if (button->isEnabled())
                button->animateClick();
        });
        mShortcuts.insert(button, keys);
        AppendShortcut(button);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn:
            if (auto *slider = qobject_cast<QSlider *>(watched))
                BandFocused(slider);
            break;
        case QEvent::KeyPress:
            if (auto *slider = qobject_cast<QSlider *>(watched))
                return BandKey(slider, static_cast<QKeyEvent *>(event));
            break;
        case QEvent::ShortcutOverride: {
            // Space presses a focused button or selects a focused choice,
            // as everywhere; only elsewhere does it start the preview.
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier
                && qobject_cast<QAbstractButton *>(watched)) {
                event->accept();
                return true;
            }
            break;
        }
        case QEvent::ToolTipChange:
            if (auto *button = qobject_cast<QPushButton *>(watched))
                AppendShortcut(button);
            break;
        default:
            break;
        }
        return false;
    }

private:
    // Whatever the window says in a button's tooltip, the shortcut follows.
    void AppendShortcut(QPushButton *button)
    {
        const auto keys = mShortcuts.constFind(button);
        if (keys == mShortcuts.constEnd())
            return;
        const QString line = ShortcutLine(*keys);
        const QString tip = button->toolTip();
        if (!tip.endsWith(line))
            button->setToolTip(tip.isEmpty() ? line : tip + QLatin1Char('\n') + line);
    }

    const QVector<QSlider *> *RowOf(QSlider *slider) const
    {
        if (mForm->LeftChanelSlider.contains(slider))
            return &mForm->LeftChanelSlider;
        if (mForm->RightChanelSlider.contains(slider))
            return &mForm->RightChanelSlider;
        return nullptr;
    }

    // The focused band becomes its row's only Tab stop, and the canvas
    // scrolls to show it with its caption.
    void BandFocused(QSlider *slider)
    {
        const QVector<QSlider *> *row = RowOf(slider);
        if (!row)
            return;
        for (QSlider *band : *row)
            band->setFocusPolicy(band == slider ? Qt::StrongFocus : Qt::ClickFocus);

        const int index = int(row->indexOf(slider));
        const QVector<QLabel *> &captions = row == &mForm->LeftChanelSlider ? mForm->Label1 : mForm->Label5;
        const QRectF band = Twips(slider);
        const double left = band.x() - band.width() / 2;
        const double right = std::max(band.x() + band.width(), Twips(captions[index]).right()) + band.width() / 2;
        const double shown = Twips(mForm->Picture1[4]).x() - Twips(mForm->Picture1[0]).x();
        double scroll = mForm->HScroll1->value();
        if (left < scroll)
            scroll = left;
        else if (right > scroll + shown)
            scroll = right - shown;
        mForm->HScroll1->setValue(int(std::lround(scroll)));
    }

    // The keys move the handle as a drag does, so the readout, the chain
    // and the sync follow as they follow the user's own moves.
    bool BandKey(QSlider *slider, QKeyEvent *key)
    {
        const QVector<QSlider *> *row = RowOf(slider);
        if (!row || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        const int index = int(row->indexOf(slider));
        switch (key->key()) {
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

    Form1 *mForm;
    QHash<QPushButton *, QKeySequence> mShortcuts;
};

} // namespace

void Form1::SetUpKeyboard()
{
    auto *keys = new MainWindowKeys(this);
    keys->AddShortcut(Command2, QKeySequence(Qt::CTRL | Qt::Key_O));
    keys->AddShortcut(Command1[0], QKeySequence(Qt::Key_Space));
    keys->AddShortcut(Command1[1], QKeySequence(Qt::CTRL | Qt::Key_S));
    keys->AddShortcut(Command1[2], QKeySequence(Qt::CTRL | Qt::Key_R));
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        button->installEventFilter(keys);

    // Tab reaches each band row once, at its first band until another is
    // focused; the arrow keys go on inside the row.
    for (const QVector<QSlider *> *row : {&LeftChanelSlider, &RightChanelSlider}) {
        for (QSlider *band : *row) {
            band->setFocusPolicy(band == row->constFirst() ? Qt::StrongFocus : Qt::ClickFocus);
            band->installEventFilter(keys);
        }
    }
    // Only what the user sets is on the Tab path; the path box shows a
    // choice made with "Open".
    Text1->setFocusPolicy(Qt::ClickFocus);

    QList<QWidget *> order{Command2};
    for (QSlider *band : std::as_const(LeftChanelSlider))
        order << band;
    for (QSlider *band : std::as_const(RightChanelSlider))
        order << band;
    order << Slider1[0] << Slider1[1] << Option1[0] << Option1[1] << Option2[0] << Option2[1]
          << Option4[0] << Option4[1] << Slider2 << Option3[0] << Option3[1] << Option3[2]
          << Command1[0] << Command1[1] << Command1[2];
    // The curve's check boxes and preamps stand under the options panel.
    order << AvoidClippingBox << AsDrawnBox << PreampBox[0] << PreampBox[1];
    // Presets keeps settings rather than changing them: after the buttons.
    if (PresetsButton)
        order << PresetsButton;
    for (int index = 1; index < order.size(); ++index)
        setTabOrder(order[index - 1], order[index]);
}
