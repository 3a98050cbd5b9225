#include "viewmodels/OperationFailure.h"

#include "platform/VelmoraError.h"

namespace OperationFailure {

QString text(const QString& fixed, const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const VelmoraError& failure) {
        const QString message = failure.message();
        return message.isEmpty() ? fixed : message;
    } catch (...) {
        return fixed;
    }
}

QString text(ArchiveActivityKind operation, const std::exception_ptr& error) {
    return text(ArchiveActivityKinds::title(operation) + QStringLiteral(u"失败"), error);
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
