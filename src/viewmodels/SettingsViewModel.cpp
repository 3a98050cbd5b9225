#include "viewmodels/SettingsViewModel.h"

#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/SettingsStore.h"
#include "platform/AppBundle.h"
#include "platform/LoginItemService.h"
#include "platform/SystemIntegrationError.h"
#include "platform/SystemIntegrationService.h"
#include "platform/VelmoraError.h"
#include "viewmodels/OperationFailure.h"
#include "viewmodels/WorkbenchPlatform.h"

#include <QCoreApplication>
#include <QPointer>
#include <algorithm>

namespace {

// The default-open rows that do not name velmora, as "ZIP：ark.desktop；RAR：未设置".
QString failureItems(const QList<DefaultArchiveToolResult>& rows) {
    QStringList items;
    for (const DefaultArchiveToolResult& row : rows) {
        if (!row.isDefaultOpenRole || row.isVelmora) continue;
        items.append(row.displayName + QStringLiteral(u"：") +
                     row.currentHandler.value_or(QStringLiteral(u"未设置")));
    }
    return items.join(QStringLiteral(u"；"));
}

// A record the integration keeps that could not be saved is worded as every failed save.
QString integrationFailureText(const std::exception& error) {
    const auto* integration = dynamic_cast<const SystemIntegrationError*>(&error);
    if (integration && integration->kind() == SystemIntegrationError::Kind::recordSaveFailed)
        return OperationFailure::saveFailed(integration->detail());
    return VelmoraError::messageOf(error);
}

}  // namespace

SettingsViewModel::Environment SettingsViewModel::Environment::standard() {
    return {std::make_shared<SystemIntegrationService>(), std::make_shared<LoginItemService>(),
            DefaultsStore(), QCoreApplication::applicationFilePath()};
}

SettingsViewModel::SettingsViewModel(SettingsStore& settingsStore,
                                     ArchivePasswordBookStore& passwordBookStore, WorkbenchPlatform& platform,
                                     Environment environment, QThreadPool* workerPool, QObject* parent)
    : QObject(parent),
      m_settingsStore(settingsStore),
      m_passwordBookStore(passwordBookStore),
      m_platform(platform),
      m_environment(std::move(environment)),
      m_settings(settingsStore.load()),
      m_systemIntegrationMessage(QStringLiteral(u"尚未检查默认打开方式。")),
      m_passwordBookEntries(sortedPasswordBook()),
      m_systemIntegrationRequestToken(QUuid::createUuid()),
      m_runner(this, workerPool) {
    // A change stored elsewhere through the same store (the tray option switched on at launch, a page's
    // switch) shows at once.
    connect(&settingsStore, &SettingsStore::changed, this, [this](const AppSettings& settings) {
        m_settings = settings;
        Q_EMIT changed();
    });
}

SettingsViewModel::~SettingsViewModel() = default;

bool SettingsViewModel::updateSettings(const std::function<void(AppSettings&)>& change) {
    if (const std::optional<QString> failure = m_settingsStore.update(change)) {
        // The page goes on showing what is stored, so the switch springs back.
        setMessage(OperationFailure::saveFailed(*failure));
        return false;
    }
    return true;
}

void SettingsViewModel::setMessage(const QString& text) {
    m_message = text;
    Q_EMIT changed();
}

bool SettingsViewModel::isContextMenuGuideAcknowledged() const {
    return m_environment.defaults.data(kContextMenuGuideAcknowledgedKey) == QByteArrayLiteral("true");
}

void SettingsViewModel::acknowledgeContextMenuGuide() {
    if (const std::optional<QString> failure =
            m_environment.defaults.write(kContextMenuGuideAcknowledgedKey, QByteArrayLiteral("true"))) {
        setMessage(OperationFailure::saveFailed(*failure));
        return;
    }
    Q_EMIT changed();
}

void SettingsViewModel::setExtractToSeparateFolder(bool enabled) {
    updateSettings([&](AppSettings& settings) { settings.extractToSeparateFolder = enabled; });
}

void SettingsViewModel::setDeleteSourceAfterExtract(bool enabled) {
    updateSettings([&](AppSettings& settings) { settings.deleteSourceAfterExtract = enabled; });
}

void SettingsViewModel::setArchivePasswordBookEnabled(bool enabled) {
    if (!updateSettings([&](AppSettings& settings) { settings.archivePasswordBookEnabled = enabled; }))
        return;
    setMessage(enabled ? QStringLiteral(u"已开启密码本自动填充。")
                       : QStringLiteral(u"已关闭密码本自动填充。"));
}

