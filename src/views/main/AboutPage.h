#pragma once

#include "viewmodels/UpdateChecker.h"

#include <QWidget>

class QPushButton;
class WorkbenchStore;

// The about page: the application's icon, name, version and tagline, the update check (its outcome
// arrives as a notification), the vendor's web site and its terms and privacy pages. The check keeps
// running when the user leaves the page.
class AboutPage : public QWidget {
    Q_OBJECT

public:
    // The checker's feed and running release, and the vendor's site, default to this build's.
    explicit AboutPage(WorkbenchStore& store,
                       UpdateChecker::Configuration update = UpdateChecker::releaseConfiguration(),
                       QString website = defaultWebsite(), QWidget* parent = nullptr);

    static QString defaultWebsite();

    UpdateChecker& updateChecker() { return m_checker; }
    QPushButton* checkButton() const { return m_check; }
    QPushButton* websiteButton() const { return m_website; }
    QPushButton* termsLink() const { return m_terms; }
    QPushButton* privacyLink() const { return m_privacy; }

private:
    QWidget* buildCard(const QString& version);
    void syncChecking();
    // Opens the site's page at `path` ("" for the root) in the default browser; an address that is
    // no URL opens nothing.
    void openSite(const QString& path) const;

    UpdateChecker m_checker;
    QString m_websiteAddress;
    QPushButton* m_check = nullptr;
    QPushButton* m_website = nullptr;
    QPushButton* m_terms = nullptr;
    QPushButton* m_privacy = nullptr;
};
