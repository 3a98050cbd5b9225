#pragma once

#include "core/state/ArchivePasswordBookEntry.h"

#include <QList>
#include <QWidget>
#include <functional>

class Card;
class QLabel;
class QPushButton;
class QVBoxLayout;
class SettingsViewModel;
class TintedFrame;
class ToggleSwitch;

// The settings page: a header, six titled sections of switches and buttons, and the model's status
// line under them. A thin view: every switch shows what the model holds (so one whose action failed
// springs back) and every change goes to the model. Each time the page is shown it asks the model to refresh.
class SettingsView : public QWidget {
    Q_OBJECT

public:
    // The page takes the model over. It is a page of the main window, under the window's top bar,
    // which names it.
    explicit SettingsView(SettingsViewModel* viewModel, QWidget* parent = nullptr);

    SettingsViewModel& viewModel() const { return *m_viewModel; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* section(const QString& title, const QString& iconName, const QList<QWidget*>& controls);
    QWidget* extractionSection();
    QWidget* systemIntegrationSection();
    QWidget* passwordBookSection();
    QWidget* backgroundServiceSection();
    QWidget* trayDropSection();
    QWidget* advancedCompressionSection();
    QWidget* contextMenuGuide();
    QWidget* launchAtLoginReminder();
    ToggleSwitch* addSwitch(QList<QWidget*>& controls, const QString& title,
                            std::function<void(bool)> onChange);

    void syncFromModel();
    void keepMessageRoom(bool keep);
    void syncPasswordList();
    void syncLaunchAtLoginReminder();

    SettingsViewModel* m_viewModel;

    QLabel* m_defaultLocation = nullptr;
    ToggleSwitch* m_extractToSeparateFolder = nullptr;
    ToggleSwitch* m_deleteSourceAfterExtract = nullptr;
    ToggleSwitch* m_defaultExtractor = nullptr;
    QLabel* m_defaultExtractorExplanation = nullptr;
    QLabel* m_systemIntegrationMessage = nullptr;
    ToggleSwitch* m_contextMenu = nullptr;
    QWidget* m_contextMenuGuide = nullptr;
    ToggleSwitch* m_passwordBookEnabled = nullptr;
    ToggleSwitch* m_passwordBookAutoSave = nullptr;
    QLabel* m_passwordCount = nullptr;
    QPushButton* m_clearPasswordBook = nullptr;
    QLabel* m_emptyPasswordBook = nullptr;
    Card* m_passwordList = nullptr;
    QList<ArchivePasswordBookEntry> m_shownEntries;
    ToggleSwitch* m_launchAtLogin = nullptr;
    TintedFrame* m_reminder = nullptr;
    QLabel* m_reminderIcon = nullptr;
    QLabel* m_reminderTitle = nullptr;
    QPushButton* m_reminderButton = nullptr;
    ToggleSwitch* m_trayDrop = nullptr;
    ToggleSwitch* m_multiThreadEngine = nullptr;
    QLabel* m_status = nullptr;
};
