// The main window: band panels, options panel, chain display and the buttons
// that start every operation. Its behaviour is split by subsystem over
// app/, equalizer/, import/, preview/ and export/.
#pragma once

#include "dsp/EqualizerSettings.h"

#include <QPointer>
#include <QVector>
#include <QWidget>

#include <array>
#include <memory>

class ChannelPlanner;
class ResponseCurveView;
class SettingsHistory;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;

class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up (app/Form1Layout.cpp)
    void BuildBandPanels();
    void LabelBandsAndShow();
    void ArrangeMainWindow();
    // Names and value texts for screen readers (app/Form1Access.cpp) and
    // the keyboard's ways through the window (app/Form1Keys.cpp), once the
    // band panels are built.
    void NameControls();
    void SetUpKeyboard();
    // The outer height at start-up in twips: the band panels, the response
    // curve under them and the status line. Taller, the window shows the
    // chain boxes too.
    static constexpr double StartHeightTwips = 9345;
    // Where the window has room for it. In a lower window the curve takes
    // what is left above the status line, or gives way to it.
    static constexpr double CurvePanelHeightTwips = 3000;
    // Outer height in twips; setting it is a resize. The window is never lower
    // than the band panels, the options panel and the status line need.
    double HeightTwips() const;
    void SetHeightTwips(double height);

    // Band sliders, sync and reset (equalizer/Form1Bands.cpp)
    void LeftChanelSlider_Scroll(int index);
    void RightChanelSlider_Scroll(int index);
    void SetLeftBandGain(int band, qint16 sliderValue);
    void SetRightBandGain(int band, qint16 sliderValue);
    void CopyLeftBandsToRight();
    // Every band as its slider stands, as a move of each would apply it.
    void ReapplyAllBands();
    void ResetEqualizer();

    // Options panel (equalizer/Form1Options.cpp)
    void SetOutputLevel(int channel, qint16 position);
    void SetEqRange(int choice);
    // A choice selected by the user (or by Reset, which calls these itself).
    void Option1_Click(int index); // EQ range
    void Option2_Click(int index); // low cut
    void Option3_Click(int index); // preview channel
    void Option4_Click(int index); // left chanel sync
    void Slider1_Change(int index); // level slider moved or changed
    void Slider2_Change();          // bandwidth slider moved or changed

    // The response curve and its check boxes (curve/Form1Curve.cpp). The
    // curve, the peaks and the warnings follow the model and the open
    // source; the import's ShowSourceBands calls ShowResponse for a new
    // rate or peak. With "Avoid clipping" or "As drawn" on, a channel's
    // chain is rebuilt whenever what it applies changes.
    void SetAvoidClipping(bool on);
    void SetAsDrawn(bool on);
    void ShowResponse();

    // "Open" (import/OpenSourceFile.cpp)
    void OpenSourceFile();
    // The import of a file chosen without the dialog, as if chosen with it.
    void OpenSource(const QString &path);
    // Files dropped on the window or named on the command line
    // (app/Form1Drop.cpp): one file is opened; anything else is refused on
    // the status line, saying why. Returns whether the import started.
    bool OpenGivenFiles(const QStringList &paths);
    // "Preview" (preview/Form1Preview.cpp); returns when the sequence ends.
    void SoundPreviewing(qint16 IntChanel);
    // Ends the running preview at once: its tool stops and Form4 closes.
    void StopPreview();
    void objDOS_ReceiveOutputs(QString &CommandOutputs);
    // "Save As" (export/SaveOutputAs.cpp)
    void SaveOutputAs();

    // Shutdown (app/Form1Shutdown.cpp): also keeps the settings as "Last
    // settings".
    void CleanUnload();

    // "Presets" (presets/Form1Presets.cpp). Each says what went wrong, or
    // what an import did, in a message box naming the file; a failed load
    // or import changes nothing. Loading sets the settings, nothing runs.
    void LoadPresetFile();      // "Load..."
    void SavePresetFile();      // "Save As..."
    void ImportProfileFile();   // "Import profile..."
    void ExportProfileFile();   // "Export profile..."
    void LoadLastSettings();    // "Last settings"
    bool LoadPreset(const QString &path);
    bool SavePreset(const QString &path);
    bool ImportProfile(const QString &path);
    bool ExportProfile(const QString &path);
    // The settings at the last exit, in the configuration folder.
    static QString LastSettingsPath();

    // The status line at the bottom of the window (app/Form1Status.cpp): what
    // the user should know about the open source and the tools.
    void ShowStatus(const QString &text);
    // Dims the captions of bands the open source's sample rate leaves no
    // room for, and says which they are.
    void ShowSourceBands();
    // The same for bands that cannot act at the source's rate with the
    // bandwidth; follows every bandwidth change.
    void ShowBandwidthBands();
    // Says at start-up when a tool cannot be found, naming where it was
    // looked for.
    void CheckTools();

    // Undo and redo of settings (app/Form1Undo.cpp), from the settings as
    // start-up leaves them: Ctrl+Z, Ctrl+Shift+Z. A slider dragged from
    // press to release is one step. Nothing is run again.
    void SetUpUndo();
    void UndoSettings();
    void RedoSettings();
    SettingsHistory *History = nullptr;

    // While an import, a preview or an export runs, "Open" and "Save As" are
    // disabled. During a preview "Preview" reads "Stop"; it and "Reset" end
    // the preview. During an import or an export "Preview" and "Reset" are
    // disabled too: Reset would cut them short without a word. "Preview"
    // and "Save As" also wait for a source's channel files.
    void SequenceStarted(bool preview = false);
    void SequenceEnded(bool preview = false);
    bool SequenceRunning() const;
    bool PreviewRunning() const;
    // Both channel files are there: the import removes them when it starts
    // and when it fails, and writes them when it succeeds.
    bool SourceImported() const;

    // Controls, named as the design names them (object names carry the index).
    QPushButton *Command2 = nullptr;          // "Open"
    QLineEdit *Text1 = nullptr;               // source path
    QVector<QWidget *> Picture1;              // 0 viewport .. 11 group panels
    QScrollBar *HScroll1 = nullptr;
    QVector<QSlider *> LeftChanelSlider;
    QVector<QSlider *> RightChanelSlider;
    QVector<QLabel *> Label1;                 // left captions
    QVector<QLabel *> Label2;                 // left readouts
    QVector<QLabel *> Label5;                 // right captions
    QVector<QLabel *> Label6;                 // right readouts
    QVector<QLabel *> Label3;                 // left bottom strip
    QVector<QLabel *> Label7;                 // right bottom strip
    QFrame *Line3 = nullptr;
    QFrame *Line5 = nullptr;
    QFrame *Line4 = nullptr;
    QWidget *Picture2 = nullptr;
    QPlainTextEdit *Text2 = nullptr;
    QPlainTextEdit *Text3 = nullptr;
    QVector<QSlider *> Slider1;               // level sliders
    QSlider *Slider2 = nullptr;               // bandwidth
    QVector<QLabel *> Label9;                 // level readouts and captions
    QLabel *Label10 = nullptr;
    QLabel *Label11 = nullptr;
    QLabel *Label12 = nullptr;
    QLabel *Label13 = nullptr;
    QLabel *Label14 = nullptr;
    QLabel *Label18 = nullptr;
    QVector<QRadioButton *> Option1;          // EQ range
    QVector<QRadioButton *> Option2;          // low cut
    QVector<QRadioButton *> Option3;          // preview channel
    QVector<QRadioButton *> Option4;          // left chanel sync
    QVector<QLabel *> Label15;
    QVector<QLabel *> Label16;
    QVector<QLabel *> Label17;
    QVector<QLabel *> Label19;
    QVector<QPushButton *> Command1;          // "Preview", "Save As", "Reset"
    QWidget *Picture3 = nullptr;              // holds the dialogs; never seen
    QLabel *StatusLine = nullptr;             // bottom line: notes on source and tools
    QVector<QLabel *> ChannelCaption;         // "Left channel", "Right channel" beside the band rows
    QPushButton *PresetsButton = nullptr;     // "Presets", right end of the top row
    QMenu *PresetsMenu = nullptr;
    QWidget *CurvePanel = nullptr;            // under the band panels: the curve and its column
    ResponseCurveView *ResponseCurve = nullptr;
    QCheckBox *AvoidClippingBox = nullptr;    // "Avoid clipping"
    QCheckBox *AsDrawnBox = nullptr;          // "As drawn"
    QVector<QLabel *> PeakLabel;              // "Left: Peak +13.4 dB", "Right: ..."
    QLabel *ClipWarning = nullptr;            // "Left channel may clip by up to 7.2 dB"
    QLabel *DeviationWarning = nullptr;       // "Left curve is off the sliders by up to ..."

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Command1_Click(int index);
    void UpdateSequenceButtons();
    // The tool note and the source note together on the status line.
    void ShowNotes();

    // app/Form1Design.cpp: the controls as designed; band arrays hold only
    // element 0 until BuildBandPanels.
    void CreateDesignControls();
    void CreateOptionsPanel();
    // app/Form1Layout.cpp
    void HScroll1_Change();
    void Picture2_Resize();
    // equalizer/Form1Bands.cpp
    void ConnectBandSlider(QSlider *slider, bool left, int index);
    // equalizer/Form1Options.cpp
    void ConnectOptionsPanel();

    // equalizer/Form1Bands.cpp: the controls, gain texts, volumes and chains
    // follow the model once per outermost operation. A chain is rebuilt only
    // where the handlers ask for it, as when each moved control rebuilt it
    // itself: a bandwidth change waits for the next band move, a level
    // change shows its text in the box until the next rebuild.
    void FollowModel();
    void RebuildChainAfterwards(int channel);
    void ShowLevelAfterwards(int channel);
    void ShowBands(int channel, const EqualizerSettings &settings);
    void ShowOptions(const EqualizerSettings &settings);
    struct ChainFollow
    {
        bool rebuild = false;
        bool showChain = false;
        bool showLevel = false;
    };
    std::array<ChainFollow, EqualizerSettings::ChannelCount> mChainFollow{};
    // What the band controls show, so that only what the model changed is
    // set: a slider placed by code without its scroll handling keeps its
    // place until the import or a move applies it.
    EqualizerSettings mShown;

    // curve/Form1Curve.cpp
    void CreateCurvePanel();
    // Under the band panels, above the status line: call after placing both.
    void PlaceCurvePanel();
    // Returns which channels' plans changed; the curve shows them.
    std::array<bool, EqualizerSettings::ChannelCount> FollowPlans(const EqualizerSettings &settings);
    void ShowResponseTexts();
    std::unique_ptr<ChannelPlanner> mPlanner;
    // Whether the channel's chain text was last built with an option in
    // force: turning both off again must rebuild it plain.
    std::array<bool, EqualizerSettings::ChannelCount> mChainPlanned{};

    // presets/Form1Presets.cpp
    void CreatePresetsControl();
    void ShowRecentPresets();
    void ShowPresetMessage(const QString &text, bool problem, const QString &details = QString());
    QString ChoosePresetPath(bool save, const QString &title, const QStringList &nameFilters,
                             const QString &suffix);

    int mRunningSequences = 0;
    int mRunningPreviews = 0;
    double mHeightTwips = 0;
    QString mToolStatus;
    QString mSourceStatus;
    QString mBandwidthStatus;
};

// Marks a tool sequence (import, preview, export) as running for as long as
// it lives; safe when the main window is gone first.
class SequenceScope
{
public:
    explicit SequenceScope(Form1 *form, bool preview = false);
    ~SequenceScope();
    SequenceScope(const SequenceScope &) = delete;
    SequenceScope &operator=(const SequenceScope &) = delete;

private:
    QPointer<Form1> mForm;
    bool mPreview;
};
