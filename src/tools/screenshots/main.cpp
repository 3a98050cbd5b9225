#include "BrowserScreenshotScene.h"
#include "PopupComposer.h"
#include "ScreenshotScene.h"
#include "ShellScreenshotScene.h"
#include "viewmodels/SelectionSizes.h"
#include "views/kit/FeedbackBanner.h"
#include "views/kit/FocusRing.h"
#include "views/kit/PasswordDialog.h"
#include "views/main/CompressPage.h"
#include "views/main/ContentViewState.h"
#include "views/main/HomePage.h"
#include "views/main/MainWindow.h"
#include "views/main/PasswordBookAddSheet.h"
#include "views/main/TopBar.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPushButton>
#include <QTextStream>

namespace {

struct Shot {
    QString fileName;
    WorkbenchSection section;
};

// One line per page: the PNG's name and the section that shows the page.
const Shot kShots[] = {
    {QStringLiteral("home"), WorkbenchSection::home},
    {QStringLiteral("compress"), WorkbenchSection::compress},
    {QStringLiteral("extract"), WorkbenchSection::extract},
    {QStringLiteral("split-compress"), WorkbenchSection::splitCompress},
    {QStringLiteral("split-extract"), WorkbenchSection::splitExtract},
    {QStringLiteral("password-book"), WorkbenchSection::passwordBook},
    {QStringLiteral("tasks"), WorkbenchSection::tasks},
    {QStringLiteral("history"), WorkbenchSection::history},
    {QStringLiteral("settings"), WorkbenchSection::settings},
    {QStringLiteral("about"), WorkbenchSection::about},
};

// Lets the sizes worked out on worker threads arrive and the layouts settle.
void settle(MainWindow& window) {
    for (SelectionSizes* sizes : window.findChildren<SelectionSizes*>()) sizes->waitForDone();
    for (int round = 0; round < 5; ++round) QCoreApplication::processEvents();
}

bool save(const QPixmap& picture, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    if (!picture.save(path)) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << path << '\n';
    return true;
}

// The window with the open notification panel drawn where it pops up.
QPixmap notificationShot(MainWindow& window) {
    window.viewState().setIsShowingNotifications(true);
    settle(window);
    const QPixmap picture = PopupComposer::withPopup(window, *window.topBar()->notificationPopover());
    window.viewState().setIsShowingNotifications(false);
    return picture;
}

// The password book page with its add sheet open and a name and password typed in.
QPixmap passwordBookAddShot(ScreenshotScene& scene, MainWindow& window) {
    scene.models().context().setSelectedSection(WorkbenchSection::passwordBook);
    PasswordBookViewModel& book = scene.models().passwordBook();
    book.setNewPasswordBookLabel(QStringLiteral(u"设计部共享"));
    book.setNewPasswordBookPassword(QStringLiteral("Share-2026"));
    book.setIsAddingPasswordBookEntry(true);
    settle(window);
    // No sheet gives no picture, which fails the save.
    QPixmap picture;
    if (auto* sheet = window.findChild<PasswordBookAddSheet*>())
        picture = PopupComposer::withPopup(window, *sheet);
    book.setIsAddingPasswordBookEntry(false);
    return picture;
}

// The extract page asking for the password of an archive of a batch that none of the passwords opened.
QPixmap extractPasswordShot(ScreenshotScene& scene, MainWindow& window) {
    scene.models().context().setSelectedSection(WorkbenchSection::extract);
    settle(window);
    QDialog* dialog =
        PasswordDialog::ask(QStringLiteral(u"季度报表（最终版）.7z：密码错误或压缩包需要密码。"), &window,
                            [](const std::optional<QString>&) {});
    settle(window);
    const QPixmap picture = PopupComposer::withPopup(window, *dialog);
    dialog->reject();
    return picture;
}

// The home page's banner with the window around it, once per kind of message.
bool saveBannerShots(ScreenshotScene& scene, MainWindow& window, const QDir& folder) {
    scene.models().context().setSelectedSection(WorkbenchSection::home);
    scene.models().context().setIsWorking(false);
    const struct {
        QString name;
        QString message;
        StatusKind kind;
    } kinds[] = {
        {QStringLiteral("banner-success"), QStringLiteral(u"解压完成：设计稿"), StatusKind::success},
        {QStringLiteral("banner-warning"), QStringLiteral(u"任务已停止"), StatusKind::warning},
        {QStringLiteral("banner-error"),
         QStringLiteral(u"无法开始解压：缺少分卷 “发布会素材.part2.rar”，请把全部分卷放在同一个文件夹。"),
         StatusKind::error},
    };
    bool saved = true;
    for (const auto& shot : kinds) {
        scene.models().context().setStatusMessage(shot.message, shot.kind);
        settle(window);
        FeedbackBanner* banner = window.findChild<HomePage*>()->banner();
        const QRect area(banner->mapTo(&window, QPoint()), banner->size());
        saved = save(window.grab(area.adjusted(-24, -24, 24, 24)), folder, shot.name) && saved;
    }
    scene.models().context().setIsWorking(true);
    scene.models().context().setStatusMessage(QStringLiteral(u"正在压缩..."));
    return saved;
}

// The compress page with its folder button focused from the keyboard.
bool saveFocusShot(ScreenshotScene& scene, MainWindow& window, const QDir& folder) {
    scene.models().context().setSelectedSection(WorkbenchSection::compress);
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    settle(window);
    for (QPushButton* button : window.findChild<CompressPage*>()->findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral(u"浏览")) button->setFocus(Qt::TabFocusReason);
    }
    settle(window);
    // No ring gives no picture, which fails the save.
    const QPixmap picture = FocusRing::shown() ? window.grab() : QPixmap();
    window.setFocus(Qt::MouseFocusReason);
    return save(picture, folder, QStringLiteral("focus-ring"));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: velmora_screenshots OUTDIR\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) return 1;

    ScreenshotScene scene;
    MainWindow window(scene.models(), scene.workbenchStore(), scene.settingsStore(),
                      scene.passwordBookStore());
    window.show();

    bool saved = true;
    for (const Shot& shot : kShots) {
        scene.models().context().setSelectedSection(shot.section);
        settle(window);
        saved = save(window.grab(), folder, shot.fileName) && saved;
    }
    scene.models().context().setSelectedSection(WorkbenchSection::home);
    saved = save(notificationShot(window), folder, QStringLiteral("notifications")) && saved;
    saved = save(passwordBookAddShot(scene, window), folder, QStringLiteral("password-book-add")) && saved;
    saved = save(extractPasswordShot(scene, window), folder, QStringLiteral("extract-password")) && saved;
    saved = saveBannerShots(scene, window, folder) && saved;
    saved = saveFocusShot(scene, window, folder) && saved;
    window.hide();

    const auto saveInFolder = [&folder](const QPixmap& picture, const QString& name) {
        return save(picture, folder, name);
    };
    BrowserScreenshotScene browser;
    saved = browser.saveShots(saveInFolder) && saved;
    ShellScreenshotScene shell;
    saved = shell.saveShots(saveInFolder) && saved;
    return saved ? 0 : 1;
}
