#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>

// A one-response HTTP server on 127.0.0.1 for the update check: every request gets the prepared
// answer, or, when the answer is left empty, no answer at all (the connection stays open).
class LocalHttpServer : public QObject {
    Q_OBJECT

public:
    LocalHttpServer();

    static QByteArray response(int status, const QByteArray& reason, const QByteArray& body);

    void setResponse(QByteArray response) { m_response = std::move(response); }
    quint16 port() const { return m_server.serverPort(); }
    QString address(const QString& path = QStringLiteral("/appcast.json")) const;
    int requestCount() const { return m_requestCount; }

private:
    void accept();
    void answer(QTcpSocket* socket);

    QTcpServer m_server;
    QByteArray m_response;
    int m_requestCount = 0;
};
