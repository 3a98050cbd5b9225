#pragma once

#include "platform/VelmoraError.h"

// The work was stopped on request. Callers treat it as its own outcome, never as a failure.
class CancellationError : public VelmoraError {
public:
    QString message() const override { return QStringLiteral(u"任务已取消"); }
};
