#include "platform/WorkJournal.h"

#include "platform/PrivateFile.h"
#include "platform/PrivateTempDirectory.h"
#include "platform/ToolText.h"
#include "platform/WorkTree.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kRecordSuffix = QStringLiteral(".record");

QByteArray nativePath(const QString& path) { return ToolText::encodedName(path); }

// 0, or the error number of the write that failed.
int writeAt(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::pwrite(fd, bytes.constData() + done, bytes.size() - done, done);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return errno;
        if (written == 0) return EIO;
        done += written;
    }
    return 0;
}

// Writes bytes over the record from its start and cuts off the rest. Bytes already on disk are rewritten
// in place, which takes no room, so a write that fails (a full disk) puts back what was there: the record
// never loses a line it held. 0, or the error number.
int writeOver(int fd, const QByteArray& bytes, const QByteArray& before) {
    int error = writeAt(fd, bytes);
    if (error == 0 && ::ftruncate(fd, bytes.size()) != 0) error = errno;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (error != 0 && writeAt(fd, before) == 0) ::ftruncate(fd, before.size());
    return error;
}

QByteArray readWhole(int fd) {
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return bytes;
        bytes.append(buffer, count);
    }
}

// The recorded path with "." and ".." taken by name (never through a link) when its own last part is
// the name of a hidden work folder, so that it names that folder in the folder it claims and never the
// folder's parent.
std::optional<QString> hiddenWorkFolder(const QString& recorded) {
    static const QRegularExpression name(QStringLiteral(
        "^\\.velmora(?:Extraction|Compression|Edit)-[0-9a-fA-F]{8}(?:-[0-9a-fA-F]{4}){3}-[0-9a-fA-F]{12}$"));
    const QString path = QDir::cleanPath(recorded);
    if (QFileInfo(recorded).fileName() != QFileInfo(path).fileName()) return std::nullopt;
    if (!name.match(QFileInfo(path).fileName()).hasMatch()) return std::nullopt;
    return path;
}

// The same for a folder of the private temporary base: "velmoraPreviews/<name>",
// "velmoraCompoundTar-<UUID>", ….
std::optional<QString> privateWorkFolder(const QString& recorded) {
    static const QRegularExpression relative(
        QStringLiteral("^velmora[A-Za-z]+(?:-[0-9a-fA-F-]{36}|/[^/]+)$"));
    const QString path = QDir::cleanPath(recorded);
    const std::optional<QString> base = PrivateTempDirectory::base();
    if (!base || QFileInfo(recorded).fileName() != QFileInfo(path).fileName() ||
        !path.startsWith(*base + QLatin1Char('/')) || !relative.match(path.mid(base->size() + 1)).hasMatch())
        return std::nullopt;
    return path;
}

// A tree is removed only where velmora alone puts things.
std::optional<QString> ownTree(const QString& recorded) {
    std::optional<QString> path = hiddenWorkFolder(recorded);
    if (!path) path = privateWorkFolder(recorded);
    return path;
}

bool removeTree(const QString& recorded) {
    const std::optional<QString> path = ownTree(recorded);
    struct stat info {};
    return path && ::lstat(nativePath(*path).constData(), &info) == 0 &&
           WorkTree::remove(nativePath(*path)) == 0;
}

struct RecordedPath {
    QString path;
    WorkJournal::Kind kind;
    QByteArray identity;  // a NameHolder's "<device> <inode>", a TrashInfo's contents
};

QByteArray identityOf(quint64 device, quint64 inode) {
    return QByteArray::number(device) + ' ' + QByteArray::number(inode);
}

