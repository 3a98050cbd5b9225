#include "ScreenshotScene.h"

#include "core/engine/CompressionService.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A fixed moment, so dates in the pictures do not change from run to run.
QDateTime sceneNow() { return QDateTime(QDate(2026, 3, 5), QTime(14, 26, 0)); }

ArchiveTask task(const QString& name, const QString& path, ArchiveActivityKind kind, const QString& target) {
    ArchiveTask result;
    result.id = QUuid::createUuid();
    result.name = name;
    result.path = path;
    result.kind = kind;
    result.status = ArchiveActivityStatus::running;
    result.targetPath = target;
    result.createdAt = sceneNow();
    result.updatedAt = sceneNow();
    result.message = QStringLiteral(u"准备中");
    return result;
}

}  // namespace

ScreenshotScene::ScreenshotScene()
    : m_archiveService(ArchiveService::standardExtractors(), std::make_shared<CompressionService>()),
      m_engine(m_archiveService) {
    const QString defaults = m_root.filePath(QStringLiteral("defaults"));
    m_settingsStore = std::make_unique<SettingsStore>(DefaultsStore(defaults), QStringList());
    m_passwordBookStore = std::make_unique<ArchivePasswordBookStore>(DefaultsStore(defaults),
                                                                     [this] { return m_passwordBookNow; });
    m_workbenchStore = std::make_unique<WorkbenchStore>(DefaultsStore(defaults), sceneNow);
    m_models = std::make_unique<WorkbenchModels>(m_engine, *m_settingsStore, *m_passwordBookStore,
                                                 *m_workbenchStore, m_platform);
    // First: a scanned set becomes the extract page's selection, which the samples then replace.
    fillSplitPages();
    fillSamples();
    fillWorkbench();
    fillPasswordBook();
}

QString ScreenshotScene::samplesFolder() const { return m_root.filePath(QStringLiteral(u"项目资料")); }

QString ScreenshotScene::writeSample(const QString& relativePath, qint64 size) const {
    const QString path = QDir(samplesFolder()).filePath(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.resize(size);
    return path;
}

void ScreenshotScene::fillSamples() {
    const QString report = writeSample(QStringLiteral(u"2026 年度报告（终稿）.pdf"), 2'456'789);
    writeSample(QStringLiteral(u"设计稿/首页.png"), 5'812'345);
    writeSample(QStringLiteral(u"设计稿/图标.svg"), 48'120);
    const QString designs = QDir(samplesFolder()).filePath(QStringLiteral(u"设计稿"));
    const QString notes = writeSample(QStringLiteral(u"会议纪要.txt"), 18'400);
    m_models->compress().setSelectedFilesForCompression({report, designs, notes});

    const QString photos = writeSample(QStringLiteral(u"旅行照片合集.zip"), 86'400'000);
    const QString backup = writeSample(QStringLiteral(u"数据备份-2026-03.7z"), 412'000'000);
    const QString sources = writeSample(QStringLiteral(u"源代码.tar.gz"), 3'200'000);
    m_models->extract().setSelectedArchivesForExtraction({photos, backup, sources});
}

void ScreenshotScene::fillPasswordBook() {
    ArchivePasswordBookStore& book = *m_passwordBookStore;
    // Each password a little older than the one before, so the book's order and dates differ.
    const auto at = [this](int hoursAgo) { m_passwordBookNow = sceneNow().addSecs(-3600 * hoursAgo); };
    const auto manual = [&book](const QString& password, const QString& label, ArchivePasswordBookKind kind) {
        book.addManualPassword(password, label, kind);
    };
    at(1);
    book.remember(QStringLiteral("trip0305"),
                  QDir(samplesFolder()).filePath(QStringLiteral(u"旅行照片合集.zip")));
    at(5);
    manual(QStringLiteral("Work@2026"), QStringLiteral(u"工作压缩包"), ArchivePasswordBookKind::extraction);
    at(26);
    manual(QStringLiteral("Client#2026"), QStringLiteral(u"客户资料"), ArchivePasswordBookKind::extraction);
    at(75);
    manual(QStringLiteral("family!88"), QStringLiteral(u"家庭相册"), ArchivePasswordBookKind::extraction);
    at(3);
    manual(QStringLiteral("Deliver-42"), QStringLiteral(u"项目交付"), ArchivePasswordBookKind::compression);
    at(48);
    manual(QStringLiteral("Contract$9"), QStringLiteral(u"合同备份"), ArchivePasswordBookKind::compression);
}

void ScreenshotScene::fillWorkbench() {
    WorkbenchStore& store = *m_workbenchStore;
    // Records only show their paths; a home folder reads better than a temporary one and does not
    // change from run to run.
    const QString folder = QStringLiteral(u"/home/lin/文档/项目资料");
    const struct {
        QString name;
        ArchiveActivityKind kind;
        bool succeeds;
    } finished[] = {
        {QStringLiteral(u"旅行照片合集.zip"), ArchiveActivityKind::extract, true},
        {QStringLiteral(u"季度财报.7z"), ArchiveActivityKind::extract, false},
        {QStringLiteral(u"会议纪要.zip"), ArchiveActivityKind::compress, true},
        {QStringLiteral(u"安装包.7z.001"), ArchiveActivityKind::splitExtraction, true},
    };
    for (const auto& entry : finished) {
        const ArchiveTask record = task(entry.name, QDir(folder).filePath(entry.name), entry.kind, folder);
        store.addTask(record);
        if (entry.succeeds) {
            store.completeTask(record.id, QStringLiteral(u"已完成"));
        } else {
            store.failTask(record.id, QStringLiteral(u"密码错误或文件已损坏"));
        }
    }

    const ArchiveTask running =
        task(QStringLiteral(u"设计稿.zip"), QDir(folder).filePath(QStringLiteral(u"设计稿")),
             ArchiveActivityKind::compress, folder);
    store.addTask(running);
    store.updateTaskProgress(running.id, 0.62, QStringLiteral(u"正在压缩 首页.png"));

    m_models->context().setIsWorking(true);
    m_models->context().setStatusMessage(QStringLiteral(u"正在压缩..."));
}

void ScreenshotScene::fillSplitPages() {
    writeSample(QStringLiteral(u"发布会素材/主机位原片-2026-03-05.mov"), 3'456'789'012);
    writeSample(QStringLiteral(u"发布会素材/字幕与调色工程/调色预设.cube"), 1'204'000);
    const QString folder = QDir(samplesFolder()).filePath(QStringLiteral(u"发布会素材"));
    const QString handbook =
        writeSample(QStringLiteral(u"产品手册（完整版，含附录与术语表）.pdf"), 48'512'000);
    m_models->splitCompress().addSplitCompressionItems({folder, handbook});
    m_models->splitCompress().applySplitCompressionPreset(SplitCompressionPreset::all().at(1));

    // A set of five volumes with the fourth missing, so the page shows both kinds of row.
    const QString volumes = QStringLiteral(u"分卷/年度项目归档-2025.7z.%1");
    for (int number : {1, 2, 3, 5})
        writeSample(volumes.arg(number, 3, 10, QLatin1Char('0')), number == 5 ? 312'000'000 : 1'073'741'824);
    m_models->splitExtract().selectSplitArchiveForExtraction(
        QDir(samplesFolder()).filePath(volumes.arg(2, 3, 10, QLatin1Char('0'))));
    waitForSplitPages();
}

void ScreenshotScene::waitForSplitPages() {
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() &&
           (m_models->splitCompress().isCalculatingSplitCompressionItems() ||
            m_models->splitExtract().splitArchiveState() == SplitArchivePageState::scanning()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}
