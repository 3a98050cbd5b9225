#pragma once

#include "viewmodels/WorkbenchPlatform.h"

#include <QObject>

// The desktop's answers to the models: file dialogs, the file manager, processors and free space.
class DesktopWorkbenchPlatform : public QObject, public WorkbenchPlatform {
    Q_OBJECT

public:
    using QObject::QObject;

    void openFileDialog(const FileDialogRequest& request,
                        std::function<void(const QStringList&)> chosen) override;
    void askPassword(const QString& message,
                     std::function<void(const std::optional<QString>&)> answered) override;
    void revealInFileManager(const QStringList& paths) override;
    int activeProcessorCount() const override;
    std::optional<qint64> availableCapacityBytes(const QString& folder) const override;
};
