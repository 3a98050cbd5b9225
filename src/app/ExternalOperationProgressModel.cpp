#include "app/ExternalOperationProgressModel.h"

#include <algorithm>
#include <cmath>

void ExternalOperationProgressModel::start(const QString& title, const QString& message,
                                           const QString& note) {
    m_title = title;
    m_message = message;
    m_note = note;
    m_progress = 0.08;
    m_isFinished = false;
    m_outcome = StatusKind::success;
    Q_EMIT changed();
}

void ExternalOperationProgressModel::update(double progress, const QString& message) {
    if (m_isFinished || !std::isfinite(progress)) return;
    m_progress = std::max(std::min(progress, 0.98), 0.01);
    m_message = message;
    Q_EMIT changed();
}

void ExternalOperationProgressModel::finish(const QString& title, const QString& message,
                                            StatusKind outcome) {
    m_title = title;
    m_message = message;
    if (outcome != StatusKind::error) m_progress = 1.0;
    m_isFinished = true;
    m_outcome = outcome;
    Q_EMIT changed();
}

void ExternalOperationProgressModel::setMessage(const QString& message) {
    m_message = message;
    Q_EMIT changed();
}

void ExternalOperationProgressModel::setNote(const QString& note) {
    m_note = note;
    Q_EMIT changed();
}

QString ExternalOperationProgressModel::percentText(double progress) {
    return QString::number(static_cast<int>(std::floor(progress * 100))) + QLatin1Char('%');
}
