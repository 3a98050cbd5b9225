#include "viewmodels/DateFormattingHelper.h"

namespace DateFormattingHelper {

QString dateTime(const std::optional<QDateTime>& date) {
    if (!date) return QStringLiteral(u"无");
    return date->toLocalTime().toString(QStringLiteral(u"yyyy年M月d日 HH点mm分"));
}

}  // namespace DateFormattingHelper
