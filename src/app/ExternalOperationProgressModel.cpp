#include "app/ExternalOperationProgressModel.h"

#include <algorithm>
#include <cmath>

void ExternalOperationProgressModel::start(const QString& title, const QString& message) {
    m_title = title;
    m_message = message;
    m_progress = 0.08;
    m_isFinished = false;
    m_isError = false;
    Q_EMIT changed();
}

void ExternalOperationProgressModel::update(double progress, const QString& message) {
    if (m_isFinished || !std::isfinite(progress)) return;
    m_progress = std::max(std::min(progress, 0.98), 0.01);
    m_message = message;
    Q_EMIT changed();
}

void ExternalOperationProgressModel::finish(const QString& title, const QString& message, bool isError) {
    m_title = title;
    m_message = message;
    if (!isError) m_progress = 1.0;
    m_isFinished = true;
    m_isError = isError;
    Q_EMIT changed();
}

void ExternalOperationProgressModel::setMessage(const QString& message) {
    m_message = message;
    Q_EMIT changed();
}

QString ExternalOperationProgressModel::percentText(double progress) {
    return QString::number(static_cast<int>(std::floor(progress * 100))) + QLatin1Char('%');
}
