#include "core/engine/ArchiveDriver.h"

std::optional<ProcessResult> ArchiveDriver::listTechnical(const QString&, const std::optional<QString>&,
                                                          const CancellationToken&) const {
    return std::nullopt;
}

ArchiveDriver::Encryption ArchiveDriver::encryptionIn(const ProcessResult&) const { return {}; }

std::optional<ProcessResult> ArchiveDriver::test(const QString&, const std::optional<QString>&,
                                                 const QStringList&, const CancellationToken&) const {
    return std::nullopt;
}

std::optional<ProcessResult> ArchiveDriver::remove(const QString&, const QStringList&,
                                                   const std::optional<QString>&, const QString&,
                                                   const CancellationToken&) const {
    return std::nullopt;
}

bool ArchiveDriver::readsAsSwitch(const QString&) const { return false; }
