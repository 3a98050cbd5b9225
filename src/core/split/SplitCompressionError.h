#pragma once

#include "platform/VelmoraError.h"

// Why a split compression cannot start or go on. The file name some kinds carry is for the raiser;
// the message does not show it.
class SplitCompressionError : public VelmoraError {
public:
    enum class Kind {
        sourceUnavailable,
        sourceUnreadable,
        existingOutput,
        noInput,
        invalidVolumeSize,
        unsupportedFormat,
        passwordMismatch,
        outputNotWritable,
        insufficientDiskSpace,
        invalidBaseName,
    };

    SplitCompressionError(Kind kind, QString fileName = {}) : m_kind(kind), m_fileName(std::move(fileName)) {}

    static SplitCompressionError sourceUnavailable(const QString& name) {
        return {Kind::sourceUnavailable, name};
    }
    static SplitCompressionError sourceUnreadable(const QString& name) {
        return {Kind::sourceUnreadable, name};
    }
    static SplitCompressionError existingOutput(const QString& name) { return {Kind::existingOutput, name}; }
    static SplitCompressionError noInput() { return {Kind::noInput}; }
    static SplitCompressionError invalidVolumeSize() { return {Kind::invalidVolumeSize}; }
    static SplitCompressionError unsupportedFormat() { return {Kind::unsupportedFormat}; }
    static SplitCompressionError passwordMismatch() { return {Kind::passwordMismatch}; }
    static SplitCompressionError outputNotWritable() { return {Kind::outputNotWritable}; }
    static SplitCompressionError insufficientDiskSpace() { return {Kind::insufficientDiskSpace}; }
    static SplitCompressionError invalidBaseName() { return {Kind::invalidBaseName}; }

    Kind kind() const { return m_kind; }
    const QString& fileName() const { return m_fileName; }
    QString message() const override;

    bool operator==(const SplitCompressionError& other) const {
        return m_kind == other.m_kind && m_fileName == other.m_fileName;
    }

private:
    Kind m_kind;
    QString m_fileName;
};
