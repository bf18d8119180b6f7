// The main window: the top row ("Open", the source's path, "Presets"), the
// band panels, the options panel beside them, the response curve under
// them, the chain boxes and the status line. Its panels set the session
// through its operations and show what the session followed; the window
// itself opens sources, starts previews and exports, and owns the progress
// windows it opens.
#pragma once

#include "session/Session.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class BandPanel;
class ChainPanel;
class CurvePanel;
class ImportWindow;
class ExportWindow;
class OptionsPanel;
class PresetsController;
class PreviewController;
class QLabel;
class QLineEdit;
class QPushButton;

class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(Session &session, QWidget *parent = nullptr);
    ~MainWindow() override;

    Session &session() const { return mSession; }
    PresetsController &Presets() const { return *mPresets; }
    PreviewController &Preview() const { return *mPreview; }

    // Start-up. Until the band panels are built, their rows, the options
    // panel and "Presets" are hidden or off. They show once the loading
    // pause (a start option of the session) is over: `ready` runs then,
    // unless the window was closed meanwhile.
    void HideUntilBuilt();
    void BuildBandPanels(std::function<void()> ready = {});
    // From the moment `ready` runs. Until then "Open" and dropped files wait:
    // an import started in the pause would see start-up replace its
    // workspace and its import window under it.
    bool Ready() const { return mReady; }
    // What start-up does once the band panels show: the levels at volume 1,
    // the title, the window's height, the tools checked and undo started.
    void FinishStartUp();
    void ArrangeMainWindow();
    // The outer height at start-up in twips: the band panels, the response
    // curve under them and the status line. Taller, the window shows the
    // chain boxes too.
    static constexpr double StartHeightTwips = 9345;
    // Outer height in twips; setting it is a resize. The window is never lower
    // than the band panels, the options panel and the status line need.
    double HeightTwips() const;
    void SetHeightTwips(double height);

    // "Open": the dialog opens, the click handler returns; the choice starts
    // the import.
    void OpenSourceFile();
    // The import of a file chosen without the dialog, as if chosen with it.
    void OpenSource(const QString &path);
    // Files dropped on the window or named on the command line: one file is
    // opened; anything else is refused on the status line, saying why.
    // Returns whether the import started.
    bool OpenGivenFiles(const QStringList &paths);
    // The path box shows the open source: after a failed or abandoned
    // import, which leaves the previous source open, and after Reset.
    void ShowOpenSource();
    // "Preview" of a channel (0 left, 1 right, 2 both), shown in PreviewWindow.
    void StartPreview(int channel);
    void StopPreview();
    // "Save As": the dialog opens, the click handler returns; the choice
    // opens ExportWindow, which runs the export.
    void SaveOutputAs();
    // The export of a file chosen without the dialog, as if chosen with it.
    void ExportTo(const QString &path);
    // "Reset": every control back to its start-up position; a preview stops
    // and the source stays open.
    void ResetEqualizer();
    // Closing ends Brenvox: every tool stops, every window closes, and the
    // settings are kept as "Last settings".
    void CleanUnload();

    // The progress windows this window opened, or null once closed; a closed
    // one may still be waiting for its tool to stop.
    ImportWindow *CurrentImportWindow() const;
    ExportWindow *CurrentExportWindow() const;
    // The open window, or a new one. The preview's is Preview()'s.
    ImportWindow *OpenImportWindow();
    ExportWindow *OpenExportWindow();
    // Each stops its own tool as it closes.
    void CloseImportWindow();
    void CloseExportWindow();

    // The status line at the bottom of the window: what the user should
    // know about the open source and the tools.
    void ShowStatus(const QString &text);
    // Dims the captions of bands the open source's sample rate or the
    // bandwidth leaves no room for, and says which they are.
    void ShowSourceBands();
    // Says when a tool cannot be found, naming where it was looked for.
    void CheckTools();

    // Undo and redo of settings: Ctrl+Z, Ctrl+Shift+Z. A slider dragged
    // from press to release is one step. Nothing is run again.
    void SetUpUndo();
    void UndoSettings();
    void RedoSettings();

    // While an import, a preview or an export runs, "Open" and "Save As" are
    // disabled. During a preview "Preview" reads "Stop"; it and "Reset" end
    // the preview. During an import or an export "Preview" and "Reset" are
    // disabled too: Reset would cut them short without a word. "Preview"
    // and "Save As" also wait for a source. The session keeps what runs.
    bool SequenceRunning() const { return mSession.SequenceRunning(); }
    bool PreviewRunning() const { return mSession.PreviewRunning(); }
    bool SourceImported() const { return mSession.SourceImported(); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void ButtonClicked(int button);
    void PreviewChannelChosen(int channel);
    void UpdateSequenceButtons();
    // The controls and the chain boxes show what the session followed, once
    // per outermost change of the settings.
    void FollowModel(bool leftPlanChanged, bool rightPlanChanged);
    void PlaceCurvePanel();
    void NameControls();
    void SetUpKeyboard();
    void ShowBandwidthBands();
    // The tool note, the source note and the bandwidth note together.
    void ShowNotes();

    Session &mSession;
    QPushButton *mOpenButton = nullptr;     // Command2
    QLineEdit *mSourcePath = nullptr;       // Text1
    BandPanel *mBands = nullptr;            // Picture1_0
    OptionsPanel *mOptions = nullptr;       // Picture1_4
    CurvePanel *mCurve = nullptr;           // CurvePanel
    ChainPanel *mChains = nullptr;          // Picture2
    QLabel *mStatusLine = nullptr;          // StatusLine
    std::array<QLabel *, 2> mRowCaptions{}; // LeftChanelCaption, RightChanelCaption
    PresetsController *mPresets = nullptr;
    PreviewController *mPreview = nullptr;

    QPointer<ImportWindow> mImportWindow;
    QPointer<ExportWindow> mExportWindow;

    bool mReady = false;
    double mHeightTwips = 0;
    int mShownBandwidth = 0;
    QString mToolStatus;
    QString mSourceStatus;
    QString mBandwidthStatus;
};