void SettingsViewModel::setArchivePasswordBookAutoSaveEnabled(bool enabled) {
    if (!updateSettings(
            [&](AppSettings& settings) { settings.archivePasswordBookAutoSaveEnabled = enabled; })) {
        return;
    }
    setMessage(enabled ? QStringLiteral(u"已开启自动保存正确密码。")
                       : QStringLiteral(u"已关闭自动保存正确密码。"));
}

void SettingsViewModel::useCurrentFileLocation() {
    if (!updateSettings([](AppSettings& settings) { settings.defaultExtractLocationPath.clear(); })) return;
    setMessage(QStringLiteral(u"默认输出位置已改为源文件当前位置。"));
}

void SettingsViewModel::chooseDefaultLocation() {
    const QPointer<SettingsViewModel> model(this);
    m_platform.openFileDialog({.choosesFiles = false,
                               .choosesFolders = true,
                               .multipleSelection = false,
                               .prompt = QStringLiteral(u"选择"),
                               .purpose = QStringLiteral("destination"),
                               .currentItem = m_settings.defaultExtractLocationPath},
                              [model](const QStringList& chosen) {
                                  if (!model || chosen.isEmpty()) return;
                                  model->updateSettings([&](AppSettings& settings) {
                                      settings.defaultExtractLocationPath = chosen.first();
                                  });
                              });
}

void SettingsViewModel::setDefaultExtractor(bool enabled) {
    const QUuid token = QUuid::createUuid();
    m_systemIntegrationRequestToken = token;
    if (!updateSettings([&](AppSettings& settings) { settings.setAsDefaultExtractor = enabled; })) return;
    m_systemIntegrationMessage =
        enabled ? QStringLiteral(u"正在设置默认打开方式...") : QStringLiteral(u"正在恢复系统默认打开方式...");
    setMessage(m_systemIntegrationMessage);

    const std::shared_ptr<SystemIntegrationService> service = m_environment.systemIntegrationService;
    m_runner.run(
        [service, enabled] {
            return enabled ? service->setAsDefaultArchiveTool() : service->restoreSystemDefaultArchiveTool();
        },
        [this, token, enabled](Outcome<QList<DefaultArchiveToolResult>>& outcome) {
            if (token != m_systemIntegrationRequestToken) return;
            finishDefaultExtractorRequest(enabled, outcome);
        });
}

void SettingsViewModel::finishDefaultExtractorRequest(bool enabled,
                                                      Outcome<QList<DefaultArchiveToolResult>>& outcome) {
    bool isDefault = false;
    try {
        const QList<DefaultArchiveToolResult>& rows = outcome.value();
        const QString failures = failureItems(rows);
        if (!enabled) {
            m_systemIntegrationMessage = QStringLiteral(
                u"已取消 velmora 默认打开方式，系统会恢复为原默认工具或桌面环境的默认处理器。");
        } else if (!failures.isEmpty()) {
            m_systemIntegrationMessage = QStringLiteral(u"默认打开方式未完全生效：") + failures +
                                         QStringLiteral(u"。请确认 velmora 已安装（make install），然后重新设置。");
        } else {
            isDefault = true;
            m_systemIntegrationMessage =
                QStringLiteral(u"默认打开方式已生效：ZIP、RAR、7Z 双击会交给 velmora。");
            if (!isInstalled()) {
                m_systemIntegrationMessage += QStringLiteral(u" 当前 App 运行位置是 ") +
                                              m_environment.applicationFilePath +
                                              QStringLiteral(u"，建议用 make install 安装 velmora "
                                                             u"后再点一次，避免系统记住临时构建。");
            }
        }
    } catch (const std::exception& error) {
        m_systemIntegrationMessage = integrationFailureText(error);
    }
    if (!updateSettings([&](AppSettings& settings) { settings.setAsDefaultExtractor = isDefault; })) return;
    setMessage(m_systemIntegrationMessage);
}

void SettingsViewModel::refreshSystemIntegrationStatus() {
    QList<DefaultArchiveToolResult> rows;
    try {
        rows = m_environment.systemIntegrationService->currentDefaultArchiveToolResults();
    } catch (const std::exception& error) {
        m_systemIntegrationMessage = VelmoraError::messageOf(error);
        Q_EMIT changed();
        return;
    }
    const QString failures = failureItems(rows);
    if (failures.isEmpty()) {
        m_systemIntegrationMessage = QStringLiteral(u"当前默认打开方式已指向 velmora。");
        if (!isInstalled()) {
            m_systemIntegrationMessage +=
                QStringLiteral(u" 当前 App 是未安装的构建，正式使用前建议安装后重新设置。");
        }
    } else {
        m_systemIntegrationMessage =
            QStringLiteral(u"当前仍有格式未指向 velmora：") + failures + QStringLiteral(u"。");
    }
    updateSettings([&](AppSettings& settings) { settings.setAsDefaultExtractor = failures.isEmpty(); });
}

