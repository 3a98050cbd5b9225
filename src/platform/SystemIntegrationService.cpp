#include "platform/SystemIntegrationService.h"

#include "platform/FileManagerEntries.h"
#include "platform/MimeAppsList.h"
#include "platform/MimeAppsLookup.h"
#include "platform/SystemErrorText.h"
#include "platform/SystemIntegrationError.h"
#include "platform/UserFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <functional>

namespace {

// One editor of mimeapps.list at a time in this process.
QMutex gMimeAppsMutex;

const QString kZip = QStringLiteral("application/zip");
const QString kZipAlias = QStringLiteral("application/x-zip-compressed");
const QString kRar = QStringLiteral("application/vnd.rar");
const QString kRarAlias = QStringLiteral("application/x-rar");
const QString kSevenZip = QStringLiteral("application/x-7z-compressed");

// The types velmora takes over, and aliases it also edits where a file already sets them, since such a
// key would otherwise still answer for the type.
const QStringList kTakeOverKeys{kZip, kRar, kSevenZip};
const QStringList kAliasKeys{kZipAlias, kRarAlias};

constexpr QFileDevice::Permissions kUserFile =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;

SystemIntegrationError preferenceFailure(const QString& reason) {
    return SystemIntegrationError(SystemIntegrationError::Kind::launchServicesPreferenceFailed, reason);
}

// A user file read for editing; one that is not there reads as empty.
struct EditedFile {
    QString path;
    bool exists = false;
    MimeAppsList list;
};

EditedFile readForEditing(const QString& path) {
    QFile file(path);
    if (!file.exists()) return {path, false, *MimeAppsList::parse({})};
    if (!file.open(QIODevice::ReadOnly))
        throw preferenceFailure(path + QStringLiteral(u"：") + SystemErrorText::reasonOf(file));
    const std::optional<MimeAppsList> list = MimeAppsList::parse(file.readAll());
    if (!list)
        throw preferenceFailure(QStringLiteral(u"无法解析 ") + path + QStringLiteral(u"，未作任何修改。"));
    return {path, true, *list};
}

void writeEdited(const EditedFile& edited) {
    // An existing file keeps its permissions.
    const QFileDevice::Permissions permissions =
        edited.exists ? QFileInfo(edited.path).permissions() : kUserFile;
    if (const auto error = UserFiles::write(edited.path, edited.list.toBytes(), permissions)) {
        throw preferenceFailure(edited.path + QStringLiteral(u"：") + *error);
    }
}

// The user's own file and the desktop-specific ones that exist, all parsed before any is changed.
QList<EditedFile> readUserFiles() {
    QList<EditedFile> files{readForEditing(MimeAppsLookup::userFile())};
    for (const QString& path : MimeAppsLookup::userDesktopFiles()) {
        if (QFileInfo::exists(path)) files.append(readForEditing(path));
    }
    return files;
}

// Applies `change` to every archive key of the file that `applies` accepts; reports whether it changed.
bool editArchiveKeys(EditedFile& edited, const std::function<bool(const QString&)>& applies,
                     const std::function<QStringList(QStringList)>& change) {
    const QByteArray before = edited.list.toBytes();
    for (const QString& key : kTakeOverKeys + kAliasKeys) {
        if (!applies(key)) continue;
        const QStringList ids = change(edited.list.desktopIDs(MimeAppsList::kDefaultApplications, key));
        if (ids.isEmpty()) {
            edited.list.remove(MimeAppsList::kDefaultApplications, key);
        } else {
            edited.list.setDesktopIDs(MimeAppsList::kDefaultApplications, key, ids);
        }
    }
    return edited.list.toBytes() != before;
}

QStringList withoutVelmora(QStringList ids) {
    ids.removeAll(SystemIntegrationService::kDesktopID);
    return ids;
}

}  // namespace

const QList<SystemIntegrationService::ArchiveType>& SystemIntegrationService::archiveTypes() {
    static const QList<ArchiveType> types{
        {QStringLiteral("ZIP"), kZip, {kZip, kZipAlias}},
        {QStringLiteral("ZIP(PKWARE)"), kZipAlias, {kZipAlias, kZip}},
        {QStringLiteral("RAR"), kRar, {kRar, kRarAlias}},
        {QStringLiteral("7Z"), kSevenZip, {kSevenZip}},
    };
    return types;
}

const QList<SystemIntegrationService::Role>& SystemIntegrationService::roles() {
    static const QList<Role> list{
        {QStringLiteral(u"打开"), 2},
        {QStringLiteral(u"文件管理器"), 8},
        {QStringLiteral(u"编辑"), 4},
        {QStringLiteral(u"全部"), 0xFFFFFFFF},
    };
    return list;
}

SystemIntegrationService::SystemIntegrationService(DefaultsStore defaults, QString applicationFilePath)
    : m_defaults(std::move(defaults)), m_applicationFilePath(std::move(applicationFilePath)) {}

QString SystemIntegrationService::helperPath() const {
    return QFileInfo(m_applicationFilePath).absolutePath() + QLatin1Char('/') + kHelperName;
}

