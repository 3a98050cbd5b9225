#include "core/base/JsonFields.h"

#include <QRegularExpression>
#include <QTimeZone>
#include <QUrl>
#include <cmath>

namespace JsonFields {

namespace {

const QDateTime& referenceDate() {
    static const QDateTime date(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return date;
}

// About 3 million years either side of 2001: far beyond any real date, and small enough that the
// conversion to milliseconds cannot overflow.
constexpr double kLargestReferenceSeconds = 1e14;

QJsonValue required(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull()) throw JsonDecodingError::member(key);
    return value;
}

bool isPresent(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    return !value.isUndefined() && !value.isNull();
}

std::optional<qint64> wholeNumber(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    // toInteger answers its default for a fraction or a number beyond 64 bits; two defaults tell
    // that apart from a stored value equal to one of them.
    const qint64 first = value.toInteger(0);
    if (first != value.toInteger(1)) return std::nullopt;
    return first;
}

// RFC 3339 date-time without fractions of a second: the internet form of ISO 8601.
QDateTime parseInternetDateTime(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:(Z)|([+-])(\d{2}):(\d{2}))$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) return {};
    const auto field = [&](int group) { return match.captured(group).toInt(); };
    const QDate day(field(1), field(2), field(3));
    const QTime time(field(4), field(5), field(6));
    if (!day.isValid() || !time.isValid()) return {};
    if (!match.captured(7).isEmpty()) return QDateTime(day, time, QTimeZone::utc());
    if (field(9) > 23 || field(10) > 59) return {};
    const int offsetMinutes = field(9) * 60 + field(10);
    const int sign = match.captured(8) == QLatin1String("-") ? -1 : 1;
    return QDateTime(day, time, QTimeZone(sign * offsetMinutes * 60)).toUTC();
}

QDateTime parseReferenceSeconds(const QJsonValue& value) {
    if (!value.isDouble()) return {};
    const double seconds = value.toDouble();
    if (!std::isfinite(seconds) || std::fabs(seconds) > kLargestReferenceSeconds) return {};
    return referenceDate().addMSecs(std::llround(seconds * 1000));
}

}  // namespace

QJsonObject object(const QJsonValue& value) {
    if (!value.isObject()) throw JsonDecodingError::member(QStringLiteral("object"));
    return value.toObject();
}

QJsonArray array(const QJsonValue& value) {
    if (!value.isArray()) throw JsonDecodingError::member(QStringLiteral("array"));
    return value.toArray();
}

QString string(const QJsonObject& object, const QString& key) {
    const QJsonValue value = required(object, key);
    if (!value.isString()) throw JsonDecodingError::member(key);
    return value.toString();
}

double number(const QJsonObject& object, const QString& key) {
    const QJsonValue value = required(object, key);
    if (!value.isDouble()) throw JsonDecodingError::member(key);
    return value.toDouble();
}

qint64 integer(const QJsonObject& object, const QString& key) {
    const std::optional<qint64> value = wholeNumber(required(object, key));
    if (!value) throw JsonDecodingError::member(key);
    return *value;
}

bool boolean(const QJsonObject& object, const QString& key) {
    const QJsonValue value = required(object, key);
    if (!value.isBool()) throw JsonDecodingError::member(key);
    return value.toBool();
}

QUuid uuid(const QJsonObject& object, const QString& key) {
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    const QString text = string(object, key);
    if (!pattern.match(text).hasMatch()) throw JsonDecodingError::member(key);
    return QUuid::fromString(text);
}

QStringList stringList(const QJsonObject& object, const QString& key) {
    const QJsonValue value = required(object, key);
    if (!value.isArray()) throw JsonDecodingError::member(key);
    QStringList texts;
    for (const QJsonValue& element : value.toArray()) {
        if (!element.isString()) throw JsonDecodingError::member(key);
        texts << element.toString();
    }
    return texts;
}

QDateTime date(const QJsonObject& object, const QString& key, DateForm form) {
    const QDateTime value = parseDate(required(object, key), form);
    if (!value.isValid()) throw JsonDecodingError::member(key);
    return value;
}

QString fileURL(const QJsonObject& object, const QString& key) {
    const QUrl url(string(object, key), QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile()) throw JsonDecodingError::member(key);
    return url.toLocalFile();
}

std::optional<QString> optionalFileURL(const QJsonObject& object, const QString& key) {
    if (!isPresent(object, key)) return std::nullopt;
    return fileURL(object, key);
}

QJsonValue fileURLValue(const QString& path) {
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

std::optional<QString> optionalString(const QJsonObject& object, const QString& key) {
    if (!isPresent(object, key)) return std::nullopt;
    return string(object, key);
}

std::optional<qint64> optionalInteger(const QJsonObject& object, const QString& key) {
    if (!isPresent(object, key)) return std::nullopt;
    return integer(object, key);
}

std::optional<bool> optionalBoolean(const QJsonObject& object, const QString& key) {
    if (!isPresent(object, key)) return std::nullopt;
    return boolean(object, key);
}

std::optional<QStringList> optionalStringList(const QJsonObject& object, const QString& key) {
    if (!isPresent(object, key)) return std::nullopt;
    return stringList(object, key);
}

QString uuidText(const QUuid& uuid) { return uuid.toString(QUuid::WithoutBraces).toUpper(); }

QJsonValue dateValue(const QDateTime& date, DateForm form) {
    if (form == DateForm::referenceSeconds) return referenceDate().msecsTo(date) / 1000.0;
    // Whole seconds only: the internet form carries no fraction.
    return date.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) + QLatin1Char('Z');
}

QDateTime parseDate(const QJsonValue& value, DateForm form) {
    if (form == DateForm::referenceSeconds) return parseReferenceSeconds(value);
    if (!value.isString()) return {};
    return parseInternetDateTime(value.toString());
}

void insert(QJsonObject& object, const QString& key, const std::optional<QString>& value) {
    if (value) object.insert(key, *value);
}

void insert(QJsonObject& object, const QString& key, const std::optional<qint64>& value) {
    if (value) object.insert(key, *value);
}

void insert(QJsonObject& object, const QString& key, const std::optional<bool>& value) {
    if (value) object.insert(key, *value);
}

void insert(QJsonObject& object, const QString& key, const std::optional<QStringList>& value) {
    if (value) object.insert(key, QJsonArray::fromStringList(*value));
}

}  // namespace JsonFields
