#include "platform/DesktopTrash.h"

#include "platform/FileDescriptor.h"
#include "platform/ToolText.h"
#include "platform/WorkJournal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <optional>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DesktopTrash {

namespace {

struct Trash {
    QByteArray folder;
    // The folder a relative Path starts from; empty for the home trash, whose paths are absolute.
    QByteArray topdir;
};

std::optional<struct stat> statusOf(const QByteArray& path) {
    struct stat status{};
    if (::lstat(path.constData(), &status) != 0) return std::nullopt;
    return status;
}

// A folder of the user's own, made 0700 when missing; never one behind a link.
bool privateFolder(const QByteArray& path) {
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return false;
    const auto status = statusOf(path);
    return status && S_ISDIR(status->st_mode) && status->st_uid == ::getuid();
}

std::optional<Trash> ready(Trash trash) {
    for (const char* sub : {"/files", "/info"}) {
        if (!privateFolder(trash.folder + sub)) return std::nullopt;
    }
    return trash;
}

QByteArray dataHome() {
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (path.isEmpty() || !QDir().mkpath(path)) return {};
    return QFile::encodeName(path);
}

// The highest folder above the item still on the item's file system: the mount's top directory.
QByteArray topdirOf(const QByteArray& item, dev_t device) {
    QByteArray top = item.left(item.lastIndexOf('/'));
    while (!top.isEmpty()) {
        const QByteArray parent = top.left(top.lastIndexOf('/'));
        const auto status = statusOf(parent.isEmpty() ? QByteArray("/") : parent);
        if (!status || status->st_dev != device) break;
        top = parent;
    }
    return top;
}

// $topdir/.Trash/$uid when the administrator made a sticky .Trash, else $topdir/.Trash-$uid.
std::optional<Trash> mountTrash(const QByteArray& item, dev_t device) {
    const QByteArray topdir = topdirOf(item, device);
    const QByteArray uid = QByteArray::number(::getuid());
    const auto shared = statusOf(topdir + "/.Trash");
    if (shared && S_ISDIR(shared->st_mode) && (shared->st_mode & S_ISVTX) &&
        privateFolder(topdir + "/.Trash/" + uid)) {
        if (auto trash = ready({topdir + "/.Trash/" + uid, topdir})) return trash;
    }
    const QByteArray own = topdir + "/.Trash-" + uid;
    if (!privateFolder(own)) return std::nullopt;
    return ready({own, topdir});
}

std::optional<Trash> trashFor(const QByteArray& item, dev_t device) {
    const QByteArray home = dataHome();
    if (home.isEmpty()) return std::nullopt;
    const auto homeStatus = statusOf(home);
    if (!homeStatus || homeStatus->st_dev != device) return mountTrash(item, device);
    // An item on the home file system goes to the home trash or nowhere.
    const QByteArray folder = home + "/Trash";
    if (!privateFolder(folder)) return std::nullopt;
    return ready({folder, {}});
}

QByteArray record(const QByteArray& path) {
    // Every byte but the unreserved characters and "/" is escaped: "%20" in a name is kept as "%2520".
    return "[Trash Info]\nPath=" + path.toPercentEncoding("/") +
           "\nDeletionDate=" +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() + '\n';
}

bool writeAll(int descriptor, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t step = ::write(descriptor, bytes.constData() + written, size_t(bytes.size() - written));
        if (step < 0 && errno == EINTR) continue;
        if (step <= 0) return false;
        written += step;
    }
    return true;
}

// Longer than this, a name's record ("<name>.trashinfo") would pass the 255 bytes a name may have.
constexpr qsizetype kMaxStoredName = 255 - qsizetype(sizeof ".trashinfo" - 1);

// The name the item is kept under at the given attempt: its own, then "<name> 2", "<name> 3"...; one too
// long for its record is cut (at a character's start, keeping a short extension), since the record's
// Path holds the whole name anyway.
QByteArray storedName(const QByteArray& name, int attempt) {
    const QByteArray number = attempt == 1 ? QByteArray() : ' ' + QByteArray::number(attempt);
    if (name.size() + number.size() <= kMaxStoredName) return name + number;
    const qsizetype dot = name.lastIndexOf('.');
    const QByteArray extension = dot > 0 && name.size() - dot <= 16 ? name.mid(dot) : QByteArray();
    qsizetype cut = kMaxStoredName - number.size() - extension.size();
    while (cut > 0 && (uchar(name[cut]) & 0xC0) == 0x80) --cut;
    return name.left(cut) + number + extension;
}

// Claims a name in the trash by creating its record exclusively; the name, or nothing. Each record is
// in the work journal before it exists, so a start after a kill before the item moved removes it.
std::optional<QByteArray> claimName(const Trash& trash, const QByteArray& base, const QByteArray& info,
                                    WorkJournal::Record* journal) {
    for (int attempt = 1; attempt < 10000; ++attempt) {
        const QByteArray name = storedName(base, attempt);
        const QByteArray infoPath = trash.folder + "/info/" + name + ".trashinfo";
        if (journal && journal->addTrashInfo(infoPath, info) != 0) return std::nullopt;
        FileDescriptor file(::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!file.isOpen()) {
            if (errno == EEXIST) continue;
            return std::nullopt;
        }
        // A file left in files/ without its record keeps its name too.
        const bool taken = statusOf(trash.folder + "/files/" + name).has_value();
        if (taken || !writeAll(file.get(), info) || file.close() != 0) {
            ::unlink(infoPath.constData());
            if (taken) continue;
            return std::nullopt;
        }
        return name;
    }
    return std::nullopt;
}

// The item's name in the folder that really holds it: a link on the way (~/disk -> /mnt/data) must not
// decide which file system's trash it goes to. The item itself is not resolved: a link goes as a link.
std::optional<QByteArray> realLocation(const QByteArray& item) {
    const qsizetype slash = item.lastIndexOf('/');
    char* folder = ::realpath(slash == 0 ? "/" : item.left(slash).constData(), nullptr);
    if (!folder) return std::nullopt;
    const QByteArray real(folder);
    std::free(folder);
    return (real == "/" ? QByteArray() : real) + item.mid(slash);
}

int renameIntoTrash(const char* from, const char* to) { return ::rename(from, to); }

}  // namespace

SystemCalls systemCalls{renameIntoTrash};

bool moveToTrash(const QString& path) {
    // Escaped bytes of a name that is not UTF-8 are written as themselves (QFile::encodeName would not).
    const QByteArray given = ToolText::encodedName(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    const std::optional<QByteArray> item = given == "/" ? std::nullopt : realLocation(given);
    const auto status = item ? statusOf(*item) : std::nullopt;
    if (!status) return false;
    const std::optional<Trash> trash = trashFor(*item, status->st_dev);
    if (!trash) return false;
    const QByteArray recorded = trash->topdir.isEmpty() ? *item : item->mid(trash->topdir.size() + 1);
    const std::unique_ptr<WorkJournal::Record> journal = WorkJournal::open();
    const std::optional<QByteArray> name =
        claimName(*trash, item->mid(item->lastIndexOf('/') + 1), record(recorded), journal.get());
    if (!name) return false;
    if (systemCalls.rename(item->constData(), (trash->folder + "/files/" + *name).constData()) == 0)
        return true;
    ::unlink((trash->folder + "/info/" + *name + ".trashinfo").constData());
    return false;
}

}  // namespace DesktopTrash
