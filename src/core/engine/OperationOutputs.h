#pragma once

#include <QStringList>

// What a finished extraction or compression leaves: its outputs in order (an extraction's folder per
// archive, a compression's archives), and the user's items that were to go to the trash afterwards but
// stayed where they were.
struct OperationOutputs {
    QStringList outputs;
    QStringList untrashed;

    bool operator==(const OperationOutputs&) const = default;
};
