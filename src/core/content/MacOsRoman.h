#pragma once

#include <QByteArrayView>
#include <QString>

// The Mac OS Roman character set, which old Mac ZIP tools wrote names in. Qt has no codec for it.
namespace MacOsRoman {

// Every byte has a character, so decoding cannot fail.
QString decode(QByteArrayView bytes);

}  // namespace MacOsRoman
