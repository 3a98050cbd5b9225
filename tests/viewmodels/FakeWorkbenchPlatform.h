#pragma once

#include "viewmodels/WorkbenchPlatform.h"

#include <QList>

// Answers open panels from a script, in order (an exhausted script cancels), and records what it
// was asked to reveal.
class FakeWorkbenchPlatform : public WorkbenchPlatform {
public:
    QList<QStringList> panelAnswers;
    QList<QStringList> revealed;
    int processorCount = 4;
    std::optional<qint64> freeBytes;

    QList<FileDialogRequest> panelRequests;

    // Answers at once, as a dialog that is accepted or cancelled without delay.
    void openFileDialog(const FileDialogRequest& request,
                        std::function<void(const QStringList&)> chosen) override {
        panelRequests.append(request);
        chosen(panelAnswers.isEmpty() ? QStringList{} : panelAnswers.takeFirst());
    }
    void revealInFileManager(const QStringList& paths) override { revealed.append(paths); }
    int activeProcessorCount() const override { return processorCount; }
    std::optional<qint64> availableCapacityBytes(const QString&) const override { return freeBytes; }
};
