#include "platform/FileManagerEntries.h"

#include "platform/ArchiveKindTable.h"
#include "platform/DesktopEntryText.h"
#include "platform/SystemIntegrationError.h"
#include "platform/UserFiles.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kExtract = QStringLiteral("extract");
const QString kCompress = QStringLiteral("compress");

constexpr QFileDevice::Permissions kExecutable =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
    QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;

QString title(const QString& action) {
    return action == kExtract ? QStringLiteral(u"用 velmora 解压") : QStringLiteral(u"用 velmora 压缩为 ZIP");
}

QLatin1String latin1(std::string_view text) { return QLatin1String(text.data(), qsizetype(text.size())); }

// What the extract entries accept, as "a;b;", from the table of kinds: each kind's own MIME type for
// Dolphin, its suffixes for Nemo.
QString extractMimeTypes() {
    QString list;
    for (const ArchiveKindTable::KindRow& row : ArchiveKindTable::kKinds) {
        if (row.fileManagerExtract) list += latin1(row.mimeTypes[0].name) + QLatin1Char(';');
    }
    return list;
}

QString extractSuffixes() {
    QString list;
    for (const ArchiveKindTable::KindRow& row : ArchiveKindTable::kKinds) {
        for (const std::string_view suffix : row.suffixes) {
            if (row.fileManagerExtract && !suffix.empty()) list += latin1(suffix) + QLatin1Char(';');
        }
    }
    return list;
}

QString dataHome() { return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation); }
QString configHome() { return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation); }

SystemIntegrationError failure(const QString& reason) {
    return SystemIntegrationError(SystemIntegrationError::Kind::finderSyncConfigurationFailed, reason);
}

}  // namespace

FileManagerEntries::FileManagerEntries(QString helperPath) : m_helperPath(std::move(helperPath)) {}

QList<FileManagerEntries::Entry> FileManagerEntries::entries() const {
    QList<Entry> list;
    for (const QString& action : {kExtract, kCompress}) {
        const QString name = QStringLiteral("com.velmora.pro.") + action;
        list.append({dataHome() + QStringLiteral("/kio/servicemenus/") + name + QStringLiteral(".desktop"),
                     dolphinServiceMenu(action)});
        list.append({dataHome() + QStringLiteral("/nemo/actions/") + name + QStringLiteral(".nemo_action"),
                     nemoAction(action)});
        list.append({dataHome() + QStringLiteral("/nautilus/scripts/") + title(action), script(action)});
        list.append({configHome() + QStringLiteral("/caja/scripts/") + title(action), script(action)});
    }
    return list;
}

void FileManagerEntries::install(QStringList& createdFolders) const {
    for (const Entry& entry : entries()) {
        const QStringList missing = UserFiles::missingFolders(QFileInfo(entry.path).absolutePath());
        // Dolphin only runs service menus of the user's own folder when they are executable.
        const std::optional<QString> error = UserFiles::write(entry.path, entry.contents, kExecutable);
        for (const QString& folder : missing) {
            if (QFileInfo(folder).isDir() && !createdFolders.contains(folder)) createdFolders.append(folder);
        }
        if (error) throw failure(*error);
    }
}

void FileManagerEntries::remove(const QStringList& createdFolders) const {
    for (const Entry& entry : entries()) {
        if (const auto error = UserFiles::remove(entry.path)) throw failure(*error);
    }
    UserFiles::removeEmptyFolders(createdFolders);
}

QByteArray FileManagerEntries::dolphinServiceMenu(const QString& action) const {
    // Type=Application keeps the file a valid desktop entry; Dolphin reads only MimeType and Actions.
    const QString mimeTypes =
        action == kExtract ? extractMimeTypes() : QStringLiteral("application/octet-stream;inode/directory;");
    const QString exec = DesktopEntryText::execValue({m_helperPath, action}, QStringLiteral("%F"));
    const QString text = QStringLiteral(
                             "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=velmora\n"
                             "Exec=%1\n"
                             "MimeType=%2\n"
                             "Actions=%3;\n"
                             "X-KDE-Priority=TopLevel\n"
                             "\n"
                             "[Desktop Action %3]\n"
                             "Name=%4\n"
                             "Exec=%1\n")
                             .arg(exec, mimeTypes, action, title(action));
    return text.toUtf8();
}

QByteArray FileManagerEntries::nemoAction(const QString& action) const {
    const QString extensions = action == kExtract ? extractSuffixes() : QStringLiteral("any;");
    const QString text =
        QStringLiteral(
            "[Nemo Action]\n"
            "Name=%1\n"
            "Exec=%2\n"
            "Selection=notnone\n"
            "Extensions=%3\n")
            .arg(title(action), DesktopEntryText::execValue({m_helperPath, action}, QStringLiteral("%F")),
                 extensions);
    return text.toUtf8();
}

QByteArray FileManagerEntries::script(const QString& action) const {
    // The file manager passes the selected names as arguments, relative to the folder it starts the
    // script in; the helper gets absolute paths.
    const QString text = QStringLiteral(
                             "#!/bin/sh\n"
                             "# Written by velmora; switched off in velmora's settings.\n"
                             "for item in \"$@\"; do\n"
                             "    case $item in\n"
                             "        /*) ;;\n"
                             "        *) item=$PWD/$item ;;\n"
                             "    esac\n"
                             "    set -- \"$@\" \"$item\"\n"
                             "    shift\n"
                             "done\n"
                             "exec %1 %2 \"$@\"\n")
                             .arg(shellQuoted(m_helperPath), action);
    return text.toUtf8();
}

QString FileManagerEntries::shellQuoted(const QString& value) {
    QString text = value;
    text.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}
