#pragma once

#include "platform/VelmoraError.h"

// The typed error of volume sets. The scan throws only `directorySelected` and `notSplitArchive`; the
// validator writes the other cases' messages into a descriptor's validation message.
class SplitArchiveError : public VelmoraError {
public:
    enum class Kind {
        unsupportedFormat,  // payload: the complete message
        missingPrimary,     // payload: the main volume's file name
        missingPart,        // payload: the missing volume's file name
        duplicatePart,      // payload: the duplicated volume's file name
        namingMismatch,     // payload: the complete message
        unreadablePart,     // payload: the unreadable file's name
        outputNotWritable,  // payload: the destination's path
        directorySelected,
        notSplitArchive,
        insufficientDiskSpace,
        notFileOrFolder,  // payload: the complete message (InputItem)
    };

    SplitArchiveError(Kind kind, QString payload = {}) : m_kind(kind), m_payload(std::move(payload)) {}

    Kind kind() const { return m_kind; }
    const QString& payload() const { return m_payload; }
    QString message() const override;

    bool operator==(const SplitArchiveError& other) const {
        return m_kind == other.m_kind && m_payload == other.m_payload;
    }

private:
    Kind m_kind;
    QString m_payload;
};
