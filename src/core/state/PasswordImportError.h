#pragma once

#include "platform/VelmoraError.h"

// A file chosen for a password import that holds no passwords velmora can read; nothing was imported.
class PasswordImportError : public VelmoraError {
public:
    explicit PasswordImportError(QString problem) : m_problem(std::move(problem)) {}

    QString message() const override {
        return m_problem +
               QStringLiteral(
                   u"可以导入 velmora 导出的 JSON 文件，或每行一条“名称,密码”或“密码”的 UTF-8 文本文件。");
    }

private:
    QString m_problem;
};
