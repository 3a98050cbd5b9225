#include "viewmodels/AppcastInfo.h"

#include <QJsonDocument>
#include <QJsonObject>

std::optional<AppcastInfo> AppcastInfo::decode(const QByteArray& body) {
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject()) return std::nullopt;
    const QJsonObject object = document.object();
    bool complete = true;
    const auto text = [&](const char* key) {
        const QJsonValue value = object.value(QLatin1String(key));
        complete = complete && value.isString();
        return value.toString();
    };
    AppcastInfo info{
        .version = text("version"),
        .build = text("build"),
        .downloadURL = text("download_url"),
        .sha256 = text("sha256"),
        .releaseNotes = text("release_notes"),
        .publishedAt = text("published_at"),
    };
    if (!complete) return std::nullopt;
    return info;
}