bool SettingsViewModel::isInstalled() const { return AppBundle::isInstalled(m_environment.applicationFilePath); }

void SettingsViewModel::setContextMenuEnabled(bool enabled) {
    try {
        m_environment.systemIntegrationService->setFileManagerEntriesEnabled(enabled);
    } catch (const std::exception& error) {
        if (updateSettings([&](AppSettings& settings) { settings.contextMenuEnabled = !enabled; })) {
            setMessage(integrationFailureText(error));
        }
        return;
    }
    if (!updateSettings([&](AppSettings& settings) { settings.contextMenuEnabled = enabled; })) return;
    setMessage(enabled
                   ? QStringLiteral(u"已启用右键菜单。若文件管理器未立即显示，请关闭它的所有窗口后重新打开。")
                   : QStringLiteral(u"已关闭右键菜单，并移除文件管理器中的菜单入口。"));
}

void SettingsViewModel::setLaunchAtLogin(bool enabled) {
    try {
        enabled ? m_environment.loginItemService->installAutostartEntry()
                : m_environment.loginItemService->removeAutostartEntry();
    } catch (const std::exception& error) {
        const bool installed = m_environment.loginItemService->isAutostartEntryInstalled();
        if (updateSettings([&](AppSettings& settings) { settings.launchAtLogin = installed; })) {
            setMessage(VelmoraError::messageOf(error));
        }
        return;
    }
    if (!updateSettings([&](AppSettings& settings) { settings.launchAtLogin = enabled; })) return;
    setMessage(enabled ? QStringLiteral(u"已开启开机后台自启动，服务组件会在登录时提前就绪。")
                       : QStringLiteral(u"已关闭开机后台自启动。"));
}

void SettingsViewModel::setTrayDropEnabled(bool enabled) {
    // The user's choice is marked first: a switch saved without it would be switched on again at launch.
    if (const std::optional<QString> failure =
            m_environment.defaults.write(kTrayDropUserConfiguredKey, QByteArrayLiteral("true"))) {
        setMessage(OperationFailure::saveFailed(*failure));
        return;
    }
    if (!updateSettings([&](AppSettings& settings) { settings.trayDropEnabled = enabled; })) return;
    setMessage(enabled ? QStringLiteral(u"已开启拖拽自动压缩/解压。")
                       : QStringLiteral(u"已关闭拖拽自动压缩/解压。"));
}

void SettingsViewModel::setMultiThreadEngineEnabled(bool) {
    if (!updateSettings([](AppSettings& settings) {
            settings.compressionThreadCount = AppSettings::activeProcessorCount();
        })) {
        return;
    }
    setMessage(QStringLiteral(u"多线程压缩引擎已开启。"));
}

QList<ArchivePasswordBookEntry> SettingsViewModel::sortedPasswordBook() const {
    QList<ArchivePasswordBookEntry> entries = m_passwordBookStore.entries();
    std::stable_sort(entries.begin(), entries.end(), ArchivePasswordBookEntry::displayOrder);
    return entries;
}

void SettingsViewModel::reloadPasswordBook() {
    m_passwordBookEntries = sortedPasswordBook();
    Q_EMIT changed();
}

void SettingsViewModel::removePasswordBookEntry(const ArchivePasswordBookEntry& entry) {
    if (const std::optional<QString> failure = m_passwordBookStore.removeEntry(entry.id)) {
        setMessage(OperationFailure::saveFailed(*failure));
        return;
    }
    reloadPasswordBook();
    setMessage(QStringLiteral(u"已删除一条密码本记录。"));
}

void SettingsViewModel::clearPasswordBook() {
    if (const std::optional<QString> failure = m_passwordBookStore.removeAll()) {
        setMessage(OperationFailure::saveFailed(*failure));
        return;
    }
    reloadPasswordBook();
    setMessage(QStringLiteral(u"已清空密码本。"));
}

void SettingsViewModel::refresh() {
    const bool installed = m_environment.loginItemService->isAutostartEntryInstalled();
    updateSettings([&](AppSettings& settings) { settings.launchAtLogin = installed; });
    reloadPasswordBook();
    refreshSystemIntegrationStatus();
}
