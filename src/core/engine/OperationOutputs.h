#pragma once

#include <QString>
#include <QStringList>

// What a finished extraction or compression leaves: its outputs in order (an extraction's folder per
// archive or the items of an extracted selection, a compression's archives), the user's items that were
// to go to the trash afterwards but stayed where they were, and how many extracted top-level items went
// in under a free numbered name because theirs was taken (nothing of the user's is replaced).
struct OperationOutputs {
    QStringList outputs;
    QStringList untrashed;
    int renamedCount = 0;

    // Added to an extraction's success message on every way in: empty when nothing was renamed.
    QString renamedNote() const {
        return renamedCount == 0 ? QString() : QStringLiteral(u"，%1 项因重名已改名").arg(renamedCount);
    }

    bool operator==(const OperationOutputs&) const = default;
};
