#include "viewmodels/BrowserFixture.h"
#include "views/browser/ArchiveBrowserCommandStates.h"
#include "views/browser/ArchiveBrowserCommands.h"
#include "views/browser/ArchiveBrowserWindowPlatform.h"
#include "views/browser/ArchiveEntryTableModel.h"
#include "views/browser/ArchivePreviewWindow.h"
#include "views/browser/ArchivePreviewWindowController.h"
#include "views/browser/BrowserWindowPlacement.h"
#include "views/browser/PasswordSheet.h"
#include "views/browser/PreviewPane.h"
#include "views/kit/FileAndFolderDialog.h"
#include "views/kit/WindowKeys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeView>

#include <map>
#include <set>

namespace {

class BrowserWindowTest : public BrowserFixture {
protected:
    // A window for the model open last.
    ArchivePreviewWindowController& makeController() {
        m_controller = std::make_unique<ArchivePreviewWindowController>(sharedModel(), windowPlatform);
        return *m_controller;
    }
    // The window of a 7Z whose listing asks for a password, once its sheet shows; nothing on a timeout.
    ArchivePreviewWindow* windowAskingForAPassword() {
        open({files.path(QStringLiteral("a.7z"))});
        makeController().show(true);
        if (!waitForCall(1)) return nullptr;
        services.fail(0, wrongPassword());
        ArchivePreviewWindow* window = m_controller->window();
        const bool shown =
            waitFor([&] { return window->passwordSheet() && window->passwordSheet()->isVisible(); });
        return shown ? window : nullptr;
    }
    void TearDown() override {
        m_controller.reset();
        BrowserFixture::TearDown();
    }

    std::shared_ptr<ArchiveBrowserWindowPlatform> windowPlatform =
        std::make_shared<ArchiveBrowserWindowPlatform>([](const QStringList&) {});
    std::unique_ptr<ArchivePreviewWindowController> m_controller;
};

// An icon whose symbol name is misspelt draws nothing at all.
bool hasInk(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) return true;
        }
    }
    return false;
}

void expectEveryIconDrawn(const QWidget& root) {
    for (const QAbstractButton* button : root.findChildren<QAbstractButton*>()) {
        if (!button->icon().isNull()) {
            EXPECT_TRUE(hasInk(button->icon().pixmap(16))) << button->toolTip().toStdString();
        }
    }
    for (const QLabel* label : root.findChildren<QLabel*>()) {
        if (!label->pixmap().isNull()) {
            EXPECT_TRUE(hasInk(label->pixmap())) << label->text().toStdString();
        }
    }
}

// The window's command actions and the buttons that show them.
QList<QToolButton*> buttonsShowing(const QWidget& window, const QAction* action) {
    QList<QToolButton*> buttons;
    for (QToolButton* button : window.findChildren<QToolButton*>()) {
        if (button->defaultAction() == action) buttons << button;
    }
    return buttons;
}

