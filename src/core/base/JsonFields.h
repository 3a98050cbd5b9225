#pragma once

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QStringList>
#include <QUuid>
#include <optional>

// Strict reading and writing of the members of stored records. A required member that is missing,
// null or of another JSON type throws JsonDecodingError; an optional member that is missing or null is
// absent, and one of another type throws as well. Extra members are never looked at.
namespace JsonFields {

// How a record's dates are written: whole-second ISO 8601 text in UTC with "Z", or a number of
// seconds since 2001-01-01 00:00:00 UTC (fractions allowed).
enum class DateForm { iso8601, referenceSeconds };

QJsonObject object(const QJsonValue& value);
QJsonArray array(const QJsonValue& value);

QString string(const QJsonObject& object, const QString& key);
double number(const QJsonObject& object, const QString& key);
qint64 integer(const QJsonObject& object, const QString& key);
bool boolean(const QJsonObject& object, const QString& key);
QUuid uuid(const QJsonObject& object, const QString& key);
QStringList stringList(const QJsonObject& object, const QString& key);
QDateTime date(const QJsonObject& object, const QString& key, DateForm form);

// A local file path, written as a "file://" URL.
QString fileURL(const QJsonObject& object, const QString& key);
std::optional<QString> optionalFileURL(const QJsonObject& object, const QString& key);
QJsonValue fileURLValue(const QString& path);

std::optional<QString> optionalString(const QJsonObject& object, const QString& key);
std::optional<qint64> optionalInteger(const QJsonObject& object, const QString& key);
std::optional<bool> optionalBoolean(const QJsonObject& object, const QString& key);
std::optional<QStringList> optionalStringList(const QJsonObject& object, const QString& key);

// An enumeration member: its text must be one of the raw values that fromRawValue accepts.
template <typename Enum, typename FromRawValue>
Enum enumeration(const QJsonObject& object, const QString& key, FromRawValue fromRawValue);

// The canonical 36-character form in upper case; reading accepts either case, nothing else.
QString uuidText(const QUuid& uuid);
QJsonValue dateValue(const QDateTime& date, DateForm form);
QDateTime parseDate(const QJsonValue& value, DateForm form);

void insert(QJsonObject& object, const QString& key, const std::optional<QString>& value);
void insert(QJsonObject& object, const QString& key, const std::optional<qint64>& value);
void insert(QJsonObject& object, const QString& key, const std::optional<bool>& value);
void insert(QJsonObject& object, const QString& key, const std::optional<QStringList>& value);

// A whole stored list: a JSON array of records. Decoding answers nothing when the bytes are not an
// array or any one record fails; encoding writes the records in order.
template <typename Record, typename Decode>
std::optional<QList<Record>> decodeArray(const QByteArray& bytes, Decode decode);
template <typename Record, typename Encode>
QByteArray encodeArray(const QList<Record>& records, Encode encode, QJsonDocument::JsonFormat format);

template <typename Record>
struct EachDecoded {
    QList<Record> records;
    qsizetype skipped = 0;
};
// A stored list read record by record: a record that fails is left out and counted, the others are
// kept. Nothing when the bytes are not a JSON array.
template <typename Record, typename Decode>
std::optional<EachDecoded<Record>> decodeEach(const QByteArray& bytes, Decode decode);

}  // namespace JsonFields

#include "core/base/JsonDecodingError.h"

template <typename Enum, typename FromRawValue>
Enum JsonFields::enumeration(const QJsonObject& object, const QString& key, FromRawValue fromRawValue) {
    const std::optional<Enum> value = fromRawValue(string(object, key));
    if (!value) throw JsonDecodingError::member(key);
    return *value;
}

template <typename Record, typename Decode>
std::optional<QList<Record>> JsonFields::decodeArray(const QByteArray& bytes, Decode decode) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) return std::nullopt;
    QList<Record> records;
    try {
        for (const QJsonValue& value : document.array()) records.append(decode(value));
    } catch (const JsonDecodingError&) {
        return std::nullopt;
    }
    return records;
}

template <typename Record, typename Decode>
std::optional<JsonFields::EachDecoded<Record>> JsonFields::decodeEach(const QByteArray& bytes,
                                                                      Decode decode) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) return std::nullopt;
    EachDecoded<Record> decoded;
    for (const QJsonValue& value : document.array()) {
        try {
            decoded.records.append(decode(value));
        } catch (const JsonDecodingError&) {
            ++decoded.skipped;
        }
    }
    return decoded;
}

template <typename Record, typename Encode>
QByteArray JsonFields::encodeArray(const QList<Record>& records, Encode encode,
                                   QJsonDocument::JsonFormat format) {
    QJsonArray array;
    for (const Record& record : records) array.append(encode(record));
    return QJsonDocument(array).toJson(format);
}