void SystemIntegrationService::requireDesktopEntry() const {
    if (!MimeAppsLookup::isInstalled(kDesktopID)) {
        throw SystemIntegrationError(SystemIntegrationError::Kind::bundleIdentifierUnavailable);
    }
}

QList<DefaultArchiveToolResult> SystemIntegrationService::setAsDefaultArchiveTool() {
    requireDesktopEntry();
    {
        QMutexLocker lock(&gMimeAppsMutex);
        QList<EditedFile> files = readUserFiles();
        storePreviousDefaultHandlersIfNeeded();
        for (qsizetype i = 0; i < files.size(); ++i) {
            EditedFile& edited = files[i];
            // The user's own file gets every type; a desktop-specific one only the keys it sets, which
            // would otherwise shadow ours.
            const bool isUserFile = i == 0;
            const auto applies = [&](const QString& key) {
                const bool present = edited.list.contains(MimeAppsList::kDefaultApplications, key);
                return present || (isUserFile && kTakeOverKeys.contains(key));
            };
            const auto change = [](const QStringList& ids) {
                return QStringList{kDesktopID} + withoutVelmora(ids);
            };
            if (editArchiveKeys(edited, applies, change) || !edited.exists) writeEdited(edited);
        }
    }
    return results();
}

QList<DefaultArchiveToolResult> SystemIntegrationService::restoreSystemDefaultArchiveTool() {
    requireDesktopEntry();
    {
        QMutexLocker lock(&gMimeAppsMutex);
        QList<EditedFile> files = readUserFiles();
        for (EditedFile& edited : files) {
            if (!edited.exists) continue;
            const auto applies = [](const QString&) { return true; };
            if (editArchiveKeys(edited, applies, withoutVelmora)) writeEdited(edited);
        }
        giveBackPreviousDefaultHandlers();
        m_defaults.remove(previousDefaultHandlersKey);
    }
    return results();
}

QList<DefaultArchiveToolResult> SystemIntegrationService::currentDefaultArchiveToolResults() {
    requireDesktopEntry();
    return results();
}

QList<DefaultArchiveToolResult> SystemIntegrationService::results() const {
    QList<DefaultArchiveToolResult> rows;
    for (const ArchiveType& type : archiveTypes()) {
        const std::optional<QString> handler = MimeAppsLookup::defaultHandler(type.keys);
        for (const Role& role : roles()) {
            rows.append({type.displayName, type.identifier, role.name, role.mask == 2, handler == kDesktopID,
                         handler});
        }
    }
    return rows;
}

void SystemIntegrationService::storePreviousDefaultHandlersIfNeeded() {
    if (m_defaults.data(previousDefaultHandlersKey)) return;
    QList<PreviousDefaultHandler> handlers;
    for (const QString& key : kTakeOverKeys) {
        const std::optional<QString> handler = MimeAppsLookup::defaultHandler({key});
        if (handler != kDesktopID) handlers.append({key, 0xFFFFFFFF, handler});
    }
    m_defaults.setData(previousDefaultHandlersKey, PreviousDefaultHandler::encoded(handlers));
}

std::optional<QList<PreviousDefaultHandler>> SystemIntegrationService::loadPreviousDefaultHandlers() const {
    const std::optional<QByteArray> bytes = m_defaults.data(previousDefaultHandlersKey);
    if (!bytes) return std::nullopt;
    return PreviousDefaultHandler::decoded(*bytes);
}

void SystemIntegrationService::giveBackPreviousDefaultHandlers() {
    const std::optional<QList<PreviousDefaultHandler>> handlers = loadPreviousDefaultHandlers();
    if (!handlers) return;
    EditedFile user = readForEditing(MimeAppsLookup::userFile());
    bool changed = false;
    for (const PreviousDefaultHandler& previous : *handlers) {
        // Where another default is in effect now, that is somebody's later choice: it stays.
        if (!previous.handler || *previous.handler == kDesktopID) continue;
        if (MimeAppsLookup::defaultHandler({previous.identifier})) continue;
        user.list.setDesktopIDs(MimeAppsList::kDefaultApplications, previous.identifier, {*previous.handler});
        changed = true;
    }
    if (changed) writeEdited(user);
}

void SystemIntegrationService::setFileManagerEntriesEnabled(bool enabled) {
    if (enabled) {
        writeFileManagerEntries();
    } else {
        FileManagerEntries(helperPath()).remove();
    }
}

void SystemIntegrationService::writeFileManagerEntries() {
    if (!QFileInfo(helperPath()).isExecutable()) {
        throw SystemIntegrationError(
            SystemIntegrationError::Kind::finderSyncConfigurationFailed,
            QStringLiteral(u"未找到文件管理器扩展组件，请确认当前 App 已完整安装。"));
    }
    FileManagerEntries(helperPath()).install();
}

void SystemIntegrationService::refreshIntegration(bool setAsDefaultExtractor, bool contextMenuEnabled) {
    try {
        if (setAsDefaultExtractor) setAsDefaultArchiveTool();
    } catch (const SystemIntegrationError&) {
    }
    try {
        if (contextMenuEnabled) writeFileManagerEntries();
    } catch (const SystemIntegrationError&) {
    }
}