// The space bar reaches the model through the window's preview action alone; an editable text field
// keeps the blank for itself.
TEST_F(BrowserWindowTest, SpacePreviewsThroughTheWindowActionUnlessATextFieldHasFocus) {
    ArchivePreviewWindowModel& browser = openListed({row("a.txt"), row("b.txt")});
    ArchivePreviewWindowController& controller = makeController();
    controller.show(true);
    ArchivePreviewWindow* window = controller.window();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QAction* preview = window->commands().action(ArchiveBrowserCommands::Command::preview);
    EXPECT_TRUE(window->actions().contains(preview));
    EXPECT_EQ(preview->shortcut(), QKeySequence(Qt::Key_Space));
    EXPECT_EQ(preview->shortcutContext(), Qt::WindowShortcut);
    QSignalSpy previewed(preview, &QAction::triggered);

    window->table()->setFocus();
    QTest::keyClick(window->table(), Qt::Key_Space);  // nothing selected: taken, nothing previewed
    EXPECT_EQ(previewed.count(), 1);
    EXPECT_EQ(services.callCount(), 0);
    browser.setSelectedEntryID(QStringLiteral("a.txt"));
    ASSERT_TRUE(waitForCall(1));  // the selection itself asks for a preview

    auto* filter = window->findChild<QComboBox*>();
    auto* editableCombo = new QComboBox(window);
    editableCombo->setEditable(true);
    auto* readOnlyText = new QPlainTextEdit(window);
    readOnlyText->setReadOnly(true);
    auto* editableText = new QPlainTextEdit(window);
    auto* spinBox = new QSpinBox(window);
    auto* readOnlyLine = new QLineEdit(window);
    readOnlyLine->setReadOnly(true);
    const struct {
        const char* focus;
        QWidget* widget;
        bool previews;
    } cases[] = {
        {"the table", window->table(), true},
        {"the filter picker", filter, true},
        {"a read-only text view", readOnlyText, true},
        {"the password field", window->passwordField(), false},
        {"an editable combo box", editableCombo, false},
        {"an editable text view", editableText, false},
        {"a spin box", spinBox, false},
        {"a read-only line edit", readOnlyLine, true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.focus);
        test.widget->show();
        test.widget->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), test.widget);
        const qsizetype before = previewed.count();
        const int calls = services.callCount();
        QTest::keyClick(test.widget, Qt::Key_Space);
        EXPECT_EQ(previewed.count(), before + (test.previews ? 1 : 0));
        if (test.previews) {
            ASSERT_TRUE(waitForCall(calls + 1));
            EXPECT_EQ(services.call(calls).operation, QStringLiteral("preview"));
            EXPECT_EQ(services.call(calls).paths, QStringList{QStringLiteral("a.txt")});
        }
    }
    window->passwordField()->setFocus();
    QTest::keyClicks(window->passwordField(), QStringLiteral("a b"));
    EXPECT_EQ(window->passwordField()->text(), QStringLiteral(" a b"));
    EXPECT_EQ(browser.password(), QStringLiteral(" a b"));
    EXPECT_EQ(editableText->toPlainText(), QStringLiteral(" "));

    // Another window of the application keeps its space bar.
    QPushButton other(QStringLiteral("other"));
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    other.setFocus();
    QSignalSpy clicked(&other, &QPushButton::clicked);
    const qsizetype before = previewed.count();
    QTest::keyClick(&other, Qt::Key_Space);
    EXPECT_EQ(previewed.count(), before);
    EXPECT_EQ(clicked.count(), 1);
}

// Which commands the window offers in each state of its archive, on the actions and on the buttons
// that show them.
TEST_F(BrowserWindowTest, CommandActionsAreEnabledByTheirRules) {
    using Command = ArchiveBrowserCommands::Command;
    const std::set<Command> always = {Command::expandCollapseAll, Command::reveal, Command::preview};
    const std::set<Command> idle = {Command::add, Command::extractAll, Command::clean};
    const auto with = [&always](std::set<Command> commands, std::initializer_list<Command> more) {
        commands.insert(always.begin(), always.end());
        commands.insert(more);
        return commands;
    };
    const QString rarAdd = QStringLiteral(u"当前仅支持向 ZIP / 7Z 压缩包添加文件。");
    const QString rarDelete = QStringLiteral(u"当前仅支持删除 ZIP / 7Z 压缩包内文件，RAR 暂不支持原地编辑。");
    const struct {
        const char* state;
        std::function<void()> enter;
        std::set<Command> enabled;
        // What a greyed button says when pointed at.
        std::map<Command, QString> tips = {};
    } cases[] = {
        {"a ZIP, nothing selected", [] {}, with(idle, {}),
         {{Command::extractSelected, QStringLiteral(u"请选择要提取的文件。")},
          {Command::deleteSelected, QStringLiteral(u"请选择要删除的条目。")}}},
        {"a ZIP, a file selected", [&] { model().setSelectedEntryID(QStringLiteral("a.txt")); },
         with(idle, {Command::extractSelected, Command::deleteSelected})},
        {"a ZIP, a folder selected", [&] { model().setSelectedEntryID(QStringLiteral("d/")); },
         with(idle, {Command::deleteSelected}),
         {{Command::extractSelected, QStringLiteral(u"文件夹请使用“全部解压”，当前提取按钮用于单个文件。")}}},
        {"a ZIP being listed", [&] { model().reload(); }, with({}, {}),
         {{Command::extractSelected, QStringLiteral(u"请选择要提取的文件。")},
          {Command::deleteSelected, QStringLiteral(u"请选择要删除的条目。")}}},
        {"a RAR, a file selected",
         [&] {
             open({files.path(QStringLiteral("a.rar"))}, QList<ArchivePreviewEntry>{row("a.txt")});
             model().setSelectedEntryID(QStringLiteral("a.txt"));
         },
         with({}, {Command::extractSelected, Command::extractAll, Command::clean}),
         {{Command::add, rarAdd}, {Command::deleteSelected, rarDelete}}},
        {"two ZIPs, one selected",
         [&] {
             open({files.path(QStringLiteral("a.zip")), files.path(QStringLiteral("b.zip"))});
             model().setSelectedEntryID(QStringLiteral("a.zip"));
         },
         with({}, {Command::extractAll, Command::clean}),
         {{Command::extractSelected, QStringLiteral(u"多压缩包模式请使用“全部解压”。")},
          {Command::add, rarAdd},
          {Command::deleteSelected, rarDelete}}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.state);
        openListed({row("a.txt"), row("d/")});
        ArchivePreviewWindowController* controller = &makeController();
        test.enter();
        if (&controller->model() != &model()) controller = &makeController();  // another archive
        ArchivePreviewWindow* window = controller->window();
        for (std::size_t index = 0; index < ArchiveBrowserCommands::kCount; ++index) {
            const QAction* action = window->commands().action(Command(index));
            SCOPED_TRACE(action->text().toStdString());
            const bool enabled = test.enabled.contains(Command(index));
            EXPECT_EQ(action->isEnabled(), enabled);
            for (const QToolButton* button : buttonsShowing(*window, action)) {
                EXPECT_EQ(button->isEnabled(), enabled);
                const auto tip = test.tips.find(Command(index));
                EXPECT_EQ(button->toolTip(), tip == test.tips.end() ? action->text() : tip->second);
            }
        }
    }
}

