#include "BrowserScreenshotScene.h"
#include "ScreenshotScene.h"
#include "views/kit/SelectionSizes.h"
#include "views/main/ContentViewState.h"
#include "views/main/MainWindow.h"
#include "views/main/TopBar.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
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
    QPixmap picture = window.grab();
    QWidget* popover = window.topBar()->notificationPopover();
    QPainter painter(&picture);
    painter.drawPixmap(window.mapFromGlobal(popover->pos()), popover->grab());
    painter.setPen(QColor(0, 0, 0, 40));
    painter.drawRect(QRect(window.mapFromGlobal(popover->pos()), popover->size()).adjusted(0, 0, -1, -1));
    window.viewState().setIsShowingNotifications(false);
    return picture;
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
    MainWindow window(scene.model(), scene.workbenchStore(), scene.settingsStore(),
                      scene.passwordBookStore());
    window.show();

    bool saved = true;
    for (const Shot& shot : kShots) {
        scene.model().setSelectedSection(shot.section);
        settle(window);
        saved = save(window.grab(), folder, shot.fileName) && saved;
    }
    scene.model().setSelectedSection(WorkbenchSection::home);
    saved = save(notificationShot(window), folder, QStringLiteral("notifications")) && saved;
    window.hide();

    BrowserScreenshotScene browser;
    saved = browser.saveShots([&folder](const QPixmap& picture, const QString& name) {
        return save(picture, folder, name);
    }) && saved;
    return saved ? 0 : 1;
}
