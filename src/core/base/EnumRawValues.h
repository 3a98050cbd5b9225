#pragma once

#include <QMetaEnum>
#include <QString>
#include <optional>

// The text an enumeration is stored and passed as, where that text is the enumerator's own name.
// The enumeration is declared with Q_ENUM_NS, so moc records the names and no table is kept by hand.
namespace EnumRawValues {

template <typename Enum>
QString rawValue(Enum value) {
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(static_cast<int>(value)));
}

// Only a name exactly as declared: QMetaEnum::keyToValue would also take a scoped "Type::name".
template <typename Enum>
std::optional<Enum> fromRawValue(const QString& rawValue) {
    const QMetaEnum meta = QMetaEnum::fromType<Enum>();
    for (int index = 0; index < meta.keyCount(); ++index) {
        if (rawValue == QLatin1StringView(meta.key(index))) return static_cast<Enum>(meta.value(index));
    }
    return std::nullopt;
}

}  // namespace EnumRawValues
