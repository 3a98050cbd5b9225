#pragma once

#include <QWidget>

class CompressionLevelPicker;
class FeedbackBanner;
class FormatPicker;
class CompressViewModel;
class PathRow;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SelectionCard;
class SelectionSizes;
class StatusLine;
class SummaryCard;
class TasksViewModel;

// The compress page: the sources (a button or a drop), format, level, destination, three stored
// options and a password, a summary with sizes worked out off the GUI thread, and the start button.
class CompressPage : public QWidget {
    Q_OBJECT

public:
    CompressPage(CompressViewModel& model, TasksViewModel& tasks, QWidget* parent = nullptr);

    SelectionCard* sources() const { return m_sources; }
    FormatPicker* formatPicker() const { return m_formats; }
    CompressionLevelPicker* levelPicker() const { return m_levels; }
    PathRow* destinationRow() const { return m_destination; }
    QCheckBox* separateArchivesToggle() const { return m_separateArchives; }
    QCheckBox* ignoreHiddenFilesToggle() const { return m_ignoreHiddenFiles; }
    QCheckBox* deleteSourceToggle() const { return m_deleteSource; }
    QLineEdit* passwordField() const { return m_password; }
    QLabel* passwordNote() const { return m_passwordNote; }
    QPushButton* startButton() const { return m_start; }
    SelectionSizes& sizes() const { return *m_sizes; }
    // The summary's value of a line ("压缩格式", "总大小", ...).
    QString summaryValue(const QString& label) const;

private:
    QWidget* buildSettingsCard();
    QWidget* buildSummaryCard();
    void syncFromModel();
    void syncSummary();

    CompressViewModel& m_model;
    SelectionSizes* m_sizes;
    SelectionCard* m_sources;
    FeedbackBanner* m_banner;
    FormatPicker* m_formats;
    CompressionLevelPicker* m_levels;
    PathRow* m_destination;
    QCheckBox* m_separateArchives;
    QCheckBox* m_ignoreHiddenFiles;
    QCheckBox* m_deleteSource;
    QLineEdit* m_password;
    QLabel* m_passwordNote;
    SummaryCard* m_summary = nullptr;
    StatusLine* m_formatLine;
    StatusLine* m_levelLine;
    StatusLine* m_countLine;
    StatusLine* m_sizeLine;
    StatusLine* m_estimateLine;
    QPushButton* m_start;
};