// A trash record is velmora's own while it holds what velmora wrote or the start of it, and an orphan
// while no item of its name is in the trash's files/.
bool removeTrashInfo(const QByteArray& info, const QByteArray& contents) {
    static const QByteArray suffix = ".trashinfo";
    const QByteArray folder = info.left(std::max<qsizetype>(info.lastIndexOf('/'), 0));
    const QByteArray name = info.mid(folder.size() + 1);
    if (!folder.endsWith("/info") || !name.endsWith(suffix) || name.size() == suffix.size()) return false;
    const QByteArray item = folder.chopped(4) + "files/" + name.chopped(suffix.size());
    struct stat itemStatus {};
    if (::lstat(item.constData(), &itemStatus) == 0 || errno != ENOENT) return false;
    const int fd = ::open(info.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat status {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                         status.st_uid == ::getuid() && status.st_size <= contents.size();
    const bool ours = regular && contents.startsWith(readWhole(fd));
    ::close(fd);
    return ours && ::unlink(info.constData()) == 0;
}

bool removePath(const RecordedPath& recorded) {
    if (recorded.kind == WorkJournal::Kind::Tree) return removeTree(recorded.path);
    if (recorded.kind == WorkJournal::Kind::TrashInfo)
        return removeTrashInfo(nativePath(recorded.path), recorded.identity);
    const QByteArray native = nativePath(recorded.path);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0 || identityOf(info.st_dev, info.st_ino) != recorded.identity)
        return false;
    if (S_ISDIR(info.st_mode)) return ::rmdir(native.constData()) == 0;
    return S_ISREG(info.st_mode) && info.st_size == 0 && ::unlink(native.constData()) == 0;
}

// Lines are "T <percent-encoded path>\n", "<P|N> <device> <inode> <percent-encoded path>\n" for a
// Placeholder and a NameHolder, and "I <percent-encoded contents> <percent-encoded path>\n" for a
// TrashInfo; a line cut short by a crash has no line break and is left alone, as is a placeholder's line
// without its device and inode.
QList<RecordedPath> recordedPaths(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    lines.removeLast();
    QList<RecordedPath> paths;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        RecordedPath recorded;
        if (fields.size() == 2 && fields[0] == "T") {
            recorded.kind = WorkJournal::Kind::Tree;
        } else if (fields.size() == 4 && (fields[0] == "P" || fields[0] == "N")) {
            recorded.kind = fields[0] == "P" ? WorkJournal::Kind::Placeholder : WorkJournal::Kind::NameHolder;
            recorded.identity = fields[1] + ' ' + fields[2];
        } else if (fields.size() == 3 && fields[0] == "I") {
            recorded.kind = WorkJournal::Kind::TrashInfo;
            recorded.identity = QByteArray::fromPercentEncoding(fields[1]);
        } else {
            continue;
        }
        recorded.path = ToolText::escapedName(QByteArray::fromPercentEncoding(fields.last()));
        if (QDir::isAbsolutePath(recorded.path)) paths.append(recorded);
    }
    return paths;
}

// Trees, then the names held, then placeholders, and newest first: a reserved folder (recorded by one
// part of a run) is empty only once the private folders and names made inside it (recorded by
// another) are gone.
int removePaths(const QList<RecordedPath>& paths) {
    using enum WorkJournal::Kind;
    int removed = 0;
    for (const WorkJournal::Kind kind : {Tree, NameHolder, Placeholder, TrashInfo}) {
        for (auto it = paths.crbegin(); it != paths.crend(); ++it) {
            if (it->kind == kind && removePath(*it)) ++removed;
        }
    }
    return removed;
}

// Whether a tree of velmora's own that the record names is still there: the record then stays for the
// next start, since nothing else names the tree.
bool namesTreeLeft(const QList<RecordedPath>& paths) {
    for (const RecordedPath& recorded : paths) {
        struct stat info {};
        const std::optional<QString> path =
            recorded.kind == WorkJournal::Kind::Tree ? ownTree(recorded.path) : std::nullopt;
        if (path && (::lstat(nativePath(*path).constData(), &info) == 0 || errno != ENOENT)) return true;
    }
    return false;
}

// What an item was as it moved out: all of it must still hold for the sweep to take it back, since the
// user may have renamed, replaced or deleted it since, and a new file may have the freed inode.
struct MovedIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modified = 0;  // nanoseconds

    static MovedIdentity of(const struct stat& info) {
        return {info.st_dev, info.st_ino, info.st_size,
                qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
    }
    bool operator==(const MovedIdentity&) const = default;
};

