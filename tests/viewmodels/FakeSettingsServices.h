#pragma once

#include "platform/LoginItemService.h"
#include "platform/LoginItemServiceError.h"
#include "platform/SystemIntegrationService.h"

#include <functional>
#include <optional>

// Default rows where each type's handler is given in type order (ZIP, ZIP(PKWARE), RAR, 7Z).
inline QList<DefaultArchiveToolResult> rowsWith(const QList<std::optional<QString>>& handlers) {
    QList<DefaultArchiveToolResult> rows;
    for (qsizetype type = 0; type < 4; ++type) {
        const auto& archiveType = SystemIntegrationService::archiveTypes().at(type);
        for (const auto& role : SystemIntegrationService::roles()) {
            rows.append({archiveType.displayName, archiveType.identifier, role.name, role.mask == 2,
                         handlers.at(type) == SystemIntegrationService::kDesktopID, handlers.at(type)});
        }
    }
    return rows;
}

inline const QString kVelmora = SystemIntegrationService::kDesktopID;
inline const QList<DefaultArchiveToolResult> kAllVelmora = rowsWith({kVelmora, kVelmora, kVelmora, kVelmora});

// Answers as the test scripts it.
class FakeSystemIntegrationService : public SystemIntegrationService {
public:
    std::function<QList<DefaultArchiveToolResult>(bool enabled)> answer = [](bool) { return kAllVelmora; };
    std::function<void(bool)> menuAnswer = [](bool) {};
    QList<DefaultArchiveToolResult> status = kAllVelmora;

    QList<DefaultArchiveToolResult> setAsDefaultArchiveTool() override { return answer(true); }
    QList<DefaultArchiveToolResult> restoreSystemDefaultArchiveTool() override { return answer(false); }
    QList<DefaultArchiveToolResult> currentDefaultArchiveToolResults() override { return status; }
    void setFileManagerEntriesEnabled(bool enabled) override { menuAnswer(enabled); }
};

class FakeLoginItemService : public LoginItemService {
public:
    bool installed = false;
    bool fails = false;

    void installAutostartEntry() override { change(true); }
    void removeAutostartEntry() override { change(false); }
    bool isAutostartEntryInstalled() const override { return installed; }

private:
    void change(bool install) {
        if (fails)
            throw LoginItemServiceError(LoginItemServiceError::Kind::autostartEntryFailed,
                                        QStringLiteral("Permission denied"));
        installed = install;
    }
};

