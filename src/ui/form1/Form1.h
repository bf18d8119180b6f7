// The main window: band panels, options panel, chain display and the buttons
// that start every operation. It drives its session and shows what the
// session and its jobs report; its parts are split over the files of this
// folder by what they do.
#pragma once

#include "dsp/EqualizerSettings.h"
#include "core/presets/ProfileImport.h"
#include "session/Session.h"

#include <QPointer>
#include <QVector>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class Form2;
class Form3;
class Form4;
class PreviewJob;
class ResponseCurveView;
class SettingsHistory;
class QCheckBox;
class QDoubleSpinBox;
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
    explicit Form1(Session &session, QWidget *parent = nullptr);
    ~Form1() override;

    Session &session() const { return mSession; }

    // Start-up (Form1Layout.cpp). The band panels are shown once the
    // loading pause (a start option of the session) is over: `ready` runs
    // then, unless the window was closed meanwhile.
    void BuildBandPanels(std::function<void()> ready = {});
    void LabelBandsAndShow(std::function<void()> ready = {});
    // From the moment `ready` runs. Until then "Open" and dropped files wait:
    // an import started in the pause would see start-up replace its
    // workspace and its inspection window under it.
    bool Ready() const { return mReady; }
    void ArrangeMainWindow();
    // Names and value texts for screen readers (Form1Access.cpp) and
    // the keyboard's ways through the window (Form1Keys.cpp), once the
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

    // Band sliders, sync and reset (Form1Bands.cpp)
    void LeftChanelSlider_Scroll(int index);
    void RightChanelSlider_Scroll(int index);
    void SetLeftBandGain(int band, qint16 sliderValue);
    void SetRightBandGain(int band, qint16 sliderValue);
    void ResetEqualizer();

    // Options panel (Form1Options.cpp)
    void SetOutputLevel(int channel, qint16 position);
    // A choice selected by the user (or by Reset, which calls these itself).
    void Option1_Click(int index); // EQ range
    void Option2_Click(int index); // low cut
    void Option3_Click(int index); // preview channel
    void Option4_Click(int index); // left chanel sync
    void Slider1_Change(int index); // level slider moved or changed
    void Slider2_Change();          // bandwidth slider moved or changed

    // The response curve and its check boxes (Form1Curve.cpp). The curve,
    // the peaks and the warnings follow the session's plans.
    void SetAvoidClipping(bool on);
    void SetAsDrawn(bool on);
    // A channel's preamp in dB, to the tenth.
    void SetPreamp(int channel, double db);

    // "Open" (Form1Open.cpp): the dialog opens, the click handler returns;
    // the choice starts the import.
    void OpenSourceFile();
    // The import of a file chosen without the dialog, as if chosen with it.
    void OpenSource(const QString &path);
    // The progress windows this window opened (Form1Windows.cpp), or null
    // once closed; a closed one may still be waiting for its tool to stop.
    Form2 *InspectionWindow() const;
    Form3 *ExportWindow() const;
    Form4 *PreviewWindow() const;
    // The open window, or a new one; the preview's is shown at once.
    Form2 *OpenInspectionWindow();
    Form3 *OpenExportWindow();
    Form4 *OpenPreviewWindow();
    // Each stops its own tool as it closes. The preview's is StopPreview.
    void CloseInspectionWindow();
    void CloseExportWindow();

    // The path box shows the open source: after a failed or abandoned
    // import, which leaves the previous source open, and after Reset.
    void ShowOpenSource();
    // Files dropped on the window or named on the command line
    // (Form1Drop.cpp): one file is opened; anything else is refused on
    // the status line, saying why. Returns whether the import started.
    bool OpenGivenFiles(const QStringList &paths);
    // "Preview" (Form1Preview.cpp): starts the preview job, which Form4
    // shows, and returns.
    void SoundPreviewing(qint16 IntChanel);
    // Ends the running preview at once: its tool stops and Form4 closes.
    void StopPreview();
    void objDOS_ReceiveOutputs(QString &CommandOutputs);
    // The running preview, or null.
    std::unique_ptr<PreviewJob> objDOS;
    // "Save As" (Form1Save.cpp): the dialog opens, the click handler
    // returns; the choice opens Form3, which runs the export.
    void SaveOutputAs();
    // The export of a file chosen without the dialog, as if chosen with it.
    void ExportTo(const QString &path);

    // Shutdown (Form1Shutdown.cpp): also keeps the settings as "Last
    // settings".
    void CleanUnload();

    // "Presets" (Form1Presets.cpp). Each says what went wrong, or
    // what an import did, in a message box naming the file; a failed load
    // or import changes nothing. Loading sets the settings, nothing runs.
    void LoadPresetFile();      // "Load..."
    void SavePresetFile();      // "Save As..."
    void ImportProfileFile();   // "Import profile..."
    void ExportProfileFile();   // "Export profile..."
    void ExportPipeWireFile();  // "Export for PipeWire..."
    void LoadLastSettings();    // "Last settings"
    bool LoadPreset(const QString &path);
    bool SavePreset(const QString &path);
    // Reads the profile on a thread of its own and returns at once; the
    // settings change, or the message says why not, once it is read. Of an
    // audiogram file with several listeners it asks which one first.
    void ImportProfile(const QString &path, const QString &listener = QString());
    // Whether an import is being read: its result has yet to arrive.
    bool ImportingProfile() const;
    // Stops every import being read; none delivers its result.
    void StopProfileImports();
    bool ExportProfile(const QString &path);
    bool ExportPipeWire(const QString &path);
    // The settings at the last exit, in the configuration folder.
    static QString LastSettingsPath();

    // The status line at the bottom of the window (Form1Status.cpp): what
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

    // Undo and redo of settings (Form1Undo.cpp), from the settings as
    // start-up leaves them: Ctrl+Z, Ctrl+Shift+Z. A slider dragged from
    // press to release is one step. Nothing is run again.
    void SetUpUndo();
    void UndoSettings();
    void RedoSettings();

    // While an import, a preview or an export runs, "Open" and "Save As" are
    // disabled. During a preview "Preview" reads "Stop"; it and "Reset" end
    // the preview. During an import or an export "Preview" and "Reset" are
    // disabled too: Reset would cut them short without a word. "Preview"
    // and "Save As" also wait for a source's channel files. The session
    // keeps what runs.
    bool SequenceRunning() const { return mSession.SequenceRunning(); }
    bool PreviewRunning() const { return mSession.PreviewRunning(); }
    bool SourceImported() const { return mSession.SourceImported(); }

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
    QLabel *StatusLine = nullptr;             // bottom line: notes on source and tools
    QVector<QLabel *> ChannelCaption;         // "Left channel", "Right channel" beside the band rows
    QPushButton *PresetsButton = nullptr;     // "Presets", right end of the top row
    QMenu *PresetsMenu = nullptr;
    QWidget *CurvePanel = nullptr;            // under the band panels: the curve and its column
    ResponseCurveView *ResponseCurve = nullptr;
    QCheckBox *AvoidClippingBox = nullptr;    // "Avoid clipping"
    QCheckBox *AsDrawnBox = nullptr;          // "As drawn"
    QLabel *PreampLabel = nullptr;            // "Preamp" before the two boxes
    QVector<QDoubleSpinBox *> PreampBox;      // each channel's preamp, -30 to +12 dB
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

    // Form1Design.cpp: the controls as designed; band arrays hold only
    // element 0 until BuildBandPanels.
    void CreateDesignControls();
    void CreateOptionsPanel();
    // Form1Layout.cpp
    void HScroll1_Change();
    void Picture2_Resize();
    // Form1Bands.cpp
    void ConnectBandSlider(QSlider *slider, bool left, int index);
    // Form1Options.cpp
    void ConnectOptionsPanel();
    // "1 octave", "3 octaves": ffmpeg reads the bandwidth in octaves, whatever
    // the readout's "hz" says.
    static QString BandwidthText(int position);

    // Form1Bands.cpp: the controls and the chain boxes show what the
    // session followed, once per outermost change of the settings.
    void FollowModel(bool leftPlanChanged, bool rightPlanChanged);
    void ShowBands(int channel, const EqualizerSettings &settings);
    void ShowOptions(const EqualizerSettings &settings);
    // What the band controls show, so that only what the model changed is
    // set: a slider placed by code without its scroll handling keeps its
    // place until the import or a move applies it.
    EqualizerSettings mShown;

    // Form1Curve.cpp
    void CreateCurvePanel();
    // Under the band panels, above the status line: call after placing both.
    void PlaceCurvePanel();
    void ShowResponseTexts();
    void ShowPreamps(const EqualizerSettings &settings);

    // Form1Preview.cpp: passes the preview job's reports to Form4 and lets
    // the job go once it has ended. A child of the window.
    class PreviewWindows;
    PreviewWindows *mPreviewWindows = nullptr;

    // Form1Presets.cpp
    void CreatePresetsControl();
    void ProfileImported(const QString &path, const ProfileImport::Result &result);
    // Runs the imports off the window's thread and stops them when the
    // window goes. A child of the window.
    class ProfileImports;
    ProfileImports *mProfileImports = nullptr;
    void ShowRecentPresets();
    void ShowPresetMessage(const QString &text, bool problem, const QString &details = QString());
    void ChoosePresetPath(bool save, const QString &title, const QStringList &nameFilters,
                          const QString &suffix, std::function<void(const QString &)> chosen);

    QPointer<Form2> mInspectionWindow;
    QPointer<Form3> mExportWindow;
    QPointer<Form4> mPreviewWindow;

    Session &mSession;
    bool mReady = false;
    double mHeightTwips = 0;
    QString mToolStatus;
    QString mSourceStatus;
    QString mBandwidthStatus;
};