// What the sweep mends before it removes anything, from the lines "M <device> <inode> <size> <modified>
// <item>" (an item about to move out of its tree), "W <item> <where>" (one that went in under another
// name than its own), "F <tree>" (those moves are done) and "E <work folder> <archive>", their paths
// percent-encoded native bytes.
struct Repairs {
    struct Move {
        QByteArray item;
        MovedIdentity identity;
        QByteArray movedTo;
    };
    struct Edit {
        QByteArray workFolder;
        QByteArray archive;
    };
    QList<Move> moves;
    QList<Edit> edits;
};

std::optional<QByteArray> decodedPath(const QByteArray& field) {
    QByteArray path = QByteArray::fromPercentEncoding(field);
    if (!path.startsWith('/')) return std::nullopt;
    return path;
}

QByteArray parentOf(const QByteArray& path) {
    return path.left(std::max<qsizetype>(path.lastIndexOf('/'), 1));
}

QByteArray nameOf(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

// The item a move's line ("M", 6 fields) or its name's ("W", 3 fields) is about.
std::optional<QByteArray> movedItem(const QList<QByteArray>& fields) {
    if (fields[0] == "M" && fields.size() == 6) return decodedPath(fields[5]);
    if (fields[0] == "W" && fields.size() == 3) return decodedPath(fields[1]);
    return std::nullopt;
}

bool isMoveOutOf(const QByteArray& line, const QByteArray& folder) {
    const std::optional<QByteArray> item = movedItem(line.split(' '));
    return item && parentOf(*item) == folder;
}

std::optional<MovedIdentity> identityFields(const QList<QByteArray>& fields) {
    bool valid[4] = {};
    const MovedIdentity identity{fields[1].toULongLong(&valid[0]), fields[2].toULongLong(&valid[1]),
                                 fields[3].toLongLong(&valid[2]), fields[4].toLongLong(&valid[3])};
    if (!std::all_of(std::begin(valid), std::end(valid), [](bool ok) { return ok; })) return std::nullopt;
    return identity;
}

void addRepairs(const QByteArray& text, Repairs& repairs) {
    QList<QByteArray> lines = text.split('\n');
    lines.removeLast();  // cut short by a crash, or empty
    QList<QByteArray> finished;
    QList<Repairs::Move> moves;
    QHash<QByteArray, QByteArray> movedTo;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        const std::optional<QByteArray> first = decodedPath(fields.value(1));
        const std::optional<QByteArray> second = decodedPath(fields.value(2));
        const std::optional<QByteArray> item = movedItem(fields);
        if (fields[0] == "M" && item) {
            if (const std::optional<MovedIdentity> identity = identityFields(fields))
                moves.append({*item, *identity, {}});
        }
        if (fields[0] == "W" && item && second) movedTo.insert(*item, *second);
        if (fields[0] == "F" && fields.size() == 2 && first) finished.append(*first);
        if (fields[0] == "E" && fields.size() == 3 && first && second)
            repairs.edits.append({*first, *second});
    }
    for (Repairs::Move& move : moves) {
        move.movedTo = movedTo.value(move.item, parentOf(parentOf(move.item)) + '/' + nameOf(move.item));
        if (!finished.contains(parentOf(move.item))) repairs.moves.append(move);
    }
}

// Paths of the repairs are bytes as the run wrote them, which only a clean path survives unchanged.
bool isHiddenWorkFolder(const QByteArray& native) {
    const QString path = ToolText::escapedName(native);
    return hiddenWorkFolder(path) == path;
}

// An edit's own: no other work folder's file is ever put under an archive's name.
bool isEditWorkFolder(const QByteArray& native) {
    return isHiddenWorkFolder(native) && native.mid(native.lastIndexOf('/') + 1).startsWith(".velmoraEdit-");
}

bool exists(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 || errno != ENOENT;
}

// Never over anything: at start-up nobody else should take the name, but a user may have.
bool renameToFreeName(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return true;
    // FUSE and network mounts often lack RENAME_NOREPLACE.
    return (errno == EINVAL || errno == ENOSYS) && !exists(to) &&
           ::rename(from.constData(), to.constData()) == 0;
}

