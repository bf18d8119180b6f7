// The main window's parts, their layout on every resize, and what they show
// as the session follows a change.
#include "ui/mainwindow/MainWindow.h"

#include "ui/Accessibility.h"
#include "ui/Twips.h"
#include "ui/mainwindow/BandPanel.h"
#include "ui/mainwindow/ChainPanel.h"
#include "ui/mainwindow/CurvePanel.h"
#include "ui/mainwindow/DesignControls.h"
#include "ui/mainwindow/OptionsPanel.h"
#include "ui/mainwindow/PresetsController.h"
#include "ui/mainwindow/PreviewController.h"
#include "ui/mainwindow/WindowShortcuts.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <algorithm>

using namespace DesignControls;

namespace {

// Below the status line, as above the "Open" button.
constexpr double BottomMargin = 120;

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

} // namespace

MainWindow::MainWindow(Session &session, QWidget *parent)
    : QWidget(parent)
    , mSession(session)
    , mShownBandwidth(EqualizerSettings().bandwidth)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Loading..."));
    setAcceptDrops(true);
    // The design's client area; start-up sets the outer height.
    resize(TwipsToPixels(16665), TwipsToPixels(7830));

    mOpenButton = NewButton(this, QStringLiteral("Command2"), QStringLiteral("Open"), QRectF(240, 120, 1095, 315));
    mSourcePath = new QLineEdit(this);
    mSourcePath->setObjectName(QStringLiteral("Text1"));
    SetTwips(mSourcePath, 1440, 120, 15135, 315);
    mBands = new BandPanel(mSession, this);
    mOptions = new OptionsPanel(mSession, this);
    mStatusLine = NewLabel(this, QStringLiteral("StatusLine"), QString(), QRectF(240, 5835, 16185, 255));
    mStatusLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    mChains = new ChainPanel(mSession, this);
    mCurve = new CurvePanel(mSession, this);
    // The options panel overlaps the right end of the band viewport.
    mOptions->raise();
    mPresets = new PresetsController(mSession, this);
    mPreview = new PreviewController(mSession, this);

    connect(mOpenButton, &QPushButton::clicked, this, [this] { OpenSourceFile(); });
    connect(mOptions, &OptionsPanel::buttonClicked, this, [this](OptionsPanel::Button button) { ButtonClicked(button); });
    connect(mOptions, &OptionsPanel::previewChannelChosen, this, &MainWindow::PreviewChannelChosen);
    UpdateSequenceButtons();

    // The session follows each outermost change once, so a left move with
    // sync on redraws each chain box once, not 66 times.
    connect(&mSession, &Session::Followed, this, &MainWindow::FollowModel);
    connect(&mSession, &Session::SequencesChanged, this, &MainWindow::UpdateSequenceButtons);
}

MainWindow::~MainWindow()
{
    // The progress windows are children and go after this part of the
    // window: what they tell the session on their way must not reach it.
    disconnect(&mSession, nullptr, this, nullptr);
}

void MainWindow::HideUntilBuilt()
{
    mBands->HideRows();
    mOptions->hide();
    // Settings wait until the window is ready: the curve panel and its
    // check boxes hide with the band panels, and "Presets" waits too.
    mPresets->Button()->setEnabled(false);
}

