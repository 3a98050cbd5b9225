#pragma once

#include "core/base/CancellationToken.h"

#include <QString>
#include <QStringList>
#include <optional>

// The questions about an archive's password that the models ask through ArchivePasswordProbe, the one
// place the password book's passwords are tried: blocking calls for a worker thread. The main window's
// engine and the archive browser's services answer them; tests script them.
class PasswordProbing {
public:
    virtual ~PasswordProbing() = default;

    virtual bool isEncrypted(const QString& archiveURL, const CancellationToken& token) = 0;
    virtual std::optional<QString> firstOpeningPassword(const QString& archiveURL,
                                                        const QStringList& candidates,
                                                        const CancellationToken& token) = 0;
};
