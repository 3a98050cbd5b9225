#include "core/state/WorkbenchSection.h"

namespace WorkbenchSections {

const std::vector<WorkbenchSection>& allCases() {
    static const std::vector<WorkbenchSection> sections{
        WorkbenchSection::home,          WorkbenchSection::compress,     WorkbenchSection::extract,
        WorkbenchSection::splitCompress, WorkbenchSection::splitExtract, WorkbenchSection::passwordBook,
        WorkbenchSection::tasks,         WorkbenchSection::history,      WorkbenchSection::settings,
        WorkbenchSection::about};
    return sections;
}

QString title(WorkbenchSection section) {
    switch (section) {
        case WorkbenchSection::home:
            return QStringLiteral(u"主页");
        case WorkbenchSection::compress:
            return QStringLiteral(u"压缩");
        case WorkbenchSection::extract:
            return QStringLiteral(u"解压");
        case WorkbenchSection::splitCompress:
            return QStringLiteral(u"分卷压缩");
        case WorkbenchSection::splitExtract:
            return QStringLiteral(u"分卷解压");
        case WorkbenchSection::passwordBook:
            return QStringLiteral(u"密码本");
        case WorkbenchSection::tasks:
            return QStringLiteral(u"任务管理");
        case WorkbenchSection::history:
            return QStringLiteral(u"历史记录");
        case WorkbenchSection::settings:
            return QStringLiteral(u"设置");
        case WorkbenchSection::about:
            return QStringLiteral(u"关于");
    }
    return {};
}

QString iconName(WorkbenchSection section) {
    switch (section) {
        case WorkbenchSection::home:
            return QStringLiteral("house");
        case WorkbenchSection::compress:
            return QStringLiteral("archive-box");
        case WorkbenchSection::extract:
            return QStringLiteral("folder");
        case WorkbenchSection::splitCompress:
            return QStringLiteral("layers-up");
        case WorkbenchSection::splitExtract:
            return QStringLiteral("layers-down-right");
        case WorkbenchSection::passwordBook:
            return QStringLiteral("lock-box");
        case WorkbenchSection::tasks:
            return QStringLiteral("list-bulleted");
        case WorkbenchSection::history:
            return QStringLiteral("clock-history");
        case WorkbenchSection::settings:
            return QStringLiteral("gear");
        case WorkbenchSection::about:
            return QStringLiteral("info-circle");
    }
    return {};
}

}  // namespace WorkbenchSections
