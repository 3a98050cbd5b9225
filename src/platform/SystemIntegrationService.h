#pragma once

#include "platform/DefaultArchiveToolResult.h"
#include "platform/DefaultsStore.h"
#include "platform/PreviousDefaultHandler.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

class MimeAppsList;

// velmora's place on the desktop: the default application for ZIP, RAR and 7Z archives (through the
// user's mimeapps.list) and the file-manager entries. Every operation blocks on file work and may run on
// any thread; edits of mimeapps.list are serialised across the process, so the launch-time refresh and
// the settings page never write it at the same time. All failures are SystemIntegrationError.
class SystemIntegrationService {
public:
    static inline const QString kDesktopID = QStringLiteral("com.velmora.pro.desktop");
    static inline const QString previousDefaultHandlersKey =
        QStringLiteral("velmoraPreviousDefaultArchiveHandlers");
    static inline const QString kHelperName = QStringLiteral("velmoraFinderSync");
    // What velmora added and takes away again when switched off: the [Default Applications] group of
    // the user's mimeapps.list, or the whole file (a JSON object), and the file-manager folders (a JSON
    // array of paths).
    static inline const QString addedGroupKey = QStringLiteral("velmoraAddedDefaultApplicationsGroup");
    static inline const QString createdFileManagerFoldersKey =
        QStringLiteral("velmoraCreatedFileManagerFolders");

    struct ArchiveType {
        QString displayName;
        QString identifier;
        // The MIME names a default may be stored under for this type, the type's own first.
        QStringList keys;
    };
    struct Role {
        QString name;
        quint32 mask;
    };

    static const QList<ArchiveType>& archiveTypes();
    static const QList<Role>& roles();

    // The helper the file-manager entries run is looked for beside the velmora executable.
    explicit SystemIntegrationService(DefaultsStore defaults = DefaultsStore(),
                                      QString applicationFilePath = QCoreApplication::applicationFilePath());
    virtual ~SystemIntegrationService() = default;

    // Makes velmora the default of every archive type, keeping the defaults it replaces the first time,
    // and returns the status rows read afterwards.
    virtual QList<DefaultArchiveToolResult> setAsDefaultArchiveTool();
    // Takes velmora out of the archive types' defaults and gives the kept defaults back where nothing
    // else is in effect. Lines velmora only prepended to get their own bytes back; the group (or the
    // whole mimeapps.list) it added goes again when nothing else was added to it.
    virtual QList<DefaultArchiveToolResult> restoreSystemDefaultArchiveTool();
    // 16 rows: the four types, each in the four roles.
    virtual QList<DefaultArchiveToolResult> currentDefaultArchiveToolResults();

    // Writes (true) or removes (false) the file-manager entries; writing needs the helper. Removing also
    // removes the folders that writing created, where they are empty.
    virtual void setFileManagerEntriesEnabled(bool enabled);
    // Writes the entries again, so they follow the installed helper's path.
    virtual void writeFileManagerEntries();

    // At launch: applies again what the settings have switched on (a moved install, another program that
    // took the archive types). Failures are dropped: there is nobody to tell.
    void refreshIntegration(bool setAsDefaultExtractor, bool contextMenuEnabled);

    QString helperPath() const;

private:
    void requireDesktopEntry() const;
    QList<DefaultArchiveToolResult> results() const;
    void storePreviousDefaultHandlersIfNeeded();
    std::optional<QList<PreviousDefaultHandler>> loadPreviousDefaultHandlers() const;
    void giveBackPreviousDefaultHandlers();
    void removeAddedGroupIfUnused();
    QStringList createdFileManagerFolders() const;

    DefaultsStore m_defaults;
    QString m_applicationFilePath;
};
