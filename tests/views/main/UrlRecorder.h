#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

// Stands in for the desktop while it lives: every URL of the scheme that a page asks to open is
// recorded instead of opened.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    explicit UrlRecorder(const QString& scheme) : m_scheme(scheme) {
        QDesktopServices::setUrlHandler(m_scheme, this, "open");
    }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(m_scheme); }

    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }

private:
    QString m_scheme;
};
