// The preview's window.
#include "ui/PreviewWindow.h"

#include "ui/Twips.h"
#include "jobs/PreviewJob.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTextCursor>
#include <QTimer>

#include <cmath>

namespace {

QLabel *MakeLabel(QWidget *parent, int index, const QString &text,
                  double left, double top, double width, double height)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label1_%1").arg(index));
    SetTwips(label, left, top, width, height);
    return label;
}

const char *const Headings[] = {"Previewing Left Chanel", "Previewing Right Chanel",
                                "Previewing Both Chanels"};

} // namespace

PreviewWindow::PreviewWindow(QWidget *owner)
    : QWidget(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form4"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The user goes on shaping the sound on the main window while it plays.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Audio Preview"));
    if (owner)
        setWindowIcon(owner->windowIcon());

    // The face and size the design's texts fit, as in the import window.
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    setFont(font);

    Label1 << MakeLabel(this, 0, QLatin1String(Headings[2]), 360, 240, 4095, 255)
           << MakeLabel(this, 1, QStringLiteral("Playing."), 360, 600, 5655, 450)
           << MakeLabel(this, 2, QString(), 360, 1440, 4095, 255);
    Label1[1]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label1[1]->setWordWrap(true);
    Label1[1]->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Bypass = new QCheckBox(QStringLiteral("Bypass"), this);
    Bypass->setObjectName(QStringLiteral("Bypass"));
    Bypass->setToolTip(QStringLiteral("The untouched sound while held on (B)"));
    SetTwips(Bypass, 360, 1080, 1800, 300);
    // B switches wherever the focus is, so the user can compare while
    // moving the main window's sliders; a text field still takes the letter.
    auto *bypassKey = new QShortcut(QKeySequence(Qt::Key_B), this);
    bypassKey->setContext(Qt::ApplicationShortcut);
    connect(bypassKey, &QShortcut::activated, Bypass, &QCheckBox::toggle);
    connect(Bypass, &QCheckBox::toggled, this, [this](bool on) {
        if (mJob)
            mJob->SetBypass(on);
    });

    Command1 = new QPushButton(QStringLiteral("Stop"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    SetTwips(Command1, 4800, 1200, 1215, 375);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);

    Position = new QSlider(Qt::Horizontal, this);
    Position->setObjectName(QStringLiteral("Position"));
    Position->setAccessibleName(QStringLiteral("Position"));
    Position->setRange(0, 0);
    SetTwips(Position, 360, 1680, 5655, 300);
    // A drag plays on from where it is let go; a key, a click on the groove
    // or a value set by a screen reader at once. The player's own position
    // moves it too, and that is no choice.
    connect(Position, &QSlider::sliderReleased, this, &PreviewWindow::PositionChosen);
    connect(Position, &QSlider::valueChanged, this, [this] {
        if (!mShowingPosition && !Position->isSliderDown())
            PositionChosen();
    });

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    SetTwips(Picture1, 120, 2760, 9615, 1575);

    Text1 = new QPlainTextEdit(Picture1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setReadOnly(true);
    // A log has nothing to undo; keeping the history would grow with it.
    Text1->setUndoRedoEnabled(false);
    SetTwips(Text1, 360, 240, 9015, 1215);

    SetFixedOuterSizeTwips(this, 6495, 2685);
    ShowPosition(0);
}

QString PreviewWindow::ClockText(double seconds)
{
    const long whole = std::isfinite(seconds) && seconds > 0 ? long(seconds) : 0;
    const QString secondsText = QStringLiteral("%1").arg(whole % 60, 2, 10, QLatin1Char('0'));
    if (whole < 3600)
        return QStringLiteral("%1:%2").arg(whole / 60).arg(secondsText);
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600)
        .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(secondsText);
}

void PreviewWindow::ShowPreview(int channel, double durationSeconds)
{
    Label1[0]->setText(QLatin1String(Headings[channel >= 0 && channel <= 2 ? channel : 2]));
    mDuration = std::isfinite(durationSeconds) && durationSeconds > 0 ? durationSeconds : 0;
    mShowingPosition = true;
    Position->setRange(0, int(std::ceil(mDuration)));
    mShowingPosition = false;
    ShowPosition(0);
}

void PreviewWindow::ShowPosition(double seconds)
{
    if (!Position->isSliderDown()) {
        mShowingPosition = true;
        Position->setValue(int(seconds));
        mShowingPosition = false;
    }
    Label1[2]->setText(QStringLiteral("Position %1 of %2").arg(ClockText(seconds), ClockText(mDuration)));
}

void PreviewWindow::ShowNote(const QString &note)
{
    Label1[1]->setText(note);
    Label1[1]->setToolTip(note);
    AppendLog(note);
}

void PreviewWindow::ShowFailure(const QString &failure)
{
    Label1[1]->setText(failure);
    Label1[1]->setToolTip(failure);
    Command1->setText(QStringLiteral("Close"));
    AppendLog(failure);
}

void PreviewWindow::AppendLog(const QString &chunk)
{
    QTextCursor end(Text1->document());
    end.movePosition(QTextCursor::End);
    end.insertText(chunk + QLatin1Char('\n'));
}

void PreviewWindow::WatchJob(PreviewJob *job)
{
    mJob = job;
}

void PreviewWindow::PositionChosen()
{
    if (mJob)
        mJob->Seek(Position->value());
}

void PreviewWindow::closeEvent(QCloseEvent *event)
{
    mUnloading = true;
    // Closing ends the preview: the player stops with it.
    if (mJob)
        mJob->Cancel();
    event->accept();
}
