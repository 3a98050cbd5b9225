#include "viewmodels/UpdateChecker.h"

#include "core/state/WorkbenchStore.h"
#include "viewmodels/ReleaseInfo.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <optional>

namespace {

const QString kFailureTitle = QStringLiteral(u"检查更新失败");

// An optional sign and one or more ASCII digits, nothing else, within 64 bits.
std::optional<qint64> strictInteger(QStringView text) {
    QStringView digits = text;
    if (digits.startsWith(u'+') || digits.startsWith(u'-')) digits = digits.mid(1);
    if (digits.isEmpty()) return std::nullopt;
    for (QChar character : digits) {
        if (character < u'0' || character > u'9') return std::nullopt;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return value;
}

QList<qint64> versionPieces(const QString& version) {
    QList<qint64> pieces;
    for (const QString& piece : version.split(QLatin1Char('.'), Qt::SkipEmptyParts)) {
        pieces << strictInteger(piece).value_or(0);
    }
    return pieces;
}

bool isFeedURL(const QUrl& url) { return url.isValid() && !url.isRelative() && !url.host().isEmpty(); }

}  // namespace

UpdateChecker::Configuration UpdateChecker::releaseConfiguration() {
    return {
        .feedAddress = ReleaseInfo::updateFeedAddress(),
        .currentVersion = ReleaseInfo::version(),
        .currentBuild = ReleaseInfo::build(),
    };
}

UpdateChecker::UpdateChecker(WorkbenchStore& store, Configuration configuration, QObject* parent)
    : QObject(parent), m_store(store), m_configuration(std::move(configuration)) {}

void UpdateChecker::checkForUpdates() {
    if (m_isCheckingForUpdates) return;
    const QUrl url(m_configuration.feedAddress, QUrl::StrictMode);
    if (!isFeedURL(url)) {
        m_store.addNotification(kFailureTitle, QStringLiteral(u"更新地址配置无效。"));
        return;
    }
    setIsCheckingForUpdates(true);
    QNetworkRequest request(url);
    request.setTransferTimeout(int(m_configuration.transferTimeout.count()));
    QNetworkReply* reply = m_network.get(request);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, version = m_configuration.currentVersion, build = m_configuration.currentBuild] {
                reply->deleteLater();
                finish(reply, version, build);
            });
}

void UpdateChecker::finish(QNetworkReply* reply, const QString& currentVersion, const QString& currentBuild) {
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool succeeded = reply->error() == QNetworkReply::NoError && status.isValid() &&
                           status.toInt() >= 200 && status.toInt() <= 299;
    const std::optional<AppcastInfo> appcast =
        succeeded ? AppcastInfo::decode(reply->readAll()) : std::nullopt;
    setIsCheckingForUpdates(false);
    if (!appcast) {
        notifyFailure();
        return;
    }
    notifyUpdateStatus(*appcast, currentVersion, currentBuild);
}

void UpdateChecker::notifyFailure() {
    m_store.addNotification(kFailureTitle, QStringLiteral(u"暂时无法获取更新信息，请稍后重试。"));
}

void UpdateChecker::notifyUpdateStatus(const AppcastInfo& appcast, const QString& currentVersion,
                                       const QString& currentBuild) {
    const QString version = appcast.version.trimmed();
    const QString build = appcast.build.trimmed();
    if (!isRemoteVersionNewer(version, build, currentVersion, currentBuild)) {
        m_store.addNotification(QStringLiteral(u"已是最新版"), QStringLiteral(u"当前版本 ") + currentVersion +
                                                                   QStringLiteral(u" 已是最新版。"));
        return;
    }
    const QString title = QStringLiteral(u"发现新版本 ") +
                          (version.isEmpty() ? QStringLiteral(u"新版") : QLatin1Char('v') + version);
    const QString message = appcast.releaseNotes.isEmpty() ? QStringLiteral(u"请点击“访问官网”下载最新版。")
                                                           : appcast.releaseNotes;
    m_store.addNotification(title, message);
}

bool UpdateChecker::isRemoteVersionNewer(const QString& remoteVersion, const QString& remoteBuild,
                                         const QString& currentVersion, const QString& currentBuild) {
    const int comparison = compareVersion(remoteVersion, currentVersion);
    if (comparison != 0) return comparison > 0;
    return strictInteger(remoteBuild).value_or(0) > strictInteger(currentBuild).value_or(0);
}

int UpdateChecker::compareVersion(const QString& a, const QString& b) {
    const QList<qint64> left = versionPieces(a);
    const QList<qint64> right = versionPieces(b);
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const qint64 x = left.value(i, 0);
        const qint64 y = right.value(i, 0);
        if (x != y) return x > y ? 1 : -1;
    }
    return 0;
}

void UpdateChecker::setIsCheckingForUpdates(bool value) {
    if (m_isCheckingForUpdates == value) return;
    m_isCheckingForUpdates = value;
    Q_EMIT isCheckingForUpdatesChanged();
}
