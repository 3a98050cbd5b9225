#include "viewmodels/BatchPasswords.h"

#include "core/base/CancellationError.h"
#include "viewmodels/PasswordProbing.h"

namespace BatchPasswords {

namespace {

bool needsPassword(PasswordProbing& probing, const QString& archive, const CancellationToken& token) {
    try {
        return probing.isEncrypted(archive, token);
    } catch (const CancellationError&) {
        throw;
    } catch (...) {
        return false;
    }
}

}  // namespace

Choice choose(PasswordProbing& probing, const Request& request, const CancellationToken& token,
              const std::function<void(const QString&)>& foundInBook) {
    Choice choice;
    for (qsizetype index = 0; index < request.archives.size(); ++index) {
        const QString& archive = request.archives[index];
        const QStringList candidates = request.candidates.value(index);
        const bool encrypted =
            (request.probeEvery || !candidates.isEmpty()) && needsPassword(probing, archive, token);
        choice.encrypted << encrypted;
        std::optional<QString> password = request.typed;
        if (encrypted && !candidates.isEmpty()) {
            QStringList tries = candidates;
            if (request.typed) {
                tries.removeAll(*request.typed);
                tries.prepend(*request.typed);
            }
            if (const std::optional<QString> found = probing.firstOpeningPassword(archive, tries, token)) {
                if (found != request.typed && foundInBook) foundInBook(*found);
                password = found;
            }
        }
        choice.passwords << password;
    }
    return choice;
}

}  // namespace BatchPasswords
