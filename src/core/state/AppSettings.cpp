#include "core/state/AppSettings.h"

#include "core/base/UnicodeText.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QThread>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

const QLatin1String kPathMember("defaultExtractLocationPath");
const QLatin1String kThreadCountMember("compressionThreadCount");

const std::pair<QLatin1String, bool AppSettings::*> kSwitchMembers[] = {
    {QLatin1String("extractToSeparateFolder"), &AppSettings::extractToSeparateFolder},
    {QLatin1String("deleteSourceAfterExtract"), &AppSettings::deleteSourceAfterExtract},
    {QLatin1String("setAsDefaultExtractor"), &AppSettings::setAsDefaultExtractor},
    {QLatin1String("contextMenuEnabled"), &AppSettings::contextMenuEnabled},
    {QLatin1String("launchAtLogin"), &AppSettings::launchAtLogin},
    // Stored under the name the switch had first, so settings already saved keep it.
    {QLatin1String("menuBarDropEnabled"), &AppSettings::trayDropEnabled},
    {QLatin1String("compressToSeparateFolder"), &AppSettings::compressToSeparateFolder},
    {QLatin1String("ignoreHiddenFilesWhenCompressing"), &AppSettings::ignoreHiddenFilesWhenCompressing},
    {QLatin1String("deleteSourceAfterCompress"), &AppSettings::deleteSourceAfterCompress},
    {QLatin1String("archivePasswordBookEnabled"), &AppSettings::archivePasswordBookEnabled},
    {QLatin1String("archivePasswordBookAutoSaveEnabled"), &AppSettings::archivePasswordBookAutoSaveEnabled},
};

bool isAbsent(const QJsonValue& value) { return value.isUndefined() || value.isNull(); }

// A JSON number with an exact 64-bit integer value: 4 and 4.0 qualify, 4.5 and 2^63 do not.
std::optional<qint64> exactInteger(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const QVariant variant = value.toVariant();
    if (variant.typeId() == QMetaType::LongLong) return variant.toLongLong();
    const double number = value.toDouble();
    constexpr double kTwoToThe63 = 9223372036854775808.0;
    if (std::trunc(number) != number || number < -kTwoToThe63 || number >= kTwoToThe63) return std::nullopt;
    return static_cast<qint64>(number);
}

}  // namespace

qint64 AppSettings::activeProcessorCount() { return std::max(QThread::idealThreadCount(), 1); }

QByteArray AppSettings::encoded() const {
    QJsonObject object;
    object.insert(kPathMember, defaultExtractLocationPath);
    object.insert(kThreadCountMember, compressionThreadCount);
    for (const auto& [name, member] : kSwitchMembers) object.insert(name, this->*member);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<AppSettings> AppSettings::decoded(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    const QJsonObject object = document.object();
    AppSettings settings = defaults();

    const QJsonValue path = object.value(kPathMember);
    if (!isAbsent(path)) {
        if (!path.isString()) return std::nullopt;
        settings.defaultExtractLocationPath = path.toString();
    }
    const QJsonValue threadCount = object.value(kThreadCountMember);
    if (!isAbsent(threadCount)) {
        const std::optional<qint64> count = exactInteger(threadCount);
        if (!count) return std::nullopt;
        settings.compressionThreadCount = *count;
    }
    for (const auto& [name, member] : kSwitchMembers) {
        const QJsonValue value = object.value(name);
        if (isAbsent(value)) continue;
        if (!value.isBool()) return std::nullopt;
        settings.*member = value.toBool();
    }
    return settings;
}

bool AppSettings::operator==(const AppSettings& other) const {
    if (!UnicodeText::canonicallyEqual(defaultExtractLocationPath, other.defaultExtractLocationPath))
        return false;
    if (compressionThreadCount != other.compressionThreadCount) return false;
    return std::all_of(std::begin(kSwitchMembers), std::end(kSwitchMembers),
                       [&](const auto& entry) { return this->*entry.second == other.*entry.second; });
}