// Each toolbar button runs its own command.
TEST_F(BrowserWindowTest, ToolbarButtonsRunTheirCommands) {
    openListed({row("a.txt")});
    ArchivePreviewWindow* window = makeController().window();
    using Command = ArchiveBrowserCommands::Command;
    const auto button = [window](Command command) {
        const QList<QToolButton*> buttons = buttonsShowing(*window, window->commands().action(command));
        return buttons.size() == 1 ? buttons.first() : nullptr;
    };
    for (const Command command :
         {Command::add, Command::extractSelected, Command::extractAll, Command::deleteSelected,
          Command::clean, Command::expandCollapseAll, Command::goUp, Command::reveal}) {
        EXPECT_NE(button(command), nullptr) << window->commands().action(command)->text().toStdString();
    }
    EXPECT_EQ(button(Command::preview), nullptr);  // the space bar's alone
    button(Command::reveal)->click();
    ASSERT_EQ(platform->revealed.size(), 1);
    EXPECT_EQ(platform->revealed.first(), QStringList{files.path(QStringLiteral("a.zip"))});
    button(Command::extractAll)->click();
    ASSERT_TRUE(waitForCall(1));
    EXPECT_EQ(services.call(0).operation, QStringLiteral("extract"));
}

// Each browser steps below and right of the last one, back to the top left before it would leave the screen.
TEST(BrowserWindowPlacement, EachWindowStepsAwayFromTheLastAndStaysOnScreen) {
    const QRect screen(0, 0, 1920, 1080);
    const QSize size(1240, 720);
    const std::tuple<QPoint, QRect, QPoint> cases[] = {
        {{340, 180}, screen, {372, 212}},
        {{660, 340}, screen, {0, 0}},               // the next step would reach below the screen
        {{100, 2000}, screen, {0, 0}},              // the last window was moved off the screen
        {{0, 0}, QRect(0, 0, 800, 600), {32, 32}},  // a window larger than the screen
        {{32, 32}, QRect(0, 0, 800, 600), {0, 0}},
        {{1000, 40}, QRect(1920, 24, 1920, 1056), {1920, 24}},
    };
    for (const auto& [previous, available, expected] : cases)
        EXPECT_EQ(BrowserWindowPlacement::cascaded(previous, size, available), expected) << previous.x();

    QPoint corner(340, 180);
    for (int launch = 1; launch < 20; ++launch) {
        const QPoint next = BrowserWindowPlacement::cascaded(corner, size, screen);
        EXPECT_NE(next, corner) << launch;
        EXPECT_TRUE(screen.contains(QRect(next, size))) << launch;
        corner = next;
    }
}

