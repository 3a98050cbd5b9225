#include "views/browser/ArchiveBrowserCommands.h"

#include "viewmodels/ArchivePreviewWindowModel.h"
#include "views/browser/ArchiveBrowserCommandStates.h"
#include "views/kit/Icons.h"
#include "views/kit/Theme.h"

#include <QAction>
#include <QWidget>

#include <utility>

namespace {

using Command = ArchiveBrowserCommands::Command;
using States = ArchiveBrowserCommandStates;

// Which rule enables which command; the preview and "reveal" commands can always run.
constexpr std::pair<Command, bool States::*> kEnableRules[] = {
    {Command::add, &States::add},
    {Command::extractSelected, &States::extractSelected},
    {Command::extractAll, &States::extractAll},
    {Command::deleteSelected, &States::deleteSelected},
    {Command::clean, &States::clean},
    {Command::expandCollapseAll, &States::expandCollapseAll},
    {Command::goUp, &States::goUp},
};

// The commands whose greyed button says why, in its tool tip.
constexpr std::pair<Command, QString States::*> kReasons[] = {
    {Command::add, &States::addReason},
    {Command::extractSelected, &States::extractSelectedReason},
    {Command::deleteSelected, &States::deleteReason},
};

struct Definition {
    Command command;
    QString title;
    QString symbol;
    Theme::Colour colour;
    void (ArchivePreviewWindowModel::*run)();
};

}  // namespace

ArchiveBrowserCommands::ArchiveBrowserCommands(ArchivePreviewWindowModel& model, QWidget& window)
    : QObject(&window) {
    makeActions(model);
    QAction* preview = action(Command::preview);
    preview->setShortcut(QKeySequence(Qt::Key_Space));
    preview->setShortcutContext(Qt::WindowShortcut);
    // An editable text field with the focus claims the space (ShortcutOverride): the blank is typed.
    window.addAction(preview);
}

void ArchiveBrowserCommands::makeActions(ArchivePreviewWindowModel& model) {
    using Model = ArchivePreviewWindowModel;
    using Theme::Colour;
    const Definition definitions[] = {
        {Command::add, QStringLiteral(u"增加"), QStringLiteral("plus-circle-filled"), Colour::green,
         &Model::addFiles},
        {Command::extractSelected, QStringLiteral(u"提取"), QStringLiteral("arrow-down-circle-filled"),
         Colour::accent, &Model::extractSelected},
        {Command::extractAll, QStringLiteral(u"全部解压"), QStringLiteral("archive-box-filled"),
         Colour::accent, &Model::extractAll},
        {Command::deleteSelected, QStringLiteral(u"删除"), QStringLiteral("cross-circle-filled"),
         Colour::pink, &Model::deleteSelected},
        {Command::clean, QStringLiteral(u"清理"), QStringLiteral("sparkles"), Colour::orange,
         &Model::clearPreviewCacheAndReload},
        {Command::expandCollapseAll, QStringLiteral(u"全部展开 / 折叠"),
         QStringLiteral("chevron-right-circle-filled"), Colour::purple, &Model::toggleExpandCollapseAll},
        {Command::goUp, QStringLiteral(u"返回上一级"), QStringLiteral("chevron-left"), Colour::primary,
         &Model::goUpFolder},
        {Command::reveal, QStringLiteral(u"在文件管理器中显示压缩包"), QStringLiteral("sidebar-left"),
         Colour::primary, &Model::revealArchiveInFileManager},
        {Command::preview, QStringLiteral(u"预览"), QStringLiteral("eye"), Colour::primary,
         &Model::handleSpacePreviewShortcut},
    };
    for (const Definition& definition : definitions) {
        auto* action = new QAction(Icons::icon(definition.symbol, Theme::color(definition.colour)),
                                   definition.title, this);
        action->setToolTip(definition.title);
        connect(action, &QAction::triggered, &model, [&model, run = definition.run] { (model.*run)(); });
        m_actions[std::size_t(definition.command)] = action;
    }
}

void ArchiveBrowserCommands::sync(const ArchiveBrowserCommandStates& states) {
    for (const auto& [command, enabled] : kEnableRules) action(command)->setEnabled(states.*enabled);
    for (const auto& [command, reason] : kReasons) {
        QAction* greyed = action(command);
        greyed->setToolTip(greyed->isEnabled() || (states.*reason).isEmpty() ? greyed->text() : states.*reason);
    }
}
