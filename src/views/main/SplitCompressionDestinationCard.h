#pragma once

#include "views/kit/Card.h"

class FeedbackBanner;
class SplitCompressViewModel;
class TasksViewModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ValueBox;

// Card 5 of the split-compress page: output folder, archive name, conflict handling, free space, the
// after-completion switches and the two buttons that end the page, with the page's status banner
// beside them: a run's progress and its outcome show where the start button was pressed.
class SplitCompressionDestinationCard : public Card {
    Q_OBJECT

public:
    SplitCompressionDestinationCard(SplitCompressViewModel& model, TasksViewModel& tasks,
                                    QWidget* parent = nullptr);

    // The free-space line depends on the preview's estimate, which the page takes once per change.
    void setAvailableSpace(const QString& text);
    QString availableSpace() const;

    QString folderText() const;
    QPushButton* changeButton() const { return m_change; }
    QLineEdit* nameField() const { return m_name; }
    QCheckBox* openSwitch() const { return m_open; }
    QCheckBox* notifySwitch() const { return m_notify; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* startButton() const { return m_start; }
    FeedbackBanner* banner() const { return m_banner; }

private:
    QWidget* makeNameRow();
    QWidget* makeOptionsRow();
    QWidget* makeButtonRow();
    void syncFromModel();

    SplitCompressViewModel& m_model;
    ValueBox* m_folder;
    QPushButton* m_change;
    QLineEdit* m_name;
    QComboBox* m_conflict;
    QLabel* m_space;
    QCheckBox* m_open;
    QCheckBox* m_notify;
    QPushButton* m_cancel;
    QPushButton* m_start;
    FeedbackBanner* m_banner;
};
