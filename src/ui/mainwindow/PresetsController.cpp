#include "ui/ChoiceDialog.h"
#include "ui/FileDialogs.h"
#include "ui/mainwindow/PresetsController.h"

#include "session/Session.h"
#include "ui/Accessibility.h"
#include "ui/Twips.h"
#include "dsp/BiquadResponse.h"
#include "core/presets/PipeWireExport.h"
#include "core/presets/PresetFile.h"
#include "core/presets/ProfileExport.h"
#include "core/presets/ProfileImport.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

namespace {

constexpr int RecentPresetCount = 8;
const QLatin1String RecentPresetsKey("Presets/Recent");
const QLatin1String LastFolderKey("Presets/LastFolder");

QString ConfigFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

// A file of its own beside "Last settings": QSettings' default place needs
// an organization name, which Brenvox does not have.
QString ConfigFile()
{
    return ConfigFolder() + QLatin1String("/Brenvox.conf");
}

QStringList RecentPresets()
{
    return QSettings(ConfigFile(), QSettings::IniFormat).value(RecentPresetsKey).toStringList();
}

// Empty, or the sentence that says the list could not be kept. QSettings
// keeps the old file when it cannot write the new one, but tells no reason.
QString RememberRecentPreset(const QString &path)
{
    if (path == PresetsController::LastSettingsPath())
        return QString();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList recent = RecentPresets();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    QSettings settings(ConfigFile(), QSettings::IniFormat);
    settings.setValue(RecentPresetsKey, recent.mid(0, RecentPresetCount));
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return QString();
    return QStringLiteral("Cannot save the recent presets in %1: the file cannot be written.").arg(ConfigFile());
}

// Filters and responses are computed at the open source's rate.
double SourceRate(const Session &session)
{
    return session.SourceSampleRate() > 0 ? session.SourceSampleRate() : BiquadResponse::DefaultSampleRate;
}

const QString AllFiles = QtNameFilter(QStringLiteral("All Files (*.*)"), QStringLiteral("*"));
const QString PresetFiles = QtNameFilter(QStringLiteral("Brenvox Presets (*.json)"), QStringLiteral("*.json"));
const QString ProfileFiles = QtNameFilter(QStringLiteral("Profiles and Audiograms (*.txt *.csv *.json)"),
                                          QStringLiteral("*.txt *.csv *.json"));
const QString TextFiles = QtNameFilter(QStringLiteral("Text Files (*.txt)"), QStringLiteral("*.txt"));
const QString PipeWireFiles = QtNameFilter(QStringLiteral("PipeWire Configuration (*.conf)"), QStringLiteral("*.conf"));

} // namespace

QString PresetsController::LastSettingsPath()
{
    return ConfigFolder() + QLatin1String("/last-settings.json");
}

PresetsController::PresetsController(Session &session, QWidget *window)
    : QObject(window)
    , mSession(session)
    , mWindow(window)
{
    // The window keeps it at the right end of the top row.
    mButton = new QPushButton(QStringLiteral("Presets"), window);
    mButton->setObjectName(QStringLiteral("PresetsButton"));
    SetTwips(mButton, 15330, 120, 1095, 315);
    mMenu = new QMenu(mButton);
    mMenu->setObjectName(QStringLiteral("PresetsMenu"));
    // Filled as it opens: the recent presets and "Last settings" may have
    // changed since.
    connect(mMenu, &QMenu::aboutToShow, this, [this] { ShowMenu(); });
    // Opened as a popup under the button rather than through the button's
    // own menu, which runs an event loop of its own inside the click.
    connect(mButton, &QPushButton::clicked, this, [this] {
        mMenu->popup(mButton->mapToGlobal(QPoint(0, mButton->height())));
    });
}

PresetsController::~PresetsController()
{
    // The imports' threads end before what they report to goes.
    StopProfileImports();
}

void PresetsController::NameControls()
{
    SetMenuOfButton(mButton, mMenu);
}

