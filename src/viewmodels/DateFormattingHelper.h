#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace DateFormattingHelper {

// Local date and time such as "2026年3月5日 09点07分"; "无" without a date.
QString dateTime(const std::optional<QDateTime>& date);

}  // namespace DateFormattingHelper
