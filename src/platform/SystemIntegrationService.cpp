#include "platform/SystemIntegrationService.h"

#include "platform/ArchiveKindTable.h"
#include "platform/FileManagerEntries.h"
#include "platform/MimeAppsList.h"
#include "platform/MimeAppsLookup.h"
#include "platform/SystemErrorText.h"
#include "platform/SystemIntegrationError.h"
#include "platform/UserFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <algorithm>
#include <functional>

namespace {

// One editor of mimeapps.list at a time in this process.
QMutex gMimeAppsMutex;

QString latin1(std::string_view text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }

// The MIME types of the kinds velmora is made the default of, from the table of kinds: each kind's own
// type, which it takes over, then the aliases it also edits where a file already sets them, since such a
// key would otherwise still answer for the kind.
QStringList defaultHandlerKeys(const ArchiveKindTable::KindRow& row) {
    QStringList keys;
    for (const ArchiveKindTable::MimeType& type : row.mimeTypes) {
        if (keys.isEmpty() || type.defaultHandlerAlias) keys.append(latin1(type.name));
    }
    return keys;
}

QStringList takeOverKeys() {
    QStringList keys;
    for (const ArchiveKindTable::KindRow& row : ArchiveKindTable::kKinds) {
        if (row.defaultHandler) keys.append(defaultHandlerKeys(row).first());
    }
    return keys;
}

QStringList aliasKeys() {
    QStringList keys;
    for (const ArchiveKindTable::KindRow& row : ArchiveKindTable::kKinds) {
        if (row.defaultHandler) keys += defaultHandlerKeys(row).mid(1);
    }
    return keys;
}

const QStringList kTakeOverKeys = takeOverKeys();
const QStringList kAliasKeys = aliasKeys();

constexpr QFileDevice::Permissions kUserFile =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;

SystemIntegrationError preferenceFailure(const QString& reason) {
    return SystemIntegrationError(SystemIntegrationError::Kind::launchServicesPreferenceFailed, reason);
}

void save(DefaultsStore& defaults, const QString& key, const QByteArray& bytes) {
    if (const std::optional<QString> failure = defaults.write(key, bytes))
        throw SystemIntegrationError(SystemIntegrationError::Kind::recordSaveFailed, *failure);
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
        throw preferenceFailure(path + QStringLiteral(u"：") +
                                SystemErrorText::reasonOf(file, SystemErrorText::Access::read));
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

// Applies `edit` to every archive key of the file that `applies` accepts; reports whether it changed.
bool editArchiveKeys(EditedFile& edited, const std::function<bool(const QString&)>& applies,
                     const std::function<void(MimeAppsList&, const QString&)>& edit) {
    const QByteArray before = edited.list.toBytes();
    for (const QString& key : kTakeOverKeys + kAliasKeys) {
        if (applies(key)) edit(edited.list, key);
    }
    return edited.list.toBytes() != before;
}

QStringList withoutVelmora(QStringList ids) {
    ids.removeAll(SystemIntegrationService::kDesktopID);
    return ids;
}

// velmora first. A line that does not name it yet only gets it prepended, so that giving up gives the
// line its own bytes back.
void takeOver(MimeAppsList& list, const QString& key) {
    const QString& group = MimeAppsList::kDefaultApplications;
    const QStringList ids = list.desktopIDs(group, key);
    const QStringList wanted = QStringList{SystemIntegrationService::kDesktopID} + withoutVelmora(ids);
    if (!ids.contains(SystemIntegrationService::kDesktopID)) {
        list.prependDesktopID(group, key, SystemIntegrationService::kDesktopID);
    } else if (ids != wanted) {
        list.setDesktopIDs(group, key, wanted);
    }
}

void giveUp(MimeAppsList& list, const QString& key) {
    const QString& group = MimeAppsList::kDefaultApplications;
    const QStringList ids = list.desktopIDs(group, key);
    if (!ids.contains(SystemIntegrationService::kDesktopID)) return;
    const QStringList others = withoutVelmora(ids);
    if (others.isEmpty()) {
        list.remove(group, key);
    } else if (!list.removeLeadingDesktopID(group, key, SystemIntegrationService::kDesktopID) ||
               list.desktopIDs(group, key) != others) {
        list.setDesktopIDs(group, key, others);
    }
}

const auto kEveryKey = [](const QString&) { return true; };

// What velmora records when it adds the [Default Applications] group to the user's file: the text the
// group added, as it stands once velmora's keys are gone again, and whether the file was new.
std::optional<QByteArray> addedGroupRecord(const EditedFile& edited, const QByteArray& before) {
    MimeAppsList bare = edited.list;
    for (const QString& key : kTakeOverKeys + kAliasKeys) giveUp(bare, key);
    const QByteArray after = bare.toBytes();
    if (!after.startsWith(before)) return std::nullopt;
    const QJsonObject record{{QStringLiteral("path"), edited.path},
                             {QStringLiteral("createdFile"), !edited.exists},
                             {QStringLiteral("text"), QString::fromUtf8(after.mid(before.size()))}};
    return QJsonDocument(record).toJson(QJsonDocument::Compact);
}

}  // namespace

const QList<SystemIntegrationService::ArchiveType>& SystemIntegrationService::archiveTypes() {
    static const QList<ArchiveType> types = [] {
        QList<ArchiveType> list;
        for (const ArchiveKindTable::KindRow& row : ArchiveKindTable::kKinds) {
            if (!row.defaultHandler) continue;
            const QStringList keys = defaultHandlerKeys(row);
            for (const ArchiveKindTable::MimeType& type : row.mimeTypes) {
                if (type.statusName.empty()) continue;
                // The type's own name first, then the kind's other keys.
                const QString identifier = latin1(type.name);
                QStringList typeKeys = keys;
                typeKeys.removeAll(identifier);
                typeKeys.prepend(identifier);
                list.append({latin1(type.statusName), identifier, typeKeys});
            }
        }
        return list;
    }();
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
            const bool addsGroup =
                isUserFile && !edited.list.containsGroup(MimeAppsList::kDefaultApplications);
            const QByteArray before = edited.list.toBytes();
            const bool changed = editArchiveKeys(edited, applies, takeOver) || !edited.exists;
            // Kept before the file changes, so that no group is added that switching off cannot take away.
            if (const auto record = addsGroup ? addedGroupRecord(edited, before) : std::nullopt)
                save(m_defaults, addedGroupKey, *record);
            if (changed) writeEdited(edited);
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
            if (editArchiveKeys(edited, kEveryKey, giveUp)) writeEdited(edited);
        }
        giveBackPreviousDefaultHandlers();
        removeAddedGroupIfUnused();
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
    save(m_defaults, previousDefaultHandlersKey, PreviousDefaultHandler::encoded(handlers));
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

void SystemIntegrationService::removeAddedGroupIfUnused() {
    const QJsonObject record =
        QJsonDocument::fromJson(m_defaults.data(addedGroupKey).value_or(QByteArray())).object();
    const QString path = MimeAppsLookup::userFile();
    const QByteArray text = record.value(QStringLiteral("text")).toString().toUtf8();
    QFile file(path);
    // Anything another program or the user added to the group since keeps it. A failure keeps the
    // record, for the next restore.
    if (record.value(QStringLiteral("path")).toString() == path && !text.isEmpty() &&
        file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        const QByteArray remaining = bytes.chopped(std::min(text.size(), bytes.size()));
        const bool removesFile = remaining.isEmpty() && record.value(QStringLiteral("createdFile")).toBool();
        std::optional<QString> error;
        if (bytes.endsWith(text)) {
            error = removesFile ? UserFiles::remove(path)
                                : UserFiles::write(path, remaining, QFileInfo(path).permissions());
        }
        if (error) throw preferenceFailure(path + QStringLiteral(u"：") + *error);
    }
    m_defaults.remove(addedGroupKey);
}

void SystemIntegrationService::setFileManagerEntriesEnabled(bool enabled) {
    if (enabled) {
        writeFileManagerEntries();
    } else {
        FileManagerEntries(helperPath()).remove(createdFileManagerFolders());
        m_defaults.remove(createdFileManagerFoldersKey);
    }
}

void SystemIntegrationService::writeFileManagerEntries() {
    if (!QFileInfo(helperPath()).isExecutable()) {
        throw SystemIntegrationError(
            SystemIntegrationError::Kind::finderSyncConfigurationFailed,
            QStringLiteral(u"未找到文件管理器扩展组件，请确认当前 App 已完整安装。"));
    }
    // Kept also when writing fails halfway, so that switching off removes what was made; what cannot
    // be kept is removed again at once.
    QStringList created = createdFileManagerFolders();
    const qsizetype known = created.size();
    const auto record = [&] {
        if (created.size() == known) return;
        if (const auto failure = UserFiles::recordCreatedFolders(m_defaults, createdFileManagerFoldersKey, created)) {
            FileManagerEntries(helperPath()).remove(created);
            throw SystemIntegrationError(SystemIntegrationError::Kind::recordSaveFailed, *failure);
        }
    };
    try {
        FileManagerEntries(helperPath()).install(created);
    } catch (const SystemIntegrationError&) {
        record();
        throw;
    }
    record();
}

QStringList SystemIntegrationService::createdFileManagerFolders() const {
    return UserFiles::createdFolders(m_defaults, createdFileManagerFoldersKey);
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
