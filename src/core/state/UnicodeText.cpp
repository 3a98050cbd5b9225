#include "core/state/UnicodeText.h"

namespace UnicodeText {

bool canonicallyEqual(const QString& lhs, const QString& rhs) {
    if (lhs == rhs) return true;
    return lhs.normalized(QString::NormalizationForm_D) == rhs.normalized(QString::NormalizationForm_D);
}

}  // namespace UnicodeText
