#pragma once

#include "platform/SystemErrorText.h"
#include "platform/VelmoraError.h"

#include <optional>

// The typed failure of an archive operation. Callers decide how to present it by its kind (a wrong
// password is a password problem), so the kind is part of the interface, not only the message.
class ArchiveError : public VelmoraError {
public:
    enum class Kind {
        unsupportedFormat,  // payload: file extension without dot
        destinationExists,  // payload: path
        fileNotFound,       // payload: path
        dependencyMissing,  // payload: complete sentence
        commandFailed,      // payload: complete sentence
        extractFailed,      // payload: tool output or fallback sentence
        compressFailed,     // payload: tool output or fallback sentence
        corruptedArchive,   // payload: the sentence naming the damaged entry, or empty
        wrongPassword,
        permissionDenied,  // payload: the refused item's sentence, or empty when the tool named none
        noInputFiles,
        diskFull,                // payload: the sentence naming where (unwritable), or empty
        destinationNotWritable,  // payload: the folder, or empty when the tool did not say
        missingVolume,           // payload: the missing volume's file name
        notFileOrFolder,         // payload: complete sentence naming the item (InputItem)
        noFiles,                 // the archive holds no file to extract
        readOnlyFileSystem,      // payload: the sentence naming where (unwritable), or empty
    };

    ArchiveError(Kind kind, QString payload = {}) : m_kind(kind), m_payload(std::move(payload)) {}

    static ArchiveError unsupportedFormat(const QString& extension) {
        return {Kind::unsupportedFormat, extension};
    }
    static ArchiveError destinationExists(const QString& path) { return {Kind::destinationExists, path}; }
    static ArchiveError fileNotFound(const QString& path) { return {Kind::fileNotFound, path}; }
    static ArchiveError dependencyMissing(const QString& sentence) {
        return {Kind::dependencyMissing, sentence};
    }
    // What is missing and the one advice for it: "7Z 解压工具不可用，请重新安装 velmora。".
    static QString withReinstallAdvice(const QString& missing);
    static ArchiveError commandFailed(const QString& sentence) { return {Kind::commandFailed, sentence}; }
    static ArchiveError extractFailed(const QString& detail) { return {Kind::extractFailed, detail}; }
    static ArchiveError compressFailed(const QString& detail) { return {Kind::compressFailed, detail}; }
    static ArchiveError corruptedArchive() { return {Kind::corruptedArchive}; }
    // Damage found in one entry, which no program reads: "压缩包已损坏：硬链接“a”没有目标。".
    static ArchiveError corruptedEntry(const QString& sentence) { return {Kind::corruptedArchive, sentence}; }
    static ArchiveError wrongPassword() { return {Kind::wrongPassword}; }
    static ArchiveError permissionDenied() { return {Kind::permissionDenied}; }
    // The item and the permission it lacked: "无法读取“a/secret.txt”（没有读取权限）".
    static ArchiveError permissionDenied(const QString& item, SystemErrorText::Access access);
    static ArchiveError noInputFiles() { return {Kind::noInputFiles}; }
    static ArchiveError diskFull() { return {Kind::diskFull}; }
    static ArchiveError readOnlyFileSystem() { return {Kind::readOnlyFileSystem}; }
    // What kept an item (a folder to write into, an archive to change) from being written, named with the
    // file system's reason: "无法写入“/mnt/usb”（文件系统为只读）", "…（磁盘空间不足）", "…（没有写入权限）"
    // (permissionDenied). Other reasons are none of these kinds: nothing.
    static std::optional<ArchiveError> unwritable(const QString& item, int errorNumber);
    static ArchiveError destinationNotWritable(const QString& folder = {}) {
        return {Kind::destinationNotWritable, folder};
    }
    static ArchiveError missingVolume(const QString& fileName) { return {Kind::missingVolume, fileName}; }
    static ArchiveError noFiles() { return {Kind::noFiles}; }
    // A pipe, socket or device given as an item, or found inside a folder where it cannot be left out.
    static ArchiveError notFileOrFolder(const QString& path);

    Kind kind() const { return m_kind; }
    const QString& payload() const { return m_payload; }
    QString message() const override;

    bool operator==(const ArchiveError& other) const {
        return m_kind == other.m_kind && m_payload == other.m_payload;
    }

private:
    Kind m_kind;
    QString m_payload;
};
