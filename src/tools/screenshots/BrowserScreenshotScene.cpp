#include "BrowserScreenshotScene.h"

#include "PopupComposer.h"
#include "core/content/PreviewEntryRules.h"
#include "core/engine/ArchiveError.h"
#include "platform/ByteCountFormatter.h"
#include "viewmodels/ArchivePreviewWindowModel.h"
#include "views/browser/ArchiveBrowserWindowPlatform.h"
#include "views/browser/ArchivePreviewWindow.h"
#include "views/browser/FilePreviewWidget.h"
#include "views/browser/PreviewPane.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTest>

namespace {

ArchivePreviewEntry listed(const QString& path, qint64 size) {
    ArchivePreviewEntry entry;
    entry.path = path;
    entry.byteSize = size;
    entry.sizeDescription = path.endsWith(u'/') ? QString() : ByteCountFormatter::fileStyle(size);
    entry.modifiedDescription = QStringLiteral("2026-11-18 09:42:10");
    entry.kindDescription = PreviewEntryRules::kindDescription(path);
    return entry;
}

const QString kImage = QStringLiteral(u"旅行照片/海边日落.jpg");
const QString kText = QStringLiteral(u"行程说明.txt");
const QString kEncrypted = QStringLiteral(u"客户资料（加密）.zip");

}  // namespace

BrowserScreenshotScene::BrowserScreenshotScene()
    : m_settingsStore(DefaultsStore(m_root.filePath(QStringLiteral("defaults"))), {}),
      m_passwordBookStore(DefaultsStore(m_root.filePath(QStringLiteral("defaults")))),
      m_services(m_root.filePath(QStringLiteral("previews"))) {
    writePreviews();
}

void BrowserScreenshotScene::writePreviews() const {
    QDir().mkpath(m_root.filePath(QStringLiteral(u"previews/旅行照片")));
    QImage image(960, 640, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 640);
    sky.setColorAt(0, QColor(255, 170, 90));
    sky.setColorAt(0.55, QColor(240, 110, 120));
    sky.setColorAt(0.56, QColor(40, 90, 150));
    sky.setColorAt(1, QColor(20, 50, 100));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(255, 230, 150));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(480, 352), 90, 90);
    painter.end();
    image.save(m_root.filePath(QStringLiteral("previews/") + kImage));
    QFile text(m_root.filePath(QStringLiteral("previews/") + kText));
    text.open(QIODevice::WriteOnly);
    text.write(
        QStringLiteral(u"厦门三日行程\n\n第一天：鼓浪屿，日光岩，菽庄花园。\n第二天：曾厝垵，环岛路骑行。\n"
                       u"第三天：南普陀寺，厦门大学。\n\n备注：照片按日期放在“旅行照片”文件夹。\n")
            .toUtf8());
}

QList<ArchivePreviewEntry> BrowserScreenshotScene::StillServices::previewEntries(
    const QString& archive, const std::optional<QString>& password, const CancellationToken&) {
    // What the content service makes of encrypted headers opened without a password.
    if (archive.endsWith(kEncrypted) && !password) throw ArchiveError::wrongPassword();
    return {listed(QStringLiteral(u"旅行照片/"), 0),
            listed(kImage, 2'456'789),
            listed(QStringLiteral(u"旅行照片/沙滩2.jpg"), 1'835'002),
            listed(QStringLiteral(u"旅行照片/沙滩10.jpg"), 1'902'331),
            listed(QStringLiteral(u"票据/机票.pdf"), 184'220),
            listed(QStringLiteral(u"票据/酒店确认单.pdf"), 96'512),
            listed(QStringLiteral(u"视频/航拍.mp4"), 48'300'112),
            listed(kText, 412),
            listed(QStringLiteral(u"预算.xlsx"), 22'080)};
}

QString BrowserScreenshotScene::StillServices::extractedPreviewFile(const ArchivePreviewEntry& entry,
                                                                    const QString&,
                                                                    const std::optional<QString>&,
                                                                    const CancellationToken&) {
    return m_previews + u'/' + entry.path;
}

bool BrowserScreenshotScene::saveShots(const Save& save) {
    const bool listing = saveListingShots(save);
    return savePasswordShot(save) && listing;
}

bool BrowserScreenshotScene::saveListingShots(const Save& save) {
    auto platform = std::make_shared<ArchiveBrowserWindowPlatform>([](const QStringList&) {});
    const auto model =
        ArchivePreviewWindowModel::create({m_root.filePath(QStringLiteral(u"厦门旅行.zip"))}, m_services,
                                          m_settingsStore, m_passwordBookStore, platform);
    ArchivePreviewWindow window(*model);
    window.show();
    FilePreviewWidget* preview = window.previewPane()->filePreview();
    const auto settled = [&] { return !model->isLoading() && !model->isPreviewLoading(); };
    const auto shown = [&] { return settled() && preview->shownKind().has_value(); };
    const auto shot = [&](const std::function<bool()>& ready, const QString& name) {
        const bool ok = QTest::qWaitFor(ready, 10000);
        QCoreApplication::processEvents();
        return save(window.grab(), name) && ok;
    };
    bool saved = shot(settled, QStringLiteral("browser"));
    model->toggleExpanded(model->filteredEntries().first());
    saved = shot(settled, QStringLiteral("browser-folder")) && saved;
    model->setSelectedEntryID(kImage);
    saved = shot(shown, QStringLiteral("browser-image")) && saved;
    model->setSelectedEntryID(kText);
    saved = shot(shown, QStringLiteral("browser-text")) && saved;
    return saved;
}

bool BrowserScreenshotScene::savePasswordShot(const Save& save) {
    auto platform = std::make_shared<ArchiveBrowserWindowPlatform>([](const QStringList&) {});
    const auto model = ArchivePreviewWindowModel::create({m_root.filePath(kEncrypted)}, m_services,
                                                         m_settingsStore, m_passwordBookStore, platform);
    ArchivePreviewWindow window(*model);
    window.show();
    const bool asked = QTest::qWaitFor([&] { return window.passwordSheet() && !model->isLoading(); }, 10000);
    QCoreApplication::processEvents();
    if (!asked) return false;
    return save(PopupComposer::withPopup(window, *window.passwordSheet()),
                QStringLiteral("browser-password"));
}
