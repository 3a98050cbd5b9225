// Passwords reach the tools on standard input: a real run of every password operation, while another
// thread reads the command line of each child of this process, never shows the password.

#include "EngineFixtures.h"
#include "core/content/ArchivePreviewService.h"
#include "core/engine/ArchivePasswordProbe.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/CompressionService.h"

#include <QDir>
#include <QFile>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

#include <unistd.h>

namespace {

// 7-Zip refuses a ZIP password that is not ASCII.
const QString kPassword = QStringLiteral("Velmora-Secret-91");

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The command lines of this process's children, sampled from /proc until it is destroyed.
class CommandLineWatcher {
public:
    CommandLineWatcher() : m_thread([this] { watch(); }) {}
    ~CommandLineWatcher() { stop(); }
    CommandLineWatcher(const CommandLineWatcher&) = delete;
    CommandLineWatcher& operator=(const CommandLineWatcher&) = delete;

    void stop() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    std::set<QByteArray> seen() const {
        std::lock_guard lock(m_mutex);
        return m_seen;
    }

private:
    static bool isChild(const QString& processFolder) {
        QFile status(processFolder + QStringLiteral("/status"));
        if (!status.open(QIODevice::ReadOnly)) return false;
        const QByteArray parent = "PPid:\t" + QByteArray::number(::getpid()) + '\n';
        return status.readAll().contains(parent);
    }

    void sample() {
        for (const QString& name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            if (!name.front().isDigit() || !isChild(QStringLiteral("/proc/") + name)) continue;
            QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(name));
            if (!commandLine.open(QIODevice::ReadOnly)) continue;
            const QByteArray arguments = commandLine.readAll();
            std::lock_guard lock(m_mutex);
            if (!arguments.isEmpty()) m_seen.insert(arguments);
        }
    }
    void watch() {
        while (!m_stop) sample();
    }

    std::atomic<bool> m_stop = false;
    mutable std::mutex m_mutex;
    std::set<QByteArray> m_seen;
    std::thread m_thread;
};

struct EncryptedArchive {
    const char* name;
    QString program;
    QStringList switches;
    bool encryptedNames;  // listing needs the password too
};

class PasswordInputTest : public testing::Test {
protected:
    void SetUp() override {
        m_tree.writeFile(QStringLiteral("src/a.txt"), "alpha");
        const QString password = QStringLiteral("-p") + kPassword;
        const EncryptedArchive archives[] = {
            {"zipcrypto.zip", kSevenZip, {"a", "-tzip", "-mem=ZipCrypto", password}, false},
            {"aes.zip", kSevenZip, {"a", "-tzip", "-mem=AES256", password}, false},
            {"headers.7z", kSevenZip, {"a", "-t7z", "-mhe=on", password}, true},
            {"headers.rar", kRar, {"a", "-hp" + kPassword}, true},
        };
        for (const EncryptedArchive& archive : archives) {
            const QString path = m_tree.path(QString::fromUtf8(archive.name));
            runTool(archive.program, archive.switches + QStringList{path, QStringLiteral("a.txt")},
                    m_tree.path(QStringLiteral("src")));
            m_archives.append({path, archive.encryptedNames});
        }
    }

    // Runs every password operation on each archive, with the right password and a wrong one.
    void runEveryOperation() {
        for (const auto& [archive, encryptedNames] : m_archives) {
            SCOPED_TRACE(archive.toStdString());
            extract(archive);
            previewEntry(archive);
            testEntry(archive);
            if (encryptedNames) list(archive);
        }
        createAndTest();
    }

    void extract(const QString& archive) {
        const ArchiveService service(ArchiveService::standardExtractors(), nullptr);
        const QString destination = m_tree.makeFolder(QStringLiteral("out"));
        const QStringList folders =
            service.extract({archive}, destination, kPassword, ExtractionOptions{}, 2, {}).outputs;
        EXPECT_EQ(contentsOf(folders.value(0) + QStringLiteral("/a.txt")), "alpha");
        EXPECT_EQ(thrownArchiveError([&] {
                      service.extract({archive}, destination, QStringLiteral("wrong"), ExtractionOptions{}, 2,
                                      {});
                  }),
                  ArchiveError::wrongPassword());
        QDir(destination).removeRecursively();
    }

    void previewEntry(const QString& archive) {
        ArchivePreviewEntry entry;
        entry.path = QStringLiteral("a.txt");
        const QString file = m_preview.extractedPreviewFile(entry, archive, kPassword, {});
        EXPECT_EQ(contentsOf(file), "alpha");
        EXPECT_EQ(thrownArchiveError(
                      [&] { m_preview.extractedPreviewFile(entry, archive, QStringLiteral("wrong"), {}); }),
                  ArchiveError::wrongPassword());
    }

    // What the browser asks before it remembers a password: a ZIP lists with a wrong one too.
    static void testEntry(const QString& archive) {
        EXPECT_EQ(ArchivePasswordProbe::testFirstEncryptedEntry(archive, kPassword, {}),
                  ArchivePasswordProbe::EntryTest::decrypts);
        EXPECT_EQ(ArchivePasswordProbe::testFirstEncryptedEntry(archive, QStringLiteral("wrong"), {}),
                  ArchivePasswordProbe::EntryTest::wrong);
    }

    void list(const QString& archive) {
        EXPECT_EQ(m_preview.previewEntries(archive, kPassword, {}).size(), 1);
        EXPECT_EQ(thrownArchiveError([&] { m_preview.previewEntries(archive, QStringLiteral("wrong"), {}); }),
                  ArchiveError::wrongPassword());
    }

    // A 7Z made with the password, then extracted and tested with it and with a wrong one.
    void createAndTest() {
        const QString archive = m_tree.path(QStringLiteral("made.7z"));
        CompressionService service;
        service.compress({m_tree.path(QStringLiteral("src/a.txt"))}, archive, CompressionFormat::sevenZip,
                         CompressionLevel::standard, kPassword, 1, false, {}, {});
        extract(archive);
        EXPECT_TRUE(service.testArchive(archive, kPassword, {}));
        EXPECT_TRUE(thrownArchiveError([&] { service.testArchive(archive, "wrong", {}); }));
    }

    TempTree m_tree;
    QList<std::pair<QString, bool>> m_archives;
    const ArchivePreviewService m_preview;
};

TEST_F(PasswordInputTest, NoCommandLineHoldsThePassword) {
    CommandLineWatcher watcher;
    runEveryOperation();
    watcher.stop();

    const std::set<QByteArray> commandLines = watcher.seen();
    const QByteArray password = kPassword.toUtf8();
    bool sawSevenZip = false;
    bool sawUnrar = false;
    for (const QByteArray& commandLine : commandLines) {
        EXPECT_FALSE(commandLine.contains(password)) << commandLine.toStdString();
        EXPECT_FALSE(commandLine.contains("wrong")) << commandLine.toStdString();
        sawSevenZip = sawSevenZip || commandLine.startsWith(kSevenZip.toUtf8());
        sawUnrar = sawUnrar || commandLine.contains("unrar");
    }
    EXPECT_TRUE(sawSevenZip && sawUnrar) << "the watcher saw the tools run";
}

}  // namespace
