#include "core/split/SplitArchiveValidationState.h"

using State = SplitArchiveValidationState;

namespace SplitArchiveValidationStates {

const std::vector<State>& allCases() {
    static const std::vector<State> states{State::scanning,          State::complete,
                                           State::missingParts,      State::duplicateParts,
                                           State::namingMismatch,    State::missingPrimary,
                                           State::unsupported,       State::unreadableParts,
                                           State::outputNotWritable, State::insufficientDiskSpace};
    return states;
}

QString title(State state) {
    switch (state) {
        case State::scanning:
            return QStringLiteral(u"扫描中");
        case State::complete:
            return QStringLiteral(u"完整");
        case State::missingParts:
            return QStringLiteral(u"缺少分卷");
        case State::duplicateParts:
            return QStringLiteral(u"存在重复分卷");
        case State::namingMismatch:
            return QStringLiteral(u"文件名异常");
        case State::missingPrimary:
            return QStringLiteral(u"主卷缺失");
        case State::unsupported:
            return QStringLiteral(u"不支持");
        case State::unreadableParts:
            return QStringLiteral(u"文件不可读取");
        case State::outputNotWritable:
            return QStringLiteral(u"目标不可写");
        case State::insufficientDiskSpace:
            return QStringLiteral(u"空间不足");
    }
    return {};
}

}  // namespace SplitArchiveValidationStates
