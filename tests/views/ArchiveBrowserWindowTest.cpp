#include "viewmodels/BrowserFixture.h"
#include "views/browser/ArchiveBrowserCommandStates.h"
#include "views/browser/ArchiveBrowserWindowPlatform.h"
#include "views/browser/ArchiveEntryTableModel.h"
#include "views/browser/ArchivePreviewWindow.h"
#include "views/browser/ArchivePreviewWindowController.h"
#include "views/browser/PasswordSheet.h"
#include "views/browser/PreviewPane.h"
#include "views/kit/FileAndFolderDialog.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

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

void pressSpace(QWidget* target) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(target, &press);
}

TEST_F(BrowserWindowTest, SpaceTypesInThePasswordFieldAndPreviewsInTheTable) {
    ArchivePreviewWindowModel& browser = openListed({row("a.txt"), row("b.txt")});
    ArchivePreviewWindowController& controller = makeController();
    controller.show(true);
    ArchivePreviewWindow* window = controller.window();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    window->table()->setFocus();
    pressSpace(window->table());  // nothing selected: swallowed, nothing previewed
    EXPECT_EQ(services.callCount(), 0);
    browser.setSelectedEntryID(QStringLiteral("a.txt"));
    ASSERT_TRUE(waitForCall(1));  // the selection itself asks for a preview
    pressSpace(window->table());
    ASSERT_TRUE(waitForCall(2));
    EXPECT_EQ(services.call(1).operation, QStringLiteral("preview"));

    window->passwordField()->setFocus();
    QTest::keyClicks(window->passwordField(), QStringLiteral("a b"));
    EXPECT_EQ(window->passwordField()->text(), QStringLiteral("a b"));
    EXPECT_EQ(browser.password(), QStringLiteral("a b"));
    QCoreApplication::processEvents();
    EXPECT_EQ(services.callCount(), 2);
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
    controller.close();
    EXPECT_TRUE(closed);
    m_controller.reset();
    QPointer<ArchivePreviewWindowModel> model(&browser);
    sharedModel().reset();
    ASSERT_TRUE(waitFor([&] { return window.isNull(); }));
    EXPECT_TRUE(model);  // the extraction holds it
    services.answer(0, FakeBrowserServices::Answer{{}, {files.path(QStringLiteral("a"))}, {}});
    ASSERT_TRUE(waitFor([&] { return model.isNull(); }));
    EXPECT_EQ(platform->revealed.size(), 1);
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

TEST_F(BrowserWindowTest, CommandStatesFollowTheModel) {
    ArchivePreviewWindowModel& zip = openListed({row("a.txt"), row("d/")});
    ArchiveBrowserCommandStates idle;
    idle.add = idle.extractAll = idle.clean = idle.read = true;
    EXPECT_EQ(ArchiveBrowserCommandStates::of(zip), idle);
    zip.setSelectedEntryID(QStringLiteral("a.txt"));
    ArchiveBrowserCommandStates fileSelected = idle;
    fileSelected.extractSelected = fileSelected.deleteSelected = true;
    EXPECT_EQ(ArchiveBrowserCommandStates::of(zip), fileSelected);
    zip.setSelectedEntryID(QStringLiteral("d/"));
    ArchiveBrowserCommandStates folderSelected = idle;
    folderSelected.deleteSelected = true;
    EXPECT_EQ(ArchiveBrowserCommandStates::of(zip), folderSelected);
    zip.reload();
    ArchiveBrowserCommandStates loading;
    EXPECT_EQ(ArchiveBrowserCommandStates::of(zip), loading);
    ASSERT_TRUE(waitForCall(1));
    services.answer(0, FakeBrowserServices::Answer{{row("a.txt")}, {}, {}});
    ASSERT_TRUE(waitFor([&] { return !zip.isLoading(); }));
    ArchivePreviewWindowModel& several = open({files.path("a.zip"), files.path("b.zip")});
    several.setSelectedEntryID(QStringLiteral("a.zip"));
    ArchiveBrowserCommandStates severalStates;
    severalStates.extractAll = severalStates.clean = severalStates.read = true;
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

TEST_F(BrowserWindowTest, AddingTakesFoldersAsWellAsFiles) {
    files.makeFolder(QStringLiteral("Photos"));
    QWidget window;
    windowPlatform->setWindow(&window);
    std::optional<QStringList> chosen;
    windowPlatform->chooseItemsToAdd([&chosen](const QStringList& paths) { chosen = paths; });
    auto* dialog = window.findChild<FileAndFolderDialog*>();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral(u"选择要添加到压缩包的文件"));
    EXPECT_EQ(dialog->findChild<QAbstractItemView*>()->selectionMode(), QAbstractItemView::ExtendedSelection);
    dialog->setDirectory(files.root());
    dialog->selectFile(QStringLiteral("Photos"));
    dialog->accept();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, QStringList{files.path(QStringLiteral("Photos"))});
}

}  // namespace
