#include "platform/SystemIntegrationError.h"

QString SystemIntegrationError::message() const {
    switch (m_kind) {
        case Kind::launchServicesPreferenceFailed:
            return QStringLiteral(u"系统默认打开方式偏好写入失败：") + m_detail;
        case Kind::finderSyncConfigurationFailed:
            return QStringLiteral(u"文件管理器右键菜单配置失败：") + m_detail;
        case Kind::bundleIdentifierUnavailable:
            return QStringLiteral(u"无法找到当前 App 的桌面入口 com.velmora.pro.desktop。");
        case Kind::recordSaveFailed:
            return m_detail;
    }
    return {};
}