// Six browsers opened one after another on a 1920 x 1080 screen, framed with a title bar: each lies
// wholly on the screen, the first in its middle, each after it away from the last.
TEST(BrowserWindowPlacement, SixBrowsersInARowStayWhollyOnTheScreen) {
    const QRect screen(0, 0, 1920, 1080);
    const QSize frame = BrowserWindowPlacement::frameSize(QSize(1240, 720), QSize(1242, 757), QSize(1240, 720));
    EXPECT_EQ(frame, QSize(1242, 757));
    EXPECT_EQ(BrowserWindowPlacement::frameSize(QSize(1240, 720), QSize(800, 600), QSize(800, 600)),
              QSize(1240, 720));
    std::optional<QPoint> previous;
    for (int browser = 0; browser < 6; ++browser) {
        const QPoint corner = BrowserWindowPlacement::place(frame, previous, screen);
        EXPECT_TRUE(screen.contains(QRect(corner, frame))) << browser << ": " << corner.y() + frame.height();
        if (previous) {
            EXPECT_NE(corner, *previous);
        }
        previous = corner;
    }
    EXPECT_EQ(BrowserWindowPlacement::place(QSize(1400, 900), std::nullopt, QRect(0, 30, 1366, 738)),
              QPoint(0, 30));
}

TEST_F(BrowserWindowTest, ASecondWindowOpensBesideTheFirst) {
    openListed({row("a.txt")});
    ArchivePreviewWindowController first(sharedModel(), windowPlatform);
    first.show(false);
    ArchivePreviewWindowController second(sharedModel(), windowPlatform);
    second.show(false, &first);
    EXPECT_EQ(second.window()->pos(),
              BrowserWindowPlacement::cascaded(first.window()->pos(), second.window()->frameGeometry().size(),
                                               first.window()->screen()->availableGeometry()));
}

TEST_F(BrowserWindowTest, NothingReachesAClosedWindow) {
    ArchivePreviewWindowModel& browser = openListed({row("a.txt")});
    ArchivePreviewWindowController& controller = makeController();
    bool closed = false;
    controller.onClose = [&closed] { closed = true; };
    QPointer<ArchivePreviewWindowController> guarded(&controller);
    browser.closeWindow = [guarded] {
        if (guarded) guarded->close();
    };
    controller.show(true);
    QPointer<ArchivePreviewWindow> window(controller.window());
    browser.extractAll();
    ASSERT_TRUE(waitForCall(1));
    controller.close();  // answered "关闭": the extraction stops
    EXPECT_TRUE(closed);
    EXPECT_TRUE(services.isCancelled(0));
    m_controller.reset();
    QPointer<ArchivePreviewWindowModel> model(&browser);
    sharedModel().reset();
    ASSERT_TRUE(waitFor([&] { return window.isNull(); }));
    // The stopped extraction's outcome still comes in, then the model goes.
    ASSERT_TRUE(waitFor([&] { return model.isNull(); }));
    EXPECT_TRUE(platform->revealed.isEmpty());
}

TEST_F(BrowserWindowTest, PasswordSheetFollowsThePrompt) {
    ArchivePreviewWindow* window = windowAskingForAPassword();
    ASSERT_NE(window, nullptr);
    ArchivePreviewWindowModel& browser = *sharedModel();
    PasswordSheet* sheet = window->passwordSheet();
    sheet->passwordField()->setText(QStringLiteral("   "));
    EXPECT_FALSE(sheet->confirmButton()->isEnabled());
    QTest::keyClick(sheet->passwordField(), Qt::Key_Return);
    EXPECT_TRUE(sheet->passwordField()->text().isEmpty());
    EXPECT_TRUE(browser.passwordPrompt());
    EXPECT_EQ(window->passwordSheet(), sheet);
    sheet->passwordField()->setText(QStringLiteral("pw"));
    QTest::mouseClick(sheet->confirmButton(), Qt::LeftButton);
    EXPECT_FALSE(browser.passwordPrompt());
    EXPECT_TRUE(waitFor([&] { return window->passwordSheet() == nullptr; }));
    ASSERT_TRUE(waitForCall(2));
    EXPECT_EQ(services.call(1).password, QStringLiteral("pw"));
}

