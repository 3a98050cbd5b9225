#include "support/LocalHttpServer.h"

LocalHttpServer::LocalHttpServer() {
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::accept);
}

QByteArray LocalHttpServer::response(int status, const QByteArray& reason, const QByteArray& body) {
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason +
           "\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QString LocalHttpServer::address(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void LocalHttpServer::accept() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            if (!buffer->contains("\r\n\r\n")) return;
            buffer->clear();
            answer(socket);
        });
    }
}

void LocalHttpServer::answer(QTcpSocket* socket) {
    ++m_requestCount;
    // The socket belongs to the server and stays open until the server goes.
    if (m_response.isEmpty()) return;
    socket->write(m_response);
    socket->disconnectFromHost();
}
