#pragma once

#include "viewmodels/AppcastInfo.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <chrono>

class QNetworkReply;
class WorkbenchStore;

// The about page's update check: fetches the vendor's feed, compares the release it announces with
// the running one and reports the outcome as one workbench notification. It shows nothing itself and
// downloads nothing else. GUI thread only.
class UpdateChecker : public QObject {
    Q_OBJECT

public:
    struct Configuration {
        QString feedAddress;
        QString currentVersion;
        QString currentBuild;
        // Qt waits for ever on a server that accepts and never answers; this ends such a check.
        std::chrono::milliseconds transferTimeout{15000};
    };

    // The feed address, version and build this copy of velmora was configured with.
    static Configuration releaseConfiguration();

    UpdateChecker(WorkbenchStore& store, Configuration configuration, QObject* parent = nullptr);

    // True from the start of a check until its notification is about to be added.
    bool isCheckingForUpdates() const { return m_isCheckingForUpdates; }

    // Does nothing while a check runs.
    void checkForUpdates();

    void notifyUpdateStatus(const AppcastInfo& appcast, const QString& currentVersion,
                            const QString& currentBuild);

    static bool isRemoteVersionNewer(const QString& remoteVersion, const QString& remoteBuild,
                                     const QString& currentVersion, const QString& currentBuild);
    // -1, 0 or 1. Dotted numbers compared piece by piece, a missing piece or one that is not a plain
    // decimal number counting as 0.
    static int compareVersion(const QString& a, const QString& b);

Q_SIGNALS:
    void isCheckingForUpdatesChanged();

private:
    void setIsCheckingForUpdates(bool value);
    void finish(QNetworkReply* reply, const QString& currentVersion, const QString& currentBuild);
    void notifyFailure();

    WorkbenchStore& m_store;
    Configuration m_configuration;
    QNetworkAccessManager m_network;
    bool m_isCheckingForUpdates = false;
};