void MainWindow::BuildBandPanels(std::function<void()> ready)
{
    mBands->Build();
    NameControls();
    SetUpKeyboard();

    show();
    const auto shown = [this, ready = std::move(ready)] {
        mBands->ShowRows();
        mOptions->show();
        mPresets->Button()->setEnabled(true);
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

void MainWindow::FinishStartUp()
{
    // -4 is the position of volume 1, and each chain box shows its level
    // until its chain is first built. The model starts at -4 as well, so
    // moving one slider there would set the other one quietly and leave its
    // box empty: each channel is set in turn.
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel)
        mSession.SetLevelPosition(channel, -4);
    setWindowTitle(QStringLiteral("Brenvox"));
    // A resize: lays the window out.
    SetHeightTwips(StartHeightTwips);
    mChains->hide();
    mOptions->ShowPreviewChannel(0);
    ArrangeMainWindow();
    CheckTools();
    SetUpUndo();
}

void MainWindow::NameControls()
{
    setAccessibleName(QStringLiteral("Brenvox"));
    InstallAccessibility(this);
    mSourcePath->setAccessibleName(QStringLiteral("Source file"));
    const char *const captionNames[] = {"LeftChanelCaption", "RightChanelCaption"};
    const QString captions[] = {QStringLiteral("Left channel"), QStringLiteral("Right channel")};
    for (int channel = 0; channel < 2; ++channel) {
        auto *caption = new RowCaption(captions[channel], this);
        caption->setObjectName(QLatin1String(captionNames[channel]));
        const QRectF row = mBands->RowTwips(channel);
        SetTwips(caption, 15, row.y(), row.x() - 30, row.height());
        mRowCaptions[channel] = caption;
    }
    mOptions->NameControls();
    mPresets->NameControls();
}

// Tab order, the shortcut of each button, and Space left to a focused
// button; the band rows handle their own keys.
void MainWindow::SetUpKeyboard()
{
    auto *shortcuts = new WindowShortcuts(this);
    shortcuts->Add(mOpenButton, QKeySequence(Qt::CTRL | Qt::Key_O));
    mOptions->AddShortcuts(*shortcuts);
    shortcuts->WatchButtons();
    // Only what the user sets is on the Tab path; the path box shows a
    // choice made with "Open".
    mSourcePath->setFocusPolicy(Qt::ClickFocus);

    // The curve's check boxes and preamps stand under the options panel;
    // "Presets" keeps settings rather than changing them: after the buttons.
    const QList<QWidget *> order = QList<QWidget *>{mOpenButton} + mBands->TabOrder() + mOptions->TabOrder()
        + mCurve->TabOrder() + QList<QWidget *>{mPresets->Button()};
    for (int index = 1; index < order.size(); ++index)
        setTabOrder(order[index - 1], order[index]);
}

void MainWindow::SetUpUndo()
{
    mSession.StartHistory();
    auto *undo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    connect(undo, &QShortcut::activated, this, &MainWindow::UndoSettings);
    for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}) {
        auto *redo = new QShortcut(keys, this);
        connect(redo, &QShortcut::activated, this, &MainWindow::RedoSettings);
    }
}

void MainWindow::UndoSettings()
{
    mSession.Undo();
}

void MainWindow::RedoSettings()
{
    mSession.Redo();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The exact twips height stays while the pixels agree with it, so 9345
    // and 9346 (both 623 pixels) remain different heights.
    const int outerPixels = frameGeometry().height();
    if (TwipsToPixels(mHeightTwips) != outerPixels)
        mHeightTwips = outerPixels * TwipsPerPixel;
    ArrangeMainWindow();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    mPresets->StopProfileImports();
    CleanUnload();
    event->accept();
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const auto *change = static_cast<QWindowStateChangeEvent *>(event);
    if ((change->oldState() & Qt::WindowMinimized) && !isMinimized())
        ArrangeMainWindow();
}

