#include "core/state/PasswordImportFile.h"

#include "core/base/JsonFields.h"
#include "core/state/ArchivePasswordBookEntry.h"
#include "core/state/PasswordImportError.h"

#include <QStringDecoder>
#include <QStringList>

using Entry = ArchivePasswordBookEntry;
using JsonFields::DateForm;

namespace {

bool isLineBreak(QChar character) {
    switch (character.unicode()) {
        case 0x000A:
        case 0x000B:
        case 0x000C:
        case 0x000D:
        case 0x0085:
        case 0x2028:
        case 0x2029:
            return true;
        default:
            return false;
    }
}

// Every line-break character ends a piece, so "\r\n" leaves an empty piece between two lines.
QStringList linePieces(const QString& text) {
    QStringList pieces{QString()};
    for (QChar character : text) {
        if (isLineBreak(character)) {
            pieces << QString();
        } else {
            pieces.last() += character;
        }
    }
    return pieces;
}

// At most two parts at commas, never an empty one: leading commas are skipped, the first comma after
// some text ends the first part, and all that follows it, further commas included, is the second.
QStringList commaParts(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text[start] == QLatin1Char(',')) ++start;
    if (start == text.size()) return {};
    const qsizetype comma = text.indexOf(QLatin1Char(','), start);
    if (comma < 0) return {text.mid(start)};
    const QString rest = text.mid(comma + 1);
    if (rest.isEmpty()) return {text.mid(start, comma - start)};
    return {text.mid(start, comma - start), rest};
}

// Text that a person could have typed: valid UTF-8 without control characters other than tabs and
// line breaks (a NUL, say, means a binary file).
std::optional<QString> typedText(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    for (QChar character : text) {
        if (character.category() == QChar::Other_Control && character != QLatin1Char('\t') &&
            !isLineBreak(character)) {
            return std::nullopt;
        }
    }
    return text;
}

QList<std::pair<QString, QString>> textLinePairs(const QString& text) {
    QList<std::pair<QString, QString>> pairs;
    const QStringList pieces = linePieces(text);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString line = pieces[i].trimmed();
        if (line.isEmpty()) continue;
        const QStringList parts = commaParts(line);
        if (parts.size() == 2) {
            pairs.append({parts[0].trimmed(), parts[1].trimmed()});
        } else {
            pairs.append({QStringLiteral(u"导入密码 ") + QString::number(i + 1), line});
        }
    }
    return pairs;
}

std::optional<QList<Entry>> exportedEntries(const QByteArray& bytes, DateForm dates) {
    return JsonFields::decodeArray<Entry>(
        bytes, [dates](const QJsonValue& value) { return Entry::fromJson(value, dates); });
}

// A document that opens with a lone "[" or "{" line is JSON, even when it does not parse (a cut-off
// export): its lines are not passwords.
bool looksLikeJson(const QByteArray& bytes, const QString& text) {
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (document.isArray() || document.isObject()) return true;
    for (const QString& piece : linePieces(text)) {
        const QString line = piece.trimmed();
        if (!line.isEmpty()) return line == QLatin1String("[") || line == QLatin1String("{");
    }
    return false;
}

}  // namespace

namespace PasswordImportFile {

QList<std::pair<QString, QString>> pairs(const QByteArray& bytes) {
    std::optional<QList<Entry>> exported = exportedEntries(bytes, DateForm::iso8601);
    if (!exported) exported = exportedEntries(bytes, DateForm::referenceSeconds);
    if (exported && !exported->isEmpty()) {
        QList<std::pair<QString, QString>> found;
        for (const Entry& entry : *exported) {
            found.append(
                {entry.label.isEmpty() ? QStringLiteral(u"未命名密码") : entry.label, entry.password});
        }
        return found;
    }
    const std::optional<QString> text = typedText(bytes);
    if (!text) throw PasswordImportError(QStringLiteral(u"这不是文本文件，无法从中读取密码。"));
    if (exported || looksLikeJson(bytes, *text)) {
        throw PasswordImportError(
            QStringLiteral(u"这个 JSON 文件不是 velmora 导出的密码本，或其中没有密码。"));
    }
    QList<std::pair<QString, QString>> found = textLinePairs(*text);
    if (found.isEmpty()) throw PasswordImportError(QStringLiteral(u"文件中没有密码。"));
    return found;
}

}  // namespace PasswordImportFile
