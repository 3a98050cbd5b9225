#include "viewmodels/OperationFailure.h"

#include "core/base/FileNameHelper.h"
#include "core/engine/ArchiveError.h"
#include "platform/VelmoraError.h"

#include <QStringList>

namespace OperationFailure {

QString text(const QString& fixed, const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const VelmoraError& failure) {
        // A message may name a path that is not UTF-8.
        const QString message = FileNameHelper::shownText(failure.message());
        return message.isEmpty() ? fixed : message;
    } catch (...) {
        return fixed;
    }
}

QString text(ArchiveActivityKind operation, const std::exception_ptr& error) {
    return text(ArchiveActivityKinds::title(operation) + QStringLiteral(u"失败"), error);
}

bool isWrongPassword(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const ArchiveError& failure) {
        return failure.kind() == ArchiveError::Kind::wrongPassword;
    } catch (...) {
        return false;
    }
}

QString archiveText(ArchiveActivityKind operation, const ArchiveFailure& failure) {
    return FileNameHelper::shownName(failure.archive) + QStringLiteral(u"：") +
           text(operation, failure.error);
}

namespace {

// "a.zip：…；b.zip：…。": the reasons joined into one sentence, which ends once.
QString namedReasons(ArchiveActivityKind operation, const QList<ArchiveFailure>& failures) {
    QStringList reasons;
    for (const ArchiveFailure& failure : failures) {
        QString reason = archiveText(operation, failure);
        if (reason.endsWith(QStringLiteral(u"。"))) reason.chop(1);
        reasons << reason;
    }
    return reasons.join(QStringLiteral(u"；")) + QStringLiteral(u"。");
}

}  // namespace

QString batchText(ArchiveActivityKind operation, qsizetype extractedCount, const QString& notes,
                  const QList<ArchiveFailure>& failures) {
    const QString failed = namedReasons(operation, failures);
    const QString title = ArchiveActivityKinds::title(operation);
    if (extractedCount == 0) {
        return QStringLiteral(u"%1 个压缩包%2失败：").arg(QString::number(failures.size()), title) + failed +
               notes;
    }
    return QStringLiteral(u"已%1 %2 个压缩包").arg(title, QString::number(extractedCount)) + notes +
           QStringLiteral(u"，%1 个失败：").arg(failures.size()) + failed;
}

QString refusedText(ArchiveActivityKind operation, const QList<ArchiveFailure>& refused) {
    if (refused.isEmpty()) return {};
    return QStringLiteral(u"%1 个项目无法%2：")
               .arg(QString::number(refused.size()), ArchiveActivityKinds::title(operation)) +
           namedReasons(operation, refused);
}

QString unsavedNotice(const QString& what, const std::optional<QString>& failure) {
    if (!failure) return {};
    return QStringLiteral(u"；") + what + QStringLiteral(u"未能保存：") + *failure;
}

QString withNotices(const QString& text, const QString& notices) {
    if (notices.isEmpty()) return text;
    return (text.endsWith(u'。') ? text.chopped(1) : text) + notices;
}

QString saveFailed(const QString& reason) { return QStringLiteral(u"保存失败：") + reason; }

}  // namespace OperationFailure
