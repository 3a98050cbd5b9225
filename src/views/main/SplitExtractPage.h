#pragma once

#include <QWidget>

class SplitExtractViewModel;
class QPushButton;
class SplitExtractDropZone;
class SplitExtractInfoPanel;
class SplitExtractSettingsPanel;
class TasksViewModel;

// The split-extract page: the drop zone for one volume, the status banner, what the scan found, the
// destination and options, and the cancel and start buttons.
class SplitExtractPage : public QWidget {
    Q_OBJECT

public:
    SplitExtractPage(SplitExtractViewModel& model, TasksViewModel& tasks, QWidget* parent = nullptr);

    SplitExtractDropZone* dropZone() const { return m_dropZone; }
    SplitExtractInfoPanel* infoPanel() const { return m_info; }
    SplitExtractSettingsPanel* settingsPanel() const { return m_settings; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* startButton() const { return m_start; }

private:
    void syncStartButton();

    SplitExtractViewModel& m_model;
    SplitExtractDropZone* m_dropZone;
    SplitExtractInfoPanel* m_info;
    SplitExtractSettingsPanel* m_settings;
    QPushButton* m_cancel;
    QPushButton* m_start;
};
