#pragma once

#include "viewmodels/WorkbenchPlatform.h"

#include <QList>
#include <utility>

// Answers open panels from a script, in order (an exhausted script cancels), and records what it
// was asked to reveal.
class FakeWorkbenchPlatform : public WorkbenchPlatform {
public:
    QList<QStringList> panelAnswers;
    QList<QStringList> revealed;
    int processorCount = 4;
    std::optional<qint64> freeBytes;

    QList<FileDialogRequest> panelRequests;
    QStringList passwordQuestions;
    // The answer to the next password question only.
    std::optional<QString> passwordAnswer;
    // Holds each answer until answerPanel(), as a real dialog answers after the call returned.
    bool answersLater = false;

    // Answers at once unless answersLater, as a dialog that is accepted or cancelled without delay.
    void openFileDialog(const FileDialogRequest& request,
                        std::function<void(const QStringList&)> chosen) override {
        panelRequests.append(request);
        m_pending = std::move(chosen);
        if (!answersLater) answerPanel();
    }
    void answerPanel() {
        if (auto chosen = std::exchange(m_pending, {}))
            chosen(panelAnswers.isEmpty() ? QStringList{} : panelAnswers.takeFirst());
    }
    // Answers every password question at once with passwordAnswer (none: cancelled).
    void askPassword(const QString& message,
                     std::function<void(const std::optional<QString>&)> answered) override {
        passwordQuestions.append(message);
        answered(std::exchange(passwordAnswer, std::nullopt));
    }
    void revealInFileManager(const QStringList& paths) override { revealed.append(paths); }
    int activeProcessorCount() const override { return processorCount; }
    std::optional<qint64> availableCapacityBytes(const QString&) const override { return freeBytes; }

private:
    std::function<void(const QStringList&)> m_pending;
};
