#include "core/split/SplitArchivePartStatus.h"

#include "core/base/JsonFields.h"

namespace {

const QString kExpectedFileName = QStringLiteral("expectedFileName");
const QString kMessage = QStringLiteral("message");

}  // namespace

QJsonObject SplitArchivePartStatus::toJson() const {
    switch (m_case) {
        case Case::missing:
            return {{QStringLiteral("missing"), QJsonObject{{kExpectedFileName, m_text}}}};
        case Case::duplicate:
            return {{QStringLiteral("duplicate"), QJsonObject{{kMessage, m_text}}}};
        case Case::warning:
            return {{QStringLiteral("warning"), QJsonObject{{kMessage, m_text}}}};
        case Case::found:
            return {{QStringLiteral("found"), QJsonObject{}}};
    }
    return {};
}

SplitArchivePartStatus SplitArchivePartStatus::fromJson(const QJsonValue& value) {
    const QJsonObject json = JsonFields::object(value);
    if (json.size() != 1)
        throw JsonDecodingError(QStringLiteral("Invalid number of keys found, expected one."));
    const QString name = json.begin().key();
    const QJsonObject values = JsonFields::object(json.begin().value());
    if (name == QLatin1String("missing")) return missing(JsonFields::string(values, kExpectedFileName));
    if (name == QLatin1String("duplicate")) return duplicate(JsonFields::string(values, kMessage));
    if (name == QLatin1String("warning")) return warning(JsonFields::string(values, kMessage));
    if (name == QLatin1String("found")) return found();
    throw JsonDecodingError::member(name);
}
