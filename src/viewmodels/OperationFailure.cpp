#include "viewmodels/OperationFailure.h"

#include "platform/VelmoraError.h"

namespace OperationFailure {

QString text(ArchiveActivityKind operation, const std::exception_ptr& error) {
    const QString fixed = ArchiveActivityKinds::title(operation) + QStringLiteral(u"失败");
    try {
        std::rethrow_exception(error);
    } catch (const VelmoraError& failure) {
        const QString message = failure.message();
        return message.isEmpty() ? fixed : message;
    } catch (...) {
        // Not one of ours: its what() is no text for the user.
        return fixed;
    }
}

QString unsavedNotice(const QString& what, const std::optional<QString>& failure) {
    if (!failure) return {};
    return QStringLiteral(u"；") + what + QStringLiteral(u"未能保存：") + *failure;
}

QString saveFailed(const QString& reason) { return QStringLiteral(u"保存失败：") + reason; }

}  // namespace OperationFailure
