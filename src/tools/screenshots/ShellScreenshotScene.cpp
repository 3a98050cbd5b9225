#include "ShellScreenshotScene.h"

#include "app/ExternalOperationProgressModel.h"
#include "app/ExternalOperationProgressWindowController.h"
#include "app/TrayDropView.h"
#include "app/TrayDropWindowController.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

namespace {

void settle() {
    for (int round = 0; round < 5; ++round) QCoreApplication::processEvents();
}

// The panel is translucent and floats over whatever is on screen; a plain desktop-like backdrop
// with a margin shows its outline and pointer.
QPixmap onBackdrop(QWidget& panel) {
    constexpr int margin = 24;
    QPixmap picture(panel.size() + QSize(2 * margin, 2 * margin));
    picture.fill(QColor(96, 110, 128));
    QPainter painter(&picture);
    painter.drawPixmap(margin, margin, panel.grab());
    return picture;
}

}  // namespace

bool ShellScreenshotScene::saveShots(const Save& save) {
    const bool progress = saveProgressShots(save);
    return saveDropPanelShots(save) && progress;
}

bool ShellScreenshotScene::saveProgressShots(const Save& save) {
    ExternalOperationProgressWindowController progress;
    QWidget& window = *progress.window();
    progress.show(QStringLiteral(u"正在压缩文件"), QStringLiteral(u"正在压缩 3 个项目..."));
    const double fraction = 0.46;
    progress.update(fraction, QStringLiteral(u"正在压缩 ") +
                                  ExternalOperationProgressModel::percentText(fraction) +
                                  QStringLiteral("..."));
    settle();
    bool saved = save(window.grab(), QStringLiteral("progress-running"));
    progress.finish(QStringLiteral(u"压缩完成"),
                    QStringLiteral(u"已压缩：2026 年度报告（终稿）、设计稿与会议纪要及全部附件.zip"),
                    StatusKind::success);
    settle();
    saved = save(window.grab(), QStringLiteral("progress-finished")) && saved;
    progress.show(QStringLiteral(u"正在压缩文件"), QStringLiteral(u"正在压缩 3 个项目..."));
    progress.finish(QStringLiteral(u"解压失败"),
                    QStringLiteral(u"无法开始解压：缺少分卷 “发布会素材.part2.rar”，请把全部分卷放在同一个"
                                   u"文件夹后重试。"),
                    StatusKind::error);
    settle();
    saved = save(window.grab(), QStringLiteral("progress-failed")) && saved;
    progress.show(QStringLiteral(u"正在压缩文件"), QStringLiteral(u"正在压缩 1 个项目..."));
    progress.finish(QStringLiteral(u"压缩完成"),
                    QStringLiteral(u"已压缩：季度报表.zip；1 个项目无法移到回收站，仍在原处：季度报表.xlsx"),
                    StatusKind::warning);
    settle();
    saved = save(window.grab(), QStringLiteral("progress-notice")) && saved;
    progress.show(
        QStringLiteral(u"正在解压文件"), QStringLiteral(u"正在解压 2 个压缩包..."),
        QStringLiteral(u"2 个项目无法解压：missing.zip：文件不存在：/home/lin/下载/missing.zip；"
                       u"pipe.zip：“/home/lin/下载/pipe.zip”是命名管道，不是文件或文件夹，无法使用。"));
    settle();
    saved = save(window.grab(), QStringLiteral("progress-refused")) && saved;
    progress.finish(QStringLiteral(u"已取消"), QStringLiteral(u"任务已取消。"), StatusKind::error);
    settle();
    saved = save(window.grab(), QStringLiteral("progress-refused-cancelled")) && saved;
    progress.close();
    return saved;
}

bool ShellScreenshotScene::saveDropPanelShots(const Save& save) {
    TrayDropWindowController panel([] { return std::nullopt; }, [](const QStringList&) {});
    panel.showCompact();
    settle();
    bool saved = save(onBackdrop(*panel.view()), QStringLiteral("drop-panel"));

    // A file dragged over the panel, as the desktop delivers it.
    const QString dragged = m_root.filePath(QStringLiteral(u"会议纪要.txt"));
    QFile(dragged).open(QIODevice::WriteOnly);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dragged)});
    QDragEnterEvent enter(QPoint(40, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel.view(), &enter);
    settle();
    const bool expanded = panel.model().isExpanded;
    saved = save(onBackdrop(*panel.view()), QStringLiteral("drop-panel-targeted")) && expanded && saved;
    panel.hide();
    return saved;
}
