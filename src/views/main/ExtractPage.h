#pragma once

#include <QWidget>

class FeedbackBanner;
class ExtractViewModel;
class PathRow;
class QCheckBox;
class QLineEdit;
class QPushButton;
class SelectionCard;
class SelectionSizes;
class StatusLine;
class SummaryCard;
class TasksViewModel;

// The extract page: the archives (a button or a drop), the destination and options, a password, a
// summary and the start button.
class ExtractPage : public QWidget {
    Q_OBJECT

public:
    ExtractPage(ExtractViewModel& model, TasksViewModel& tasks, QWidget* parent = nullptr);

    SelectionCard* archives() const { return m_archives; }
    PathRow* destinationRow() const { return m_destination; }
    QCheckBox* currentLocationToggle() const { return m_currentLocation; }
    QCheckBox* separateFolderToggle() const { return m_separateFolder; }
    QCheckBox* openAfterToggle() const { return m_openAfter; }
    QLineEdit* passwordField() const { return m_password; }
    QPushButton* startButton() const { return m_start; }
    SelectionSizes& sizes() const { return *m_sizes; }
    QString summaryValue(const QString& label) const;

private:
    QWidget* buildSettingsCard();
    QWidget* buildSummaryCard();
    void syncFromModel();
    void syncSummary();

    ExtractViewModel& m_model;
    SelectionSizes* m_sizes;
    SelectionCard* m_archives;
    FeedbackBanner* m_banner;
    PathRow* m_destination;
    QCheckBox* m_currentLocation;
    QCheckBox* m_separateFolder;
    QCheckBox* m_openAfter;
    QLineEdit* m_password;
    SummaryCard* m_summary = nullptr;
    StatusLine* m_countLine;
    StatusLine* m_sizeLine;
    StatusLine* m_formatsLine;
    QPushButton* m_start;
};
