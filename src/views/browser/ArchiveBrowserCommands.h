#pragma once

#include <QObject>

#include <array>

class ArchivePreviewWindowModel;
class QAction;
class QWidget;
struct ArchiveBrowserCommandStates;

// The archive browser's commands as actions, each calling the model. Buttons show them through
// QToolButton::setDefaultAction; the window holds the preview action, so the space bar previews the
// selected entry while the window is active, except while an editable text field has focus and the
// blank belongs in the text.
class ArchiveBrowserCommands : public QObject {
    Q_OBJECT

public:
    enum class Command {
        add,
        extractSelected,
        extractAll,
        deleteSelected,
        clean,
        expandCollapseAll,
        goUp,
        reveal,
        preview,
    };
    static constexpr std::size_t kCount = std::size_t(Command::preview) + 1;

    ArchiveBrowserCommands(ArchivePreviewWindowModel& model, QWidget& window);

    QAction* action(Command command) const { return m_actions[std::size_t(command)]; }
    // Enables each command by its rule.
    void sync(const ArchiveBrowserCommandStates& states);

private:
    void makeActions(ArchivePreviewWindowModel& model);

    std::array<QAction*, kCount> m_actions{};
};