// Native paths: names need not be UTF-8.
QList<QByteArray> childrenOf(const QByteArray& folder) {
    QList<QByteArray> children;
    std::error_code code;
    for (std::filesystem::directory_iterator it(folder.toStdString(), code), end; !code && it != end;
         it.increment(code))
        children.append(QByteArray::fromStdString(it->path().string()));
    return children;
}

// Whether what went out is still where it went and as it went: its name, device, inode, size and time.
bool isAsMoved(const Repairs::Move& move) {
    struct stat info {};
    return parentOf(move.movedTo) == parentOf(parentOf(move.item)) &&
           ::lstat(move.movedTo.constData(), &info) == 0 && MovedIdentity::of(info) == move.identity;
}

// The items of each tree that went out go back in, or none of them: a set of which one item cannot be
// proven velmora's (renamed, replaced, deleted) stays as it is, and so does whatever has its name now.
void takeBackMoves(const QList<Repairs::Move>& moves) {
    QHash<QByteArray, QList<Repairs::Move>> byTree;
    for (const Repairs::Move& move : moves) byTree[parentOf(move.item)].append(move);
    for (auto tree = byTree.cbegin(); tree != byTree.cend(); ++tree) {
        struct stat info {};
        if (!isHiddenWorkFolder(tree.key()) || ::lstat(tree.key().constData(), &info) != 0) continue;
        QList<Repairs::Move> out;
        bool whole = true;
        for (const Repairs::Move& move : tree.value()) {
            if (exists(move.item)) continue;
            whole = whole && isAsMoved(move);
            out.append(move);
        }
        if (!whole) continue;
        for (const Repairs::Move& move : out) renameToFreeName(move.movedTo, move.item);
    }
}

void restoreEditedArchives(const QList<Repairs::Edit>& edits,
                           const WorkJournal::ArchiveCheck& isWholeArchive) {
    for (const auto& [workFolder, archive] : edits)
        WorkJournal::restoreEditedArchive(workFolder, archive, isWholeArchive);
}

}  // namespace

// The new archive, when its tool removed the old one and was stopped before the rename, is the only
// copy: it goes back under the archive's name. One the tool had not finished goes with its folder.
WorkJournal::EditedArchive WorkJournal::restoreEditedArchive(const QByteArray& workFolder,
                                                             const QByteArray& archive,
                                                             const ArchiveCheck& isWholeArchive) {
    if (!isEditWorkFolder(workFolder) || parentOf(archive) != parentOf(workFolder) || exists(archive))
        return EditedArchive::inPlace;
    const QList<QByteArray> written = childrenOf(workFolder);
    struct stat info {};
    if (written.size() != 1 || ::lstat(written[0].constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size == 0 || !isWholeArchive(written[0]))
        return EditedArchive::none;
    return renameToFreeName(written[0], archive) ? EditedArchive::putBack : EditedArchive::stranded;
}

WorkJournal::Record::Record(int fd, QString path) : m_fd(fd), m_path(std::move(path)) {}

WorkJournal::Record::~Record() {
    if (!m_kept) ::unlink(nativePath(m_path).constData());
    ::close(m_fd);
}

void WorkJournal::Record::keep() { m_kept = true; }

int WorkJournal::Record::add(const QString& path, Kind kind) {
    QByteArray line = "T ";
    if (kind == Kind::Placeholder) {
        struct stat info {};
        if (::lstat(nativePath(path).constData(), &info) != 0) return errno;
        line = "P " + identityOf(info.st_dev, info.st_ino) + ' ';
    }
    m_lines += line + nativePath(path).toPercentEncoding("/") + '\n';
    return write();
}

int WorkJournal::Record::addNameHolder(const QString& path, quint64 device, quint64 inode) {
    m_nameHolder = "N " + identityOf(device, inode) + ' ' + nativePath(path).toPercentEncoding("/") + '\n';
    return write();
}

int WorkJournal::Record::addTrashInfo(const QByteArray& infoPath, const QByteArray& contents) {
    m_trashInfo = "I " + contents.toPercentEncoding() + ' ' + infoPath.toPercentEncoding("/") + '\n';
    return write();
}

int WorkJournal::Record::addEditedArchive(const QString& workFolder, const QString& archive) {
    m_lines += "E " + nativePath(workFolder).toPercentEncoding("/") + ' ' +
               nativePath(archive).toPercentEncoding("/") + '\n';
    return write();
}

int WorkJournal::Record::addMovesOut(const QList<QByteArray>& items) {
    for (const QByteArray& item : items) {
        struct stat info {};
        if (::lstat(item.constData(), &info) != 0) continue;
        const MovedIdentity identity = MovedIdentity::of(info);
        m_lines += "M " + QByteArray::number(identity.device) + ' ' + QByteArray::number(identity.inode) +
                   ' ' + QByteArray::number(identity.size) + ' ' + QByteArray::number(identity.modified) +
                   ' ' + item.toPercentEncoding("/") + '\n';
    }
    return write();
}

int WorkJournal::Record::addMovedTo(const QByteArray& item, const QByteArray& movedTo) {
    const QByteArray start = "W " + item.toPercentEncoding("/") + ' ';
    QByteArray lines;
    for (const QByteArray& line : m_lines.split('\n')) {
        if (!line.isEmpty() && !line.startsWith(start)) lines += line + '\n';
    }
    m_lines = lines + start + movedTo.toPercentEncoding("/") + '\n';
    return write();
}

void WorkJournal::Record::endMovesOut(const QByteArray& folder) {
    // Each move's line names an item in folder and what it was, so the line that ends them is shorter than
    // the lines it replaces.
    QByteArray lines;
    for (const QByteArray& line : m_lines.split('\n')) {
        if (!line.isEmpty() && !isMoveOutOf(line, folder)) lines += line + '\n';
    }
    m_lines = lines + "F " + folder.toPercentEncoding("/") + '\n';
    if (write() != 0) ::unlink(nativePath(m_path).constData());
}

int WorkJournal::Record::write() {
    const QByteArray bytes = m_lines + m_nameHolder + m_trashInfo;
    const int error = writeOver(m_fd, bytes, m_written);
    if (error == 0) m_written = bytes;
    return error;
}

QString WorkJournal::directory() {
    QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(stateHome)) stateHome = QDir::homePath() + QStringLiteral("/.local/state");
    return stateHome + QStringLiteral("/velmora/work");
}