// Each wrong password comes back saying so, selected, so the next typing replaces it.
TEST_F(BrowserWindowTest, AWrongPasswordTypedTwiceIsSaidToBeWrongAndSelected) {
    ArchivePreviewWindow* window = windowAskingForAPassword();
    ASSERT_NE(window, nullptr);
    const auto sheetSays = [](PasswordSheet* sheet, const QString& text) {
        for (const QLabel* label : sheet->findChildren<QLabel*>()) {
            if (label->text() == text) return true;
        }
        return false;
    };
    EXPECT_FALSE(sheetSays(window->passwordSheet(), QStringLiteral(u"密码错误，请重新输入。")));
    for (int attempt = 1; attempt <= 2; ++attempt) {
        SCOPED_TRACE(attempt);
        QPointer<PasswordSheet> sheet = window->passwordSheet();
        const QString typed = QStringLiteral("wrong%1").arg(attempt);
        sheet->passwordField()->setText(typed);
        QTest::mouseClick(sheet->confirmButton(), Qt::LeftButton);
        ASSERT_TRUE(waitForCall(attempt + 1));
        services.fail(attempt, wrongPassword());
        ASSERT_TRUE(waitFor([&] {
            return window->passwordSheet() && window->passwordSheet() != sheet &&
                   window->passwordSheet()->isVisible();
        }));
        PasswordSheet* again = window->passwordSheet();
        EXPECT_TRUE(sheetSays(again, QStringLiteral(u"密码错误，请重新输入。")));
        EXPECT_EQ(again->passwordField()->text(), typed);
        EXPECT_EQ(again->passwordField()->selectedText(), typed);
    }
}

// Escape and Ctrl+W close the browser; Ctrl+, asks the application for its settings page.
TEST_F(BrowserWindowTest, EscapeAndControlWCloseTheWindowAndControlCommaOpensTheSettings) {
    int settingsOpened = 0;
    WindowKeys::setSettingsOpener([&settingsOpened] { ++settingsOpened; });
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        SCOPED_TRACE(key.toString().toStdString());
        openListed({row("a.txt")});
        ArchivePreviewWindowController& controller = makeController();
        bool closed = false;
        controller.onClose = [&closed] { closed = true; };
        controller.show(true);
        ArchivePreviewWindow* window = controller.window();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_Comma, Qt::ControlModifier);
        QTest::keySequence(window, key);
        EXPECT_TRUE(closed);
        EXPECT_FALSE(window->isVisible());
    }
    EXPECT_EQ(settingsOpened, 2);
    WindowKeys::setSettingsOpener({});
}

TEST_F(BrowserWindowTest, CommandStatesFollowTheModel) {
    ArchivePreviewWindowModel& zip = openListed({row("a.txt"), row("d/")});
    ArchiveBrowserCommandStates idle;
    idle.add = idle.extractAll = idle.clean = idle.read = true;
    idle.extractSelectedReason = QStringLiteral(u"请选择要提取的文件。");
    idle.deleteReason = QStringLiteral(u"请选择要删除的条目。");
    EXPECT_EQ(ArchiveBrowserCommandStates::of(zip), idle);
    zip.setSelectedEntryID(QStringLiteral("a.txt"));
    ArchiveBrowserCommandStates fileSelected = idle;
    fileSelected.extractSelected = fileSelected.deleteSelected = true;
    fileSelected.extractSelectedReason = fileSelected.deleteReason = QString();
    EXPECT_EQ(ArchiveBrowserCommandStates::of(zip), fileSelected);
    zip.setSelectedEntryID(QStringLiteral("d/"));
    ArchiveBrowserCommandStates folderSelected = fileSelected;
    folderSelected.extractSelected = false;
    folderSelected.extractSelectedReason = QStringLiteral(u"文件夹请使用“全部解压”，当前提取按钮用于单个文件。");
    EXPECT_EQ(ArchiveBrowserCommandStates::of(zip), folderSelected);
    zip.reload();
    // Work under way greys every command without a reason of the archive's.
    ArchiveBrowserCommandStates loading;
    loading.extractSelectedReason = folderSelected.extractSelectedReason;
    EXPECT_EQ(ArchiveBrowserCommandStates::of(zip), loading);
    ASSERT_TRUE(waitForCall(1));
    services.answer(0, FakeBrowserServices::Answer{{row("a.txt")}, {}, {}});
    ASSERT_TRUE(waitFor([&] { return !zip.isLoading(); }));
    ArchivePreviewWindowModel& several = open({files.path("a.zip"), files.path("b.zip")});
    several.setSelectedEntryID(QStringLiteral("a.zip"));
    ArchiveBrowserCommandStates severalStates;
    severalStates.extractAll = severalStates.clean = severalStates.read = true;
    severalStates.addReason = QStringLiteral(u"当前仅支持向 ZIP / 7Z 压缩包添加文件。");
    severalStates.extractSelectedReason = QStringLiteral(u"多压缩包模式请使用“全部解压”。");
    severalStates.deleteReason =
        QStringLiteral(u"当前仅支持删除 ZIP / 7Z 压缩包内文件，RAR 暂不支持原地编辑。");
    EXPECT_EQ(ArchiveBrowserCommandStates::of(several), severalStates);
}

