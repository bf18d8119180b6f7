// A temporary application folder for one test: links to the real tools (or
// stand-ins), its own workspace, and AppFolder() pointed at it.
#pragma once

#include <QString>
#include <QTemporaryDir>

class TestAppFolder
{
public:
    // The folder's name may hold awkward characters to prove quoting.
    explicit TestAppFolder(const QString &folderName = QStringLiteral("app"));
    ~TestAppFolder();

    QString path() const;
    bool isValid() const;

    // Links the system's tool (from the build's bin folder) into the folder.
    bool linkRealTool(const QString &tool);
    // Writes an executable script as the tool, e.g. a stand-in ffplay.
    bool writeTool(const QString &tool, const QByteArray &script);
    // Gone from the folder, and no longer found on PATH either: PATH is
    // unset until this folder goes.
    void removeTool(const QString &tool);

    // A file path inside a scratch folder beside the application folder.
    QString scratchPath(const QString &name) const;

    // The build's bin folder (brenvox and the links to the tools).
    static QString binFolder();
    static QString testDataFolder();
    // A file's whole content; empty when it cannot be read.
    static QByteArray fileBytes(const QString &path);

private:
    QTemporaryDir mRoot;
    QString mPath;
    QByteArray mSavedPath;
    bool mPathHidden = false;
};
