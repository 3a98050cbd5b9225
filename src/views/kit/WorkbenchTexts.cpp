#include "views/kit/WorkbenchTexts.h"

#include "core/base/ArchiveFormat.h"
#include "platform/ByteCountFormatter.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <set>

namespace WorkbenchTexts {

namespace {

// The text after the last dot of the name; a name that only starts with a dot has none.
QString pathExtension(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0) return {};
    return name.mid(dot + 1);
}

// A volume is labelled as its set: 7Z for a.7z.001, RAR for a.r00.
QString kindLabel(const QString& path) {
    if (const auto kind = ArchiveFormat::kindOrSetKind(path)) return ArchiveFormat::displayName(*kind);
    return pathExtension(path).toUpper();
}

}  // namespace

QString sizeText(qint64 bytes) {
    return bytes == 0 ? QStringLiteral("-") : ByteCountFormatter::fileStyle(bytes);
}

QString estimateText(qint64 bytes) {
    return bytes == 0 ? QStringLiteral("-") : QStringLiteral(u"约 ") + ByteCountFormatter::fileStyle(bytes);
}

QString fileTypeText(const QString& path) {
    if (pathExtension(path).isEmpty()) return QStringLiteral(u"文件夹");
    return kindLabel(path) + QStringLiteral(u" 文件");
}

QString selectedArchiveFormats(const QStringList& paths) {
    std::set<QString> labels;
    for (const QString& path : paths) {
        const QString label = kindLabel(path);
        if (!label.isEmpty()) labels.insert(label);
    }
    if (labels.empty()) return QStringLiteral("-");
    return QStringList(labels.begin(), labels.end()).join(QStringLiteral(", "));
}

std::optional<QString> passwordUnavailableNote(CompressionFormat format) {
    if (CompressionFormats::supportsEncryption(format)) return std::nullopt;
    return CompressionFormats::displayName(format) +
           QStringLiteral(u" 格式不支持加密，需要密码请改用 ZIP 或 7Z。");
}

int percent(double progress) {
    if (!std::isfinite(progress)) return 0;
    // Held within int's range before the cut, so any stored value converts safely.
    return static_cast<int>(std::clamp(progress * 100, 0.0, 1.0e9));
}

QString percentText(double progress) { return QString::number(percent(progress)) + u'%'; }

std::optional<ArchiveTask> firstRunningTask(const QList<ArchiveTask>& tasks) {
    const auto found = std::find_if(tasks.begin(), tasks.end(), [](const ArchiveTask& task) {
        return task.status == ArchiveActivityStatus::running;
    });
    if (found == tasks.end()) return std::nullopt;
    return *found;
}

int gridColumns(int width, int minimumWidth, int spacing) {
    return std::max(1, (width + spacing) / (minimumWidth + spacing));
}

}  // namespace WorkbenchTexts
