#include "BenchSupport.h"

#include "core/base/JsonFields.h"
#include "core/engine/ArchivePrograms.h"
#include "core/state/ArchiveTask.h"
#include "platform/DefaultsStore.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace BenchSupport {

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString requiredSevenZip() {
    const std::optional<QString> sevenZip = ArchivePrograms::installed().sevenZip();
    if (!sevenZip) {
        std::fprintf(stderr, "no 7-Zip program found\n");
        std::exit(1);
    }
    return *sevenZip;
}

void useToolEnvironment() {
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::setenv("TZ", ":/etc/localtime", 0);
}

double timeDirectRun(const QString& program, const QStringList& arguments, const QString& workingFolder) {
    std::vector<QByteArray> strings{QFile::encodeName(program)};
    for (const QString& argument : arguments) strings.push_back(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& string : strings) argv.push_back(string.data());
    argv.push_back(nullptr);
    const QByteArray folder = QFile::encodeName(workingFolder);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (!workingFolder.isEmpty()) posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
    const auto start = Clock::now();
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, argv.front(), &actions, nullptr, argv.data(), environ) == 0)
        waitpid(pid, &status, 0);
    const double elapsed = millisecondsSince(start);
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0) {
        std::fprintf(stderr, "%s %s failed (wait status %d)\n", argv.front(),
                     qPrintable(arguments.join(QLatin1Char(' '))), status);
        std::exit(1);
    }
    return elapsed;
}

namespace {

void append16(QByteArray& bytes, quint16 value) {
    char raw[2];
    qToLittleEndian(value, raw);
    bytes.append(raw, 2);
}

void append32(QByteArray& bytes, quint32 value) {
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

void append64(QByteArray& bytes, quint64 value) {
    char raw[8];
    qToLittleEndian(value, raw);
    bytes.append(raw, 8);
}

// The ZIP64 end record and its locator, then the classic end record with the count marker 0xFFFF.
QByteArray endRecords(quint64 entries, quint64 directoryOffset, quint64 directorySize) {
    QByteArray end;
    append32(end, 0x06064b50);
    append64(end, 44);
    append16(end, 45);
    append16(end, 45);
    append32(end, 0);
    append32(end, 0);
    append64(end, entries);
    append64(end, entries);
    append64(end, directorySize);
    append64(end, directoryOffset);

    append32(end, 0x07064b50);
    append32(end, 0);
    append64(end, directoryOffset + directorySize);
    append32(end, 1);

    append32(end, 0x06054b50);
    for (quint16 value : {quint16(0), quint16(0), quint16(0xFFFF), quint16(0xFFFF)}) append16(end, value);
    append32(end, quint32(directorySize));
    append32(end, quint32(directoryOffset));
    append16(end, 0);
    return end;
}

}  // namespace

StoredZip writeStoredZip(const QString& path, const QList<QByteArray>& names) {
    const quint16 time = (10 << 11) | (30 << 5);
    const quint16 date = (44 << 9) | (6 << 5) | 15;
    const QByteArray data("velmora\n");
    const quint32 crc = 0x6004B072;  // CRC-32 of data
    QByteArray local;
    QByteArray directory;
    for (const QByteArray& name : names) {
        const quint32 offset = quint32(local.size());
        append32(local, 0x04034b50);
        for (quint16 value : {quint16(20), quint16(0x0800), quint16(0), time, date}) append16(local, value);
        for (quint32 value : {crc, quint32(data.size()), quint32(data.size())}) append32(local, value);
        append16(local, quint16(name.size()));
        append16(local, 0);
        local += name + data;

        append32(directory, 0x02014b50);
        for (quint16 value : {quint16(0x031E), quint16(20), quint16(0x0800), quint16(0), time, date}) {
            append16(directory, value);
        }
        for (quint32 value : {crc, quint32(data.size()), quint32(data.size())}) append32(directory, value);
        for (quint16 value : {quint16(name.size()), quint16(0), quint16(0), quint16(0), quint16(0)}) {
            append16(directory, value);
        }
        append32(directory, 0100644u << 16);
        append32(directory, offset);
        directory += name;
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(local + directory +
               endRecords(quint64(names.size()), quint64(local.size()), quint64(directory.size())));
    return {path, directory};
}

namespace {

// One ustar header block of an empty file: name, mode, owner, size, time, checksum, type, magic.
QByteArray tarHeader(const QByteArray& name) {
    QByteArray header(512, '\0');
    header.replace(0, name.size(), name);
    header.replace(100, 7, "0000644");
    header.replace(108, 7, "0001750");
    header.replace(116, 7, "0001750");
    header.replace(124, 11, "00000000000");
    header.replace(136, 11, "14700000000");
    header[156] = '0';
    header.replace(257, 6, QByteArray("ustar", 6));  // with its NUL
    header.replace(263, 2, "00");
    header.replace(148, 8, "        ");
    unsigned sum = 0;
    for (const char byte : header) sum += static_cast<unsigned char>(byte);
    header.replace(148, 8, QByteArray::number(sum, 8).rightJustified(6, '0') + QByteArray("\0 ", 2));
    return header;
}

}  // namespace

void writeTar(const QString& path, const QList<QByteArray>& names) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (const QByteArray& name : names) file.write(tarHeader(name));
    file.write(QByteArray(1024, '\0'));
}

ArchiveTask extractionTask(const QString& name, ArchiveActivityStatus status, double progress) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    return {.id = QUuid::createUuid(),
            .name = name,
            .path = QStringLiteral("/home/user/文档/") + name,
            .kind = ArchiveActivityKind::extract,
            .status = status,
            .progress = progress,
            .sizeDescription = QStringLiteral("12.5 MB"),
            .targetPath = QStringLiteral("/home/user/下载"),
            .createdAt = now,
            .updatedAt = now,
            .message = QStringLiteral(u"解压完成"),
            .metadata = std::nullopt};
}

void storeFinishedTasks(const QString& defaultsFolder, int count) {
    QList<ArchiveTask> tasks;
    tasks.reserve(count);
    for (int i = 0; i < count; ++i) {
        const bool failed = i % 10 == 3;
        tasks << extractionTask(QStringLiteral("archive %1.zip").arg(i),
                                failed ? ArchiveActivityStatus::failed : ArchiveActivityStatus::completed,
                                failed ? 0.0 : 1.0);
    }
    if (!DefaultsStore(defaultsFolder)
             .setData(
                 QStringLiteral("workbenchTasks"),
                 JsonFields::encodeArray(
                     tasks, [](const ArchiveTask& task) { return task.toJson(); }, QJsonDocument::Compact))) {
        std::fprintf(stderr, "cannot store the tasks in %s\n", qPrintable(defaultsFolder));
        std::exit(1);
    }
}

}  // namespace BenchSupport
