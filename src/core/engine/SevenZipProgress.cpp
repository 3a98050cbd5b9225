#include "core/engine/SevenZipProgress.h"

#include <QRegularExpression>

#include <algorithm>

namespace SevenZipProgress {

namespace {
constexpr double kLowest = 0.01;
constexpr double kHighest = 0.95;
}  // namespace

std::vector<double> sevenZipProgressValues(const QString& chunk) {
    static const QRegularExpression percentage(QStringLiteral("(\\d{1,3})%"));
    std::vector<double> values;
    QRegularExpressionMatchIterator matches = percentage.globalMatch(chunk);
    while (matches.hasNext()) {
        bool isNumber = false;
        const int number = matches.next().captured(1).toInt(&isNumber);
        if (!isNumber) continue;
        values.push_back(std::clamp(number / 100.0, kLowest, kHighest));
    }
    return values;
}

ProcessRunner::OutputHandler makeSevenZipProgressOutputHandler(const ProgressHandler& progressHandler) {
    if (!progressHandler) return {};
    return [progressHandler](const QString& chunk) {
        for (double value : sevenZipProgressValues(chunk)) progressHandler(value);
    };
}

}  // namespace SevenZipProgress
