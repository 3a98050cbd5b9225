#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <exception>

// An archive of an extraction of several that failed, as it was given, and why.
struct ArchiveFailure {
    QString archive;
    std::exception_ptr error;

    bool operator==(const ArchiveFailure&) const = default;
};

// What a finished extraction or compression leaves: its outputs in order (an extraction's folder per
// extracted archive or the items of an extracted selection, a compression's archives), the user's items
// that were to go to the trash afterwards but stayed where they were, how many extracted top-level items
// went in under a free numbered name because theirs was taken (nothing of the user's is replaced), the
// archives of an extraction of several that failed while the others went on, in order, and the user's
// items that went to the trash.
struct OperationOutputs {
    QStringList outputs;
    QStringList untrashed;
    int renamedCount = 0;
    QList<ArchiveFailure> failures = {};
    QStringList trashed = {};

    // The failure of the given archive, if it failed.
    const ArchiveFailure* failureOf(const QString& archive) const {
        for (const ArchiveFailure& failure : failures)
            if (failure.archive == archive) return &failure;
        return nullptr;
    }

    // Added to an extraction's success message on every way in: empty when nothing was renamed.
    QString renamedNote() const {
        return renamedCount == 0 ? QString() : QStringLiteral(u"，%1 项因重名已改名").arg(renamedCount);
    }

    bool operator==(const OperationOutputs&) const = default;
};
