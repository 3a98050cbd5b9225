#include "platform/DesktopEntryText.h"

#include <algorithm>

namespace DesktopEntryText {

namespace {

bool isReserved(QChar character) {
    static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return kReserved.contains(character);
}

}  // namespace

QString execArgument(const QString& argument) {
    const bool needsQuotes = argument.isEmpty() || std::any_of(argument.begin(), argument.end(), isReserved);
    QString text;
    if (needsQuotes) text += QLatin1Char('"');
    for (const QChar character : argument) {
        if (needsQuotes && QStringView(u"\"`$\\").contains(character)) text += QLatin1Char('\\');
        text += character;
        if (character == QLatin1Char('%')) text += QLatin1Char('%');
    }
    if (needsQuotes) text += QLatin1Char('"');
    return text;
}

QString execValue(const QStringList& arguments, const QString& fieldCode) {
    QStringList parts;
    for (const QString& argument : arguments) parts.append(execArgument(argument));
    if (!fieldCode.isEmpty()) parts.append(fieldCode);
    return escapedString(parts.join(QLatin1Char(' ')));
}

QString escapedString(const QString& value) {
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar character = value.at(i);
        if (character == QLatin1Char('\\')) {
            text += QStringLiteral("\\\\");
        } else if (character == QLatin1Char('\n')) {
            text += QStringLiteral("\\n");
        } else if (character == QLatin1Char('\t')) {
            text += QStringLiteral("\\t");
        } else if (character == QLatin1Char('\r')) {
            text += QStringLiteral("\\r");
        } else if (character == QLatin1Char(' ') && i == 0) {
            text += QStringLiteral("\\s");
        } else {
            text += character;
        }
    }
    return text;
}

}  // namespace DesktopEntryText
