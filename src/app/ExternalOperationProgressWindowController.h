#pragma once

#include "app/ExternalOperationProgressModel.h"

#include <QObject>
#include <functional>
#include <memory>

class ExternalOperationProgressView;

// The small floating window of one outside operation, opened centred: shown, updated and finished by
// the coordinator, which closes it shortly after a success or a cancellation; a failure stays until
// the user closes it. The cancel button only asks; the operation's end finishes the window.
class ExternalOperationProgressWindowController : public QObject {
    Q_OBJECT

public:
    explicit ExternalOperationProgressWindowController(QObject* parent = nullptr);
    ~ExternalOperationProgressWindowController() override;

    ExternalOperationProgressModel& model() { return m_model; }
    QWidget* window() const;

    std::function<void()> onCancel;

    void show(const QString& title, const QString& message);
    void update(double progress, const QString& message);
    void finish(const QString& title, const QString& message, bool isError);
    void close();

    // What the cancel button does.
    void requestCancel();

private:
    void raise();
    void centre();

    ExternalOperationProgressModel m_model;
    std::unique_ptr<ExternalOperationProgressView> m_view;
};