void PresetsController::ShowMenu()
{
    const auto choose = [this](bool save, const QString &title, const QStringList &filters, const QString &suffix,
                               bool (PresetsController::*use)(const QString &)) {
        ChoosePath(save, title, filters, suffix, [this, use](const QString &path) { (this->*use)(path); });
    };
    mMenu->clear();
    mMenu->addAction(QStringLiteral("Load..."), this, [this, choose] {
        choose(false, QStringLiteral("Load Preset"), {PresetFiles, AllFiles}, QStringLiteral("json"),
               &PresetsController::LoadPreset);
    });
    mMenu->addAction(QStringLiteral("Save As..."), this, [this, choose] {
        choose(true, QStringLiteral("Save Preset As"), {PresetFiles, AllFiles}, QStringLiteral("json"),
               &PresetsController::SavePreset);
    });
    mMenu->addAction(QStringLiteral("Import profile..."), this, [this] {
        ChoosePath(false, QStringLiteral("Import Profile"), {ProfileFiles, AllFiles}, QString(),
                   [this](const QString &path) { ImportProfile(path); });
    });
    mMenu->addAction(QStringLiteral("Export profile..."), this, [this, choose] {
        choose(true, QStringLiteral("Export Profile"), {TextFiles, AllFiles}, QStringLiteral("txt"),
               &PresetsController::ExportProfile);
    });
    mMenu->addAction(QStringLiteral("Export for PipeWire..."), this, [this, choose] {
        choose(true, QStringLiteral("Export for PipeWire"), {PipeWireFiles, AllFiles}, QStringLiteral("conf"),
               &PresetsController::ExportPipeWire);
    });
    mMenu->addSeparator();
    for (const QString &path : RecentPresets()) {
        QString name = QFileInfo(path).fileName();
        QAction *recent = mMenu->addAction(name.replace(QLatin1Char('&'), QLatin1String("&&")), this,
                                           [this, path] { LoadPreset(path); });
        recent->setToolTip(path);
        recent->setData(path);
    }
    mMenu->addSeparator();
    QAction *last = mMenu->addAction(QStringLiteral("Last settings"), this, [this] { LoadPreset(LastSettingsPath()); });
    last->setEnabled(QFileInfo::exists(LastSettingsPath()));
}

void PresetsController::ChoosePath(bool save, const QString &title, const QStringList &nameFilters,
                                   const QString &suffix, std::function<void(const QString &)> chosen)
{
    QSettings settings(ConfigFile(), QSettings::IniFormat);
    FileDialogRequest request;
    request.kind = save ? FileDialogRequest::Kind::Save : FileDialogRequest::Kind::Open;
    request.title = title;
    request.nameFilters = nameFilters;
    request.selectedNameFilter = nameFilters.constFirst();
    request.defaultSuffix = suffix;
    request.confirmOverwrite = save;
    request.directory = settings.value(LastFolderKey).toString();
    ShowFileDialog(mWindow, request, [chosen = std::move(chosen)](const QString &path) {
        QSettings(ConfigFile(), QSettings::IniFormat).setValue(LastFolderKey, QFileInfo(path).absolutePath());
        chosen(path);
    });
}

bool PresetsController::LoadPreset(const QString &path)
{
    EqualizerSettings settings;
    QString message;
    if (!PresetFile::Read(path, &settings, &message)) {
        ShowMessage(message, true);
        return false;
    }
    mSession.LoadSettings(settings);
    const QString unremembered = RememberRecentPreset(path);
    if (!unremembered.isEmpty())
        ShowMessage(unremembered, true);
    return true;
}

bool PresetsController::SavePreset(const QString &path)
{
    QString message;
    if (!PresetFile::Save(path, mSession.Settings(), &message)) {
        ShowMessage(message, true);
        return false;
    }
    const QString unremembered = RememberRecentPreset(path);
    if (!unremembered.isEmpty())
        ShowMessage(unremembered, true);
    return true;
}

// A profile of many filters takes a while to read and measure: it is read
// on a thread of its own, and only the newest import still wanted is
// delivered. Going with the window, it stops every import it runs and waits
// for their threads, which look at the stop often enough to end at once.
class PresetsController::ProfileImports : public QObject
{
public:
    explicit ProfileImports(QObject *parent) : QObject(parent) {}
    ~ProfileImports() override { StopAll(); }

