// The "Presets" button at the right end of the top row and its menu: preset
// files, profiles from other tools, the desktop's PipeWire configuration,
// the recently used presets and the settings at the last exit. Each says
// what went wrong, or what an import did, in a message box naming the file;
// a failed load or import changes nothing, and loading runs nothing.
#pragma once

#include "core/presets/ProfileImport.h"

#include <QObject>

#include <functional>

class Session;
class QMenu;
class QPushButton;
class QWidget;

class PresetsController : public QObject
{
    Q_OBJECT

public:
    PresetsController(Session &session, QWidget *window);
    ~PresetsController() override;

    // The settings at the last exit, in the configuration folder.
    static QString LastSettingsPath();

    QPushButton *Button() const { return mButton; }
    void NameControls();

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

private:
    void ShowMenu();
    void ChoosePath(bool save, const QString &title, const QStringList &nameFilters, const QString &suffix,
                    std::function<void(const QString &)> chosen);
    void ProfileImported(const QString &path, const ProfileImport::Result &result);
    void ShowMessage(const QString &text, bool problem, const QString &details = QString());

    // Runs the imports off the window's thread and stops them when the
    // window goes.
    class ProfileImports;

    Session &mSession;
    QWidget *mWindow;
    QPushButton *mButton = nullptr; // PresetsButton
    QMenu *mMenu = nullptr;         // PresetsMenu
    ProfileImports *mImports = nullptr;
};
