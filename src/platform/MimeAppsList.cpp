#include "platform/MimeAppsList.h"

#include <QStringDecoder>
#include <algorithm>

namespace {

// The line's text without a trailing carriage return, for reading; the raw text is what is written.
QStringView content(const QString& text) {
    QStringView view(text);
    return view.endsWith(QLatin1Char('\r')) ? view.chopped(1) : view;
}

}  // namespace

std::optional<MimeAppsList> MimeAppsList::parse(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;

    MimeAppsList list;
    QStringList lines = text.split(QLatin1Char('\n'));
    list.m_endsWithNewline = text.isEmpty() || text.endsWith(QLatin1Char('\n'));
    if (text.isEmpty() || list.m_endsWithNewline) lines.removeLast();

    QString group;
    bool inGroup = false;
    for (const QString& raw : lines) {
        const QStringView line = content(raw).trimmed();
        Line parsed{raw, group, {}};
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            list.m_lines.append(parsed);
            continue;
        }
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.sliced(1, line.size() - 2).toString();
            if (group.isEmpty() || group.contains(QLatin1Char('[')) || group.contains(QLatin1Char(']'))) {
                return std::nullopt;
            }
            inGroup = true;
            parsed.group = group;
            list.m_lines.append(parsed);
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inGroup || equals <= 0) return std::nullopt;
        parsed.key = line.first(equals).trimmed().toString();
        if (parsed.key.isEmpty()) return std::nullopt;
        list.m_lines.append(parsed);
    }
    return list;
}

qsizetype MimeAppsList::indexOf(const QString& group, const QString& key) const {
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines.at(i).group == group && m_lines.at(i).key == key) return i;
    }
    return -1;
}

bool MimeAppsList::contains(const QString& group, const QString& key) const {
    return indexOf(group, key) >= 0;
}

bool MimeAppsList::containsGroup(const QString& group) const {
    return std::any_of(m_lines.begin(), m_lines.end(), [&](const Line& line) { return line.group == group; });
}

QStringList MimeAppsList::desktopIDs(const QString& group, const QString& key) const {
    const qsizetype index = indexOf(group, key);
    if (index < 0) return {};
    const QStringView line = content(m_lines.at(index).text);
    const QStringView value = line.sliced(line.indexOf(QLatin1Char('=')) + 1);
    QStringList ids;
    for (const QStringView id : value.split(QLatin1Char(';'))) {
        if (!id.trimmed().isEmpty()) ids.append(id.trimmed().toString());
    }
    return ids;
}

qsizetype MimeAppsList::insertionIndex(const QString& group) const {
    qsizetype index = -1;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines.at(i);
        if (line.group != group) continue;
        // After the group's last key or header, so blank lines before the next group stay where they are.
        if (!line.key.isEmpty() || content(line.text).trimmed().startsWith(QLatin1Char('['))) index = i + 1;
    }
    return index;
}

void MimeAppsList::setDesktopIDs(const QString& group, const QString& key, const QStringList& ids) {
    const QString text = key + QLatin1Char('=') + ids.join(QLatin1Char(';')) + QLatin1Char(';');
    const qsizetype existing = indexOf(group, key);
    if (existing >= 0) {
        const bool crlf = m_lines.at(existing).text.endsWith(QLatin1Char('\r'));
        m_lines[existing].text = crlf ? text + QLatin1Char('\r') : text;
        for (qsizetype i = m_lines.size() - 1; i > existing; --i) {
            if (m_lines.at(i).group == group && m_lines.at(i).key == key) m_lines.removeAt(i);
        }
        return;
    }
    qsizetype index = insertionIndex(group);
    if (index < 0) {
        if (!m_lines.isEmpty() && !content(m_lines.constLast().text).trimmed().isEmpty()) {
            m_lines.append(Line{{}, m_lines.constLast().group, {}});
        }
        m_lines.append(Line{QLatin1Char('[') + group + QLatin1Char(']'), group, {}});
        index = m_lines.size();
    }
    m_lines.insert(index, Line{text, group, key});
}

void MimeAppsList::remove(const QString& group, const QString& key) {
    m_lines.removeIf([&](const Line& line) { return line.group == group && line.key == key; });
}

void MimeAppsList::prependDesktopID(const QString& group, const QString& key, const QString& id) {
    const qsizetype index = indexOf(group, key);
    if (index < 0) return setDesktopIDs(group, key, {id});
    QString& text = m_lines[index].text;
    text.insert(text.indexOf(QLatin1Char('=')) + 1, id + QLatin1Char(';'));
}

bool MimeAppsList::removeLeadingDesktopID(const QString& group, const QString& key, const QString& id) {
    const qsizetype index = indexOf(group, key);
    if (index < 0) return false;
    QString& text = m_lines[index].text;
    const qsizetype value = text.indexOf(QLatin1Char('=')) + 1;
    const QString prefix = id + QLatin1Char(';');
    if (!QStringView(text).sliced(value).startsWith(prefix)) return false;
    text.remove(value, prefix.size());
    return true;
}

QByteArray MimeAppsList::toBytes() const {
    QString text;
    for (const Line& line : m_lines) text += line.text + QLatin1Char('\n');
    if (!m_endsWithNewline && !text.isEmpty()) text.chop(1);
    return text.toUtf8();
}