    void Start(const QString &path, const QString &listener, const EqualizerSettings &current, double rate,
               std::function<void(const ProfileImport::Result &)> done)
    {
        StopAll(false);
        auto stop = std::make_shared<std::atomic<bool>>(false);
        mNewest = stop;
        QThread *thread = QThread::create([this, path, listener, current, rate, stop, done = std::move(done)] {
            ProfileImport::Result result = ProfileImport::ImportFile(path, current, rate, listener, stop.get());
            // Queued to this object: dropped if it is gone, which it cannot
            // be before this thread ends.
            QMetaObject::invokeMethod(this, [this, stop, done, result = std::move(result)] {
                if (stop != mNewest || *stop)
                    return;
                mNewest.reset();
                done(result);
            }, Qt::QueuedConnection);
        });
        mRunning.push_back({thread, stop});
        // Unless StopAll took it first; finished comes just before the
        // thread ends, hence the short wait.
        connect(thread, &QThread::finished, this, [this, thread] {
            const auto found = std::find_if(mRunning.begin(), mRunning.end(),
                                            [thread](const Running &running) { return running.thread == thread; });
            if (found == mRunning.end())
                return;
            mRunning.erase(found);
            thread->wait();
            delete thread;
        });
        thread->start();
    }

    bool Busy() const { return mNewest != nullptr; }

    // Every import is told to stop; with `wait`, their threads have ended
    // on return.
    void StopAll(bool wait = true)
    {
        mNewest.reset();
        for (const Running &running : mRunning)
            *running.stop = true;
        if (!wait)
            return;
        for (const Running &running : mRunning) {
            running.thread->wait();
            delete running.thread;
        }
        mRunning.clear();
    }

private:
    struct Running
    {
        QThread *thread;
        std::shared_ptr<std::atomic<bool>> stop;
    };
    std::vector<Running> mRunning;
    std::shared_ptr<std::atomic<bool>> mNewest;
};

void PresetsController::ImportProfile(const QString &path, const QString &listener)
{
    if (!mImports)
        mImports = new ProfileImports(this);
    mImports->Start(path, listener, mSession.Settings(), SourceRate(mSession),
                           [this, path](const ProfileImport::Result &result) { ProfileImported(path, result); });
}

bool PresetsController::ImportingProfile() const
{
    return mImports && mImports->Busy();
}

void PresetsController::StopProfileImports()
{
    if (mImports)
        mImports->StopAll();
}

void PresetsController::ProfileImported(const QString &path, const ProfileImport::Result &result)
{
    if (!result.ok && !result.listeners.isEmpty()) {
        ChoiceRequest request;
        request.objectName = QStringLiteral("ListenerDialog");
        request.title = QStringLiteral("Import Profile");
        request.label = QStringLiteral("%1 holds the audiograms of %2 listeners. Import the audiogram of:")
                            .arg(QFileInfo(path).fileName()).arg(result.listeners.size());
        request.items = result.listeners;
        ShowChoiceDialog(mWindow, request, [this, path](const QString &listener) { ImportProfile(path, listener); });
        return;
    }
    if (!result.ok) {
        ShowMessage(result.message, true);
        return;
    }
    // The window stayed in use while the file was read.
    QString problem;
    if (!mSession.TakeProfile(result, &problem)) {
        ShowMessage(ProfileImport::Refusal(path, problem), true);
        return;
    }
    ShowMessage(result.message, false,
                      result.audiogram ? QString::fromUtf8(ProfileImport::AudiogramLabel) : QString());
}

bool PresetsController::ExportProfile(const QString &path)
{
    QString message;
    // What plays: the session's plans, at the open source's rate.
    ProfileExport::Chains played;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel)
        played[channel] = mSession.Plan(channel).chain;
    if (!ProfileExport::Save(path, ProfileExport::Text(mSession.Settings(), played), &message)) {
        ShowMessage(message, true);
        return false;
    }
    return true;
}

bool PresetsController::ExportPipeWire(const QString &path)
{
    QString message;
    if (!ProfileExport::Save(path, PipeWireExport::Text(mSession.Settings()), &message)) {
        ShowMessage(message, true);
        return false;
    }
    ShowMessage(QStringLiteral("Saved %1. To hear this equalizer in every program, put the file in "
                                     "~/.config/pipewire/pipewire.conf.d/, restart PipeWire (systemctl --user "
                                     "restart pipewire) and choose \"Brenvox equalizer\" as the sound output.")
                          .arg(path),
                      false);
    return true;
}

void PresetsController::ShowMessage(const QString &text, bool problem, const QString &details)
{
    auto *box = new QMessageBox(problem ? QMessageBox::Warning : QMessageBox::Information,
                                QStringLiteral("Presets"), text, QMessageBox::Ok, mWindow);
    box->setObjectName(QStringLiteral("PresetMessage"));
    box->setInformativeText(details);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}
