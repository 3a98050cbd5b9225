#pragma once

#include "core/engine/OperationOutputs.h"
#include "core/state/ArchiveActivityKind.h"

#include <QString>
#include <exception>
#include <optional>

// The one wording of a failed operation, shown alike on the main window's status line, in its task
// records (and so in the history), in the progress window of outside requests and in the archive
// browser. The engine's message() is the reason; this only frames it, so a change of wording is made
// here and in the error's message(), nowhere else.
namespace OperationFailure {

// The error's own message() when it is one of ours and has one, else `fixed`, the operation's own
// text ("预览失败"): another library's what() is no text for the user, whatever it says. A
// cancellation is no failure and is never given here.
QString text(const QString& fixed, const std::exception_ptr& error);
// As above, with the operation's title and "失败" ("压缩失败") as the fixed text.
QString text(ArchiveActivityKind operation, const std::exception_ptr& error);

// Whether the error is a wrong or missing password, the one failure that asks for a password. Only its
// kind decides: a message holds names ("passwords.rar") that may say anything.
bool isWrongPassword(const std::exception_ptr& error);

// One archive's failure in a run of several, named: "损坏.zip：压缩包可能已损坏，无法读取。".
QString archiveText(ArchiveActivityKind operation, const ArchiveFailure& failure);

// The outcome of an extraction of several archives of which some failed, each named with its reason:
// "已解压 1 个压缩包，1 个失败：损坏.zip：压缩包可能已损坏，无法读取。", the notes of the extracted ones
// (renamed items, sources that stayed) after their count; "2 个压缩包解压失败：…" when none extracted.
QString batchText(ArchiveActivityKind operation, qsizetype extractedCount, const QString& notes,
                  const QList<ArchiveFailure>& failures);

// Items refused before an operation began, each named with its reason as batchText names failures:
// "2 个项目无法解压：a.zip：文件不存在：…；b.zip：…。"; empty when there are none.
QString refusedText(ArchiveActivityKind operation, const QList<ArchiveFailure>& refused);

// Added to a finished operation's status text when something it keeps could not be saved: empty when
// `failure` is none, else "；<what>未能保存：<reason>".
QString unsavedNotice(const QString& what, const std::optional<QString>& failure);

// A finished operation's text with the notices that follow it ("；…", "，…"), read as one sentence:
// a full stop that ended the text goes, so no "。；".
QString withNotices(const QString& text, const QString& notices);

// "保存失败：<reason>": the alert for a value or list that could not be written.
QString saveFailed(const QString& reason);

}  // namespace OperationFailure