void MainWindow::ArrangeMainWindow()
{
    if (isMinimized())
        return;
    const double innerWidth = width() * TwipsPerPixel;
    mChains->setVisible(mHeightTwips > StartHeightTwips);

    mOptions->PlaceLeft(innerWidth);
    mBands->Arrange(Twips(mOptions).x());
    const QRectF viewport = Twips(mBands);
    mOptions->PlaceBeside(viewport);
    // "Presets" stands as far from the right edge as "Open" from the left;
    // the path box fills the row between them.
    QPushButton *presets = mPresets->Button();
    SetTwipsLeft(presets, innerWidth - Twips(mOpenButton).x() - Twips(presets).width());
    SetTwipsLeft(mSourcePath, Twips(mOpenButton).x() + Twips(mOpenButton).width() + 5);
    SetTwipsWidth(mSourcePath, Twips(presets).x() - 5 - Twips(mSourcePath).x());
    // However short the user makes it, the window keeps the band panels, the
    // options panel beside them and the status line: the line says what
    // nothing else does (a missing tool, bands that do nothing).
    const double viewportBottom = viewport.y() + viewport.height();
    const int minimumInner = TwipsToPixels(viewportBottom + 5 + Twips(mStatusLine).height() + BottomMargin);
    if (minimumHeight() != minimumInner)
        setMinimumHeight(minimumInner);
    // The status line keeps the bottom of the window. The curve under the
    // band panels takes what is left above it, up to its own height; the
    // chain panel takes everything between the curve and the status line,
    // so a taller window shows more of both chains.
    const double innerHeight = height() * TwipsPerPixel;
    const double statusTop = innerHeight - BottomMargin - Twips(mStatusLine).height();
    SetTwips(mStatusLine, viewport.x(), statusTop, innerWidth - 2 * viewport.x(), Twips(mStatusLine).height());
    PlaceCurvePanel();
    const double chainTop = viewportBottom + 5 + CurvePanel::FullHeightTwips + 5;
    // As wide as the status line: wider, the window's edge would cut off the
    // boxes' scroll bars.
    SetTwips(mChains, viewport.x(), chainTop, innerWidth - 2 * viewport.x(), statusTop - 5 - chainTop);
    mChains->Arrange();
}

void MainWindow::PlaceCurvePanel()
{
    mCurve->Place(Twips(mBands), Twips(mStatusLine).y(), width() * TwipsPerPixel, mBands->RowsShown());
}

double MainWindow::HeightTwips() const
{
    return mHeightTwips;
}

void MainWindow::SetHeightTwips(double height)
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

void MainWindow::FollowModel(bool leftPlanChanged, bool rightPlanChanged)
{
    const EqualizerSettings &settings = mSession.Settings();
    // First: the sliders' range must hold the gains.
    mOptions->Show(settings);
    mBands->Show(settings);
    if (settings.bandwidth != mShownBandwidth) {
        mShownBandwidth = settings.bandwidth;
        ShowBandwidthBands();
    }
    mChains->Show();
    // The warnings' lines decide the curve column's height.
    if (mCurve->Show(settings, {leftPlanChanged, rightPlanChanged}))
        PlaceCurvePanel();
}

void MainWindow::ButtonClicked(int button)
{
    if (PreviewRunning()) {
        StopPreview();
        if (button == OptionsPanel::Preview)
            return; // it read "Stop"
    } else if (SequenceRunning()) {
        return;
    }
    if (button != OptionsPanel::Reset && !SourceImported()) {
        // The source went after the buttons were last set.
        UpdateSequenceButtons();
        auto *box = new QMessageBox(QMessageBox::Information, mOptions->ButtonText(OptionsPanel::Button(button)),
                                    QStringLiteral("Open a source first"), QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("OpenSourceFirst"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
        return;
    }
    switch (button) {
    case OptionsPanel::Preview:
        StartPreview(mSession.PreviewChannel());
        break;
    case OptionsPanel::SaveAs:
        SaveOutputAs();
        break;
    case OptionsPanel::Reset:
        ResetEqualizer();
        break;
    default:
        break;
    }
}

void MainWindow::PreviewChannelChosen(int channel)
{
    // A preview of the former choice ends with it; the next one makes a
    // runner of its own.
    StopPreview();
    mSession.SetPreviewChannel(channel);
    mOptions->ShowPreviewChannel(channel);
}

void MainWindow::UpdateSequenceButtons()
{
    const bool idle = !SequenceRunning();
    mOpenButton->setEnabled(idle && mReady);
    mOptions->ShowSequence(idle, PreviewRunning(), SourceImported());
}