TEST_F(BrowserWindowTest, PreviewPaneShowsOnlyThePlaceholderWithoutASelection) {
    ArchivePreviewWindowModel& browser = openListed({row("d/x.txt")});
    ArchivePreviewWindowController& controller = makeController();
    PreviewPane* pane = controller.window()->previewPane();
    EXPECT_FALSE(pane->showsHeader());
    EXPECT_EQ(pane->placeholderMessage(), QStringLiteral(u"请选择一个文件进行预览"));
    browser.setSelectedEntryID(QStringLiteral("d/"));
    EXPECT_TRUE(pane->showsHeader());
    EXPECT_EQ(pane->placeholderMessage(), QStringLiteral(u"文件夹不能直接预览"));
}

TEST_F(BrowserWindowTest, EveryIconOfTheWindowAndTheSheetIsDrawn) {
    ArchivePreviewWindow* window = windowAskingForAPassword();
    ASSERT_NE(window, nullptr);
    expectEveryIconDrawn(*window);
    expectEveryIconDrawn(*window->passwordSheet());
}

// A window narrower than its toolbar would squeeze the controls over one another; a larger font
// must not cut dates short either.
TEST_F(BrowserWindowTest, ToolbarControlsAndDatesFitAtTheNarrowestWindow) {
    const QFont original = QApplication::font();
    for (const int pixelSize : {13, 16}) {
        QFont larger = original;
        larger.setPixelSize(pixelSize);
        QApplication::setFont(larger);
        open({files.path(QStringLiteral("a.zip"))});
        ArchivePreviewWindowController& controller = makeController();
        ArchivePreviewWindow* window = controller.window();
        controller.show(true);
        window->resize(window->minimumSize());
        QCoreApplication::processEvents();
        QWidget* row = window->passwordField()->parentWidget();
        QList<QWidget*> controls = row->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        std::sort(controls.begin(), controls.end(),
                  [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
        for (qsizetype index = 0; index < controls.size(); ++index) {
            const QWidget* control = controls[index];
            const std::string label = control->toolTip().toStdString() + " at " + std::to_string(pixelSize);
            EXPECT_GE(control->width(), std::max(control->minimumSizeHint().width(), control->minimumWidth()))
                << label;
            EXPECT_LE(control->geometry().right(), row->width()) << label;
            if (index > 0) {
                EXPECT_GT(control->x(), controls[index - 1]->geometry().right()) << label;
            }
        }
        // Nor is a modification date cut short.
        const auto* table = window->findChild<QTreeView*>();
        ASSERT_NE(table, nullptr);
        EXPECT_GT(table->header()->sectionSize(ArchiveEntryTableModel::modified),
                  table->fontMetrics().horizontalAdvance(QStringLiteral("2026-11-18 09:42:10")))
            << pixelSize;
    }
    QApplication::setFont(original);
}

TEST_F(BrowserWindowTest, AddingTakesFoldersAsWellAsFilesStartingBesideTheArchive) {
    files.makeFolder(QStringLiteral("Photos"));
    const QString archive = files.writeFile(QStringLiteral("box/a.zip"), "zip");
    QWidget window;
    windowPlatform->setWindow(&window);
    std::optional<QStringList> chosen;
    windowPlatform->chooseItemsToAdd(archive, [&chosen](const QStringList& paths) { chosen = paths; });
    auto* dialog = window.findChild<FileAndFolderDialog*>();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral(u"选择要添加到压缩包的文件"));
    EXPECT_EQ(dialog->directory().absolutePath(), files.path(QStringLiteral("box")));
    EXPECT_EQ(dialog->findChild<QAbstractItemView*>()->selectionMode(), QAbstractItemView::ExtendedSelection);
    dialog->setDirectory(files.root());
    dialog->selectFile(QStringLiteral("Photos"));
    dialog->accept();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, QStringList{files.path(QStringLiteral("Photos"))});
}

}  // namespace
