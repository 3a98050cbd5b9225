#pragma once

#include <QWidget>

class CapsuleProgressBar;
class ExternalOperationProgressModel;
class QLabel;
class QPushButton;

// The content of the progress window: percentage or outcome icon with the title, the message, the
// note of refused items when there are any, and while running a progress bar and a cancel button. Once
// finished, the message is shown whole (a failure's reason, wrapped and selectable) with a close button.
class ExternalOperationProgressView : public QWidget {
    Q_OBJECT

public:
    explicit ExternalOperationProgressView(ExternalOperationProgressModel& model, QWidget* parent = nullptr);

    void syncFromModel();

    // What a finished window shows of `message` on lines `width` wide: a path that does not fit on
    // the line of the words before it goes on a line of its own, its middle cut when it is too wide,
    // its file name kept.
    static QString fittedMessage(const QString& message, const QFont& font, int width);

    QPushButton* cancelButton() const { return m_cancelButton; }
    QPushButton* closeButton() const { return m_closeButton; }

Q_SIGNALS:
    void cancelRequested();
    void closeRequested();
    // The window was to close while the operation runs; it stays open.
    void closeWhileRunningRequested();
    // The window closed after the operation's end.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showElidedMessage();

    ExternalOperationProgressModel& m_model;
    QLabel* m_percentLabel;
    QLabel* m_outcomeIcon;
    QLabel* m_titleLabel;
    QLabel* m_messageLabel;
    QLabel* m_noteLabel;
    CapsuleProgressBar* m_progressBar;
    QPushButton* m_cancelButton;
    QPushButton* m_closeButton;
};