std::unique_ptr<WorkJournal::Record> WorkJournal::open() {
    const QString folder = directory();
    if (PrivateFile::makeFolder(folder) != 0) return nullptr;
    const QString name = QUuid::createUuid().toString(QUuid::WithoutBraces);
    // Locked under a hidden name first and renamed after, so removeLeftovers never takes a record
    // between its creation and its lock for a dead one.
    const QString hidden = folder + QStringLiteral("/.") + name;
    const QString path = folder + QLatin1Char('/') + name + kRecordSuffix;
    const int fd = ::open(nativePath(hidden).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    if (::flock(fd, LOCK_EX) != 0 ||
        ::rename(nativePath(hidden).constData(), nativePath(path).constData()) != 0) {
        ::unlink(nativePath(hidden).constData());
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<Record>(new Record(fd, path));
}

int WorkJournal::removeLeftovers(const ArchiveCheck& isWholeArchive) {
    const QDir folder(directory());
    struct HeldRecord {
        int fd;
        QString path;
        QList<RecordedPath> paths;
    };
    QList<HeldRecord> heldRecords;
    QList<RecordedPath> paths;
    Repairs repairs;
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        const int fd = ::open(nativePath(path).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        // Held until every path is gone, so no other start takes the same leftovers meanwhile.
        heldRecords.append({fd, path, {}});
        if (!name.endsWith(kRecordSuffix)) continue;
        const QByteArray text = readWhole(fd);
        heldRecords.last().paths = recordedPaths(text);
        paths += heldRecords.last().paths;
        addRepairs(text, repairs);
    }
    takeBackMoves(repairs.moves);
    restoreEditedArchives(repairs.edits, isWholeArchive);
    const int removed = removePaths(paths);
    for (const HeldRecord& record : heldRecords) {
        if (!namesTreeLeft(record.paths)) ::unlink(nativePath(record.path).constData());
        ::close(record.fd);
    }
    return removed;
}
