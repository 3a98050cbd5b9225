#include "core/base/FileSystemError.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "core/state/PasswordImportError.h"
#include "support/FullDisk.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimeZone>

#include <unistd.h>

namespace {

using Kind = ArchivePasswordBookKind;
const QString kBook = QStringLiteral("archivePasswordBook");

class PasswordBookTest : public testing::Test {
protected:
    ArchivePasswordBookStore store() {
        return ArchivePasswordBookStore(defaults, [this] { return now; });
    }

    QByteArray stored() const { return defaults.data(kBook).value_or(QByteArray()); }

    QList<ArchivePasswordBookEntry> storedEntries() const {
        return JsonFields::decodeArray<ArchivePasswordBookEntry>(
                   stored(),
                   [](const QJsonValue& value) {
                       return ArchivePasswordBookEntry::fromJson(value,
                                                                 JsonFields::DateForm::referenceSeconds);
                   })
            .value_or(QList<ArchivePasswordBookEntry>{});
    }

    void storeEntries(const QList<ArchivePasswordBookEntry>& entries) {
        defaults.setData(kBook, JsonFields::encodeArray(
                                    entries,
                                    [](const ArchivePasswordBookEntry& e) {
                                        return e.toJson(JsonFields::DateForm::referenceSeconds);
                                    },
                                    QJsonDocument::Compact));
    }

    QString importFile(const QByteArray& contents) { return tree.writeFile("import.txt", contents); }

    static QStringList labels(const QList<ArchivePasswordBookEntry>& entries) {
        QStringList list;
        for (const auto& entry : entries) list << entry.label;
        return list;
    }
    static QStringList passwords(const QList<ArchivePasswordBookEntry>& entries) {
        QStringList list;
        for (const auto& entry : entries) list << entry.password;
        return list;
    }

    TempTree tree;
    DefaultsStore defaults{tree.path("defaults")};
    QDateTime now{QDate(2026, 3, 1), QTime(8, 0), QTimeZone::utc()};
};

TEST_F(PasswordBookTest, AddingByHandLabelsKeysAndRefreshes) {
    EXPECT_TRUE(store().entries().isEmpty());
    const ArchivePasswordBookStore::Addition blank = store().addManualPassword("   ", "x", Kind::extraction);
    EXPECT_FALSE(blank.entry.has_value());
    EXPECT_FALSE(blank.failure.has_value());
    EXPECT_FALSE(defaults.data(kBook).has_value());

    const auto first = store().addManualPassword(" secret\n", "", Kind::extraction).entry;
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->label, QStringLiteral(u"密码 1"));
    EXPECT_EQ(first->scopeKey, QStringLiteral(u"manual::密码-1"));
    EXPECT_EQ(first->password, "secret");
    EXPECT_EQ(first->useCount, 0);
    store().addManualPassword("other", "Team Share", Kind::compression);
    EXPECT_EQ(store().addManualPassword("third", "  ", Kind::extraction).entry->label,
              QStringLiteral(u"密码 3"));

    now = now.addSecs(10);
    const auto refreshed = store().addManualPassword("other", "team-share-", Kind::compression).entry;
    EXPECT_EQ(refreshed->id, storedEntries()[1].id);
    EXPECT_EQ(refreshed->label, "team-share-");
    EXPECT_EQ(refreshed->lastUsedAt, now);
    EXPECT_EQ(refreshed->createdAt, now.addSecs(-10));
    EXPECT_EQ(refreshed->useCount, 0);
    EXPECT_EQ(storedEntries().size(), 3);

    EXPECT_EQ(labels(store().entries(Kind::compression)), QStringList{"team-share-"});
    EXPECT_EQ(storedEntries()[1].scopeKey, "compression::team-share");
    EXPECT_EQ(store().entries(Kind::extraction).size(), 2);
}

TEST_F(PasswordBookTest, ManualScopeKeysFromLabels) {
    struct Case {
        QString label;
        Kind kind;
        QString key;
    };
    const Case cases[] = {
        {"Team Share", Kind::extraction, "manual::team-share"},
        {"Team Share", Kind::compression, "compression::team-share"},
        {"a  b", Kind::extraction, "manual::a--b"},
        {QStringLiteral(u"--ÄRGER--"), Kind::extraction, QStringLiteral(u"manual::ärger")},
    };
    for (const Case& c : cases) {
        store().removeAll();
        store().addManualPassword("p", c.label, c.kind);
        EXPECT_EQ(storedEntries().first().scopeKey, c.key) << c.label.toStdString();
    }

    store().removeAll();
    store().addManualPassword("p", "- -", Kind::extraction);
    store().addManualPassword("p", "-  -", Kind::extraction);
    ASSERT_EQ(storedEntries().size(), 2);
    EXPECT_FALSE(QUuid::fromString(storedEntries()[0].scopeKey.mid(8)).isNull());
    EXPECT_NE(storedEntries()[0].scopeKey, storedEntries()[1].scopeKey);
}

TEST_F(PasswordBookTest, ArchiveKeysAreSharedByAllVolumesOfASet) {
    struct Case {
        const char* fileName;
        const char* key;
    };
    const Case cases[] = {
        {"Photos.zip", "zip::photos"},
        {"Photos.z01", "zip::photos"},
        {"Photos.rar", "rarOld::photos"},
        {"Photos.r00", "rarOld::photos"},
        {"Photos.part2.rar", "rarNew::photos"},
        {"Photos.7z.003", "sevenZip::photos.7z"},
        {"Photos.7z", "7z::photos"},
        {"Backup.tar.gz", "gz::backup"},
    };
    for (const Case& c : cases) {
        store().removeAll();
        EXPECT_TRUE(store().remember("pw", QStringLiteral("/media/Some Dir/") + c.fileName).entry);
        EXPECT_EQ(storedEntries().first().scopeKey, c.key) << c.fileName;
    }
}

TEST_F(PasswordBookTest, EditingKeepsTheBookAndArchiveKeys) {
    store().remember("pw", "/a/Photos.zip");
    store().addManualPassword("pw2", "Old", Kind::extraction);
    store().addManualPassword("pw3", "Keep", Kind::compression);
    const QList<ArchivePasswordBookEntry> before = storedEntries();

    store().update(before[0].id, "Holiday", " new ");
    store().update(before[1].id, "Holiday", "pw2");
    store().update(before[2].id, "", "pw3");
    QList<ArchivePasswordBookEntry> after = storedEntries();
    EXPECT_EQ(after[0].scopeKey, "zip::photos");
    EXPECT_EQ(after[0].password, "new");
    EXPECT_EQ(after[0].label, "Holiday");
    EXPECT_EQ(after[0].useCount, 1);
    EXPECT_EQ(after[1].scopeKey, "manual::holiday");
    EXPECT_EQ(after[2].scopeKey, QStringLiteral(u"compression::密码-3"));
    EXPECT_EQ(after[2].lastUsedAt, before[2].lastUsedAt);

    const QByteArray unchanged = stored();
    store().update(before[1].id, "X", "  ");
    store().update(QUuid::createUuid(), "X", "p");
    EXPECT_EQ(stored(), unchanged);

    // An edit that makes two entries equal in key and password keeps the earlier one.
    const auto later = store().addManualPassword("pw2", "Other", Kind::extraction).entry;
    store().update(later->id, "Holiday", "pw2");
    after = storedEntries();
    ASSERT_EQ(after.size(), 3);
    EXPECT_EQ(after[1].id, before[1].id);
}

TEST_F(PasswordBookTest, BookOrder) {
    const auto makeEntry = [&](const QString& label, qint64 uses, int secondsAgo) {
        return ArchivePasswordBookEntry{.id = QUuid::createUuid(),
                                        .label = label,
                                        .scopeKey = "manual::" + label,
                                        .password = label,
                                        .createdAt = now,
                                        .lastUsedAt = now.addSecs(-secondsAgo),
                                        .useCount = uses};
    };
    QList<ArchivePasswordBookEntry> list{makeEntry("key 10", 2, 5), makeEntry("older", 9, 60),
                                         makeEntry("key 2", 2, 5),  makeEntry("five", 5, 5),
                                         makeEntry("Beta", 0, 0),   makeEntry("alpha", 0, 0),
                                         makeEntry("same", 0, 30)};
    ArchivePasswordBookEntry twin = list.last();
    twin.id = QUuid::createUuid();
    twin.password = "twin";
    list << twin;
    storeEntries(list);

    EXPECT_EQ(passwords(store().entries()),
              (QStringList{"alpha", "Beta", "five", "key 2", "key 10", "same", "twin", "older"}));
}

TEST_F(PasswordBookTest, StoredDuplicatesAndAnEmptyValue) {
    store().addManualPassword("p", "a", Kind::extraction);
    QList<ArchivePasswordBookEntry> list = storedEntries();
    list << list.first();
    list.last().id = QUuid::createUuid();
    storeEntries(list);
    EXPECT_EQ(store().entries().size(), 2);
    store().removeEntry(QUuid::createUuid());
    ASSERT_EQ(storedEntries().size(), 1);
    EXPECT_EQ(storedEntries().first().id, list.first().id);

    defaults.setData(kBook, QByteArray());
    EXPECT_TRUE(store().entries().isEmpty());

    store().addManualPassword("p", "a", Kind::extraction);
    store().removeEntry(storedEntries().first().id);
    EXPECT_EQ(stored(), "[]");
    store().removeAll();
    EXPECT_FALSE(defaults.data(kBook).has_value());
}

TEST_F(PasswordBookTest, ADamagedBookLosesOnlyItsBadEntriesAndIsKeptOnceBeforeAnySave) {
    store().addManualPassword("good", "Good", Kind::extraction);
    QJsonArray array = QJsonDocument::fromJson(stored()).array();
    QJsonObject bad = array.first().toObject();
    bad.insert("useCount", "3");  // a number written as text
    array.append(bad);
    const QByteArray damaged = QJsonDocument(array).toJson(QJsonDocument::Compact);
    defaults.setData(kBook, damaged);

    const QString firstCopy = "archivePasswordBook.json.bad-20260301T080000Z";
    ArchivePasswordBookStore::Book book = store().book();
    EXPECT_EQ(passwords(book.entries), QStringList{"good"});
    EXPECT_EQ(book.condition.skippedEntries, 1);
    EXPECT_FALSE(book.condition.damaged);
    EXPECT_EQ(book.condition.keptCopy, tree.path("defaults/" + firstCopy));
    EXPECT_EQ(tree.readFile("defaults/" + firstCopy), damaged);

    // Read again later and saved over: still the one copy, and the good entry stays.
    now = now.addSecs(5);
    EXPECT_EQ(store().candidatePasswords("/a/x.zip"), QStringList{"good"});
    ASSERT_TRUE(store().addManualPassword("new", "New", Kind::extraction).entry.has_value());
    EXPECT_EQ(passwords(storedEntries()), (QStringList{"good", "new"}));
    EXPECT_EQ(store().book().condition.keptCopy, std::nullopt);
    const QDir folder(tree.path("defaults"));
    EXPECT_EQ(folder.entryList({"*.bad*"}, QDir::Files), QStringList{firstCopy});

    // Later damage of the whole file gets a copy of its own; the first is never replaced.
    for (const QByteArray& whole : {QByteArray("nonsense"), QByteArray("{\"a\":1}")}) {
        now = now.addSecs(3600);
        defaults.setData(kBook, whole);
        book = store().book();
        EXPECT_TRUE(book.condition.damaged);
        EXPECT_TRUE(book.entries.isEmpty());
        store().addManualPassword("p", "a", Kind::extraction);
        EXPECT_EQ(passwords(storedEntries()), QStringList{"p"});
        ASSERT_TRUE(book.condition.keptCopy.has_value());
        QFile copy(*book.condition.keptCopy);
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), whole);
    }
    EXPECT_EQ(folder.entryList({"*.bad*"}, QDir::Files).size(), 3);
    EXPECT_EQ(tree.readFile("defaults/" + firstCopy), damaged);

    // A book in place of which nothing can be read (a folder here, unreadable even for root) is
    // reported and never replaced.
    QFile::remove(tree.path("defaults/archivePasswordBook.json"));
    tree.makeFolder("defaults/archivePasswordBook.json");
    EXPECT_TRUE(store().book().condition.unreadable.has_value());
    const ArchivePasswordBookStore::Addition refused = store().addManualPassword("p", "a", Kind::extraction);
    EXPECT_FALSE(refused.entry.has_value());
    ASSERT_TRUE(refused.failure.has_value());
    EXPECT_TRUE(refused.failure->startsWith(QStringLiteral(u"无法读取原有文件")));
    EXPECT_FALSE(store().remember("pw", "/a/x.zip").entry);
    EXPECT_TRUE(QFileInfo(tree.path("defaults/archivePasswordBook.json")).isDir());
}

TEST(PasswordBookOnAFullDisk, EveryChangeFailsWithTheReasonAndTheBookStaysAsItWas) {
    FullDisk disk;
    DefaultsStore defaults(disk.path("defaults"));
    ArchivePasswordBookStore store(defaults);
    const QUuid id = store.addManualPassword("old", "Old", Kind::extraction).entry->id;
    const std::optional<QByteArray> before = defaults.data(kBook);
    const QString importFile = disk.path("import.txt");
    QFile file(importFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Mail,pw\n");
    file.close();

    disk.fill();
    const ArchivePasswordBookStore::Addition added = store.addManualPassword("new", "New", Kind::extraction);
    EXPECT_FALSE(added.entry.has_value());
    EXPECT_EQ(added.failure, disk.reason());
    EXPECT_EQ(store.update(id, "Renamed", "old"), disk.reason());
    EXPECT_EQ(store.removeEntry(id), disk.reason());
    EXPECT_EQ(store.importPasswords(importFile, Kind::extraction).failure, disk.reason());
    EXPECT_EQ(store.remember("pw", "/a/x.zip").failure, disk.reason());
    disk.free();
    EXPECT_EQ(defaults.data(kBook), before);
    EXPECT_EQ(QDir(disk.path("defaults")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"archivePasswordBook.json"});

    // A damaged book whose copy cannot be kept is not saved over either.
    defaults.setData(kBook, "nonsense");
    disk.fill();
    EXPECT_EQ(store.book().condition.keepFailure, disk.reason());
    EXPECT_EQ(store.addManualPassword("x", "X", Kind::extraction).failure,
              QStringLiteral(u"无法另存无法读取的密码本（") + disk.reason() + QStringLiteral(u"）"));
    disk.free();
    EXPECT_EQ(defaults.data(kBook), "nonsense");
}

TEST_F(PasswordBookTest, ImportRefusesFilesThatAreNotPasswordLines) {
    store().addManualPassword("kept", "Kept", Kind::extraction);
    const QByteArray before = stored();
    const QByteArray files[] = {
        R"([{"site":"mail","pass":"pw1"},{"site":"bank","pass":"pw2"}])",
        R"({"passwords":["a","b"]})",
        "[]",
        "[\n  {\n    \"label\" : \"cut off",
        QByteArray("PK\x03\x04\x14\x00\x00\x00", 8),
        QByteArray("\xff\xfeM\x00a\x00", 6),
        "",
        " \n\t\r\n",
    };
    for (const QByteArray& bytes : files) {
        EXPECT_THROW(store().importPasswords(importFile(bytes), Kind::extraction), PasswordImportError)
            << bytes.toStdString();
        EXPECT_EQ(stored(), before);
    }
    // Passwords that merely begin with a bracket are still lines.
    EXPECT_EQ(store().importPasswords(importFile("[abc]\n{x}, y\n"), Kind::extraction).count, 2);
}

TEST_F(PasswordBookTest, AnUnreadableImportSaysItCouldNotBeRead) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    const QString file = importFile("pw\n");
    QFile::setPermissions(file, QFile::WriteOwner);
    try {
        store().importPasswords(file, Kind::extraction);
        ADD_FAILURE() << "imported";
    } catch (const FileSystemError& error) {
        EXPECT_EQ(error.message(), QStringLiteral(u"无法打开文件：%1（没有读取权限）").arg(file));
    }
}

TEST_F(PasswordBookTest, ImportingTextLines) {
    const QString file = importFile("Work, pw1\r\n\r\n  pw2  \r\n");
    EXPECT_EQ(store().importPasswords(file, Kind::extraction).count, 2);
    QList<ArchivePasswordBookEntry> entries = storedEntries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].label, "Work");
    EXPECT_EQ(entries[0].password, "pw1");
    EXPECT_EQ(entries[0].scopeKey, "manual::work");
    // Pieces: the first line, the empty piece inside "\r\n", the same twice more, then "pw2".
    EXPECT_EQ(entries[1].label, QStringLiteral(u"导入密码 5"));
    EXPECT_EQ(entries[1].password, "pw2");

    // Importing again adds nothing, counts the same and refreshes the entries.
    now = now.addSecs(60);
    EXPECT_EQ(store().importPasswords(file, Kind::extraction).count, 2);
    entries = storedEntries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].lastUsedAt, now);
    EXPECT_EQ(entries[0].useCount, 0);
}

TEST_F(PasswordBookTest, ImportedLinesSplitAtTheFirstCommaAfterText) {
    struct Case {
        QByteArray line;
        QString label;
        QString password;
    };
    const Case cases[] = {
        {",secret", QStringLiteral(u"导入密码 1"), ",secret"},
        {"secret,", QStringLiteral(u"导入密码 1"), "secret,"},
        {"name,pa,ss", "name", "pa,ss"},
        {",name,pass", "name", "pass"},
        {"name,,", "name", ","},
        {", pass", QStringLiteral(u"导入密码 1"), ", pass"},
        {", ,pass", QStringLiteral(u"密码 1"), "pass"},
    };
    for (const Case& c : cases) {
        store().removeAll();
        EXPECT_EQ(store().importPasswords(importFile(c.line), Kind::compression).count, 1);
        ASSERT_EQ(storedEntries().size(), 1);
        EXPECT_EQ(storedEntries().first().label, c.label) << c.line.toStdString();
        EXPECT_EQ(storedEntries().first().password, c.password) << c.line.toStdString();
        EXPECT_TRUE(storedEntries().first().scopeKey.startsWith("compression::"));
    }
}

TEST_F(PasswordBookTest, ExportSortsMembersAndImportsIntoTheOtherBook) {
    store().remember("archive", "/a/x.zip");
    store().addManualPassword("c1", "", Kind::compression);
    now = now.addSecs(1);
    store().addManualPassword("c2", "Zed", Kind::compression);

    const QByteArray exported = store().exportData(Kind::compression);
    EXPECT_TRUE(exported.contains("\n    {"));
    const QJsonArray array = QJsonDocument::fromJson(exported).array();
    ASSERT_EQ(array.size(), 2);
    const QJsonObject newest = array[0].toObject();
    EXPECT_EQ(newest.keys(),
              (QStringList{"createdAt", "id", "label", "lastUsedAt", "password", "scopeKey", "useCount"}));
    EXPECT_EQ(newest.value("password").toString(), "c2");
    EXPECT_EQ(newest.value("lastUsedAt").toString(), "2026-03-01T08:00:01Z");
    EXPECT_LT(exported.indexOf("\"createdAt\""), exported.indexOf("\"useCount\""));
    EXPECT_EQ(QJsonDocument::fromJson(store().exportData(Kind::extraction)).array().size(), 1);

    store().removeAll();
    EXPECT_EQ(QJsonDocument::fromJson(store().exportData(Kind::extraction)).array(), QJsonArray());
    store().addManualPassword("c2", "zed", Kind::extraction);
    EXPECT_EQ(store().importPasswords(importFile(exported), Kind::extraction).count, 2);
    const QList<ArchivePasswordBookEntry> entries = storedEntries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].label, "Zed");
    EXPECT_EQ(entries[1].scopeKey, QStringLiteral(u"manual::密码-2"));
    EXPECT_EQ(entries[1].useCount, 0);
}

TEST_F(PasswordBookTest, ImportReadsStoredFormAndFallsBackToText) {
    store().addManualPassword("kept", "Label", Kind::extraction);
    const QByteArray storedForm = stored();
    store().removeAll();
    EXPECT_EQ(store().importPasswords(importFile(storedForm), Kind::extraction).count, 1);
    EXPECT_EQ(storedEntries().first().label, "Label");

    const QByteArray before = stored();
    EXPECT_THROW(store().importPasswords(tree.path("missing.txt"), Kind::extraction), FileSystemError);
    EXPECT_EQ(stored(), before);
}

TEST_F(PasswordBookTest, RememberingCountsUsesPerArchiveKey) {
    EXPECT_FALSE(store().remember(" \n", "/a/Photos.zip").entry);
    EXPECT_FALSE(defaults.data(kBook).has_value());

    EXPECT_TRUE(store().remember("pw", "/a/Photos.z01").entry);
    EXPECT_EQ(storedEntries().first().label, "photos.zip");
    EXPECT_EQ(storedEntries().first().useCount, 1);
    now = now.addSecs(5);
    EXPECT_TRUE(store().remember(" pw ", "/a/Photos.zip", QStringLiteral("  Trip  ")).entry);
    ASSERT_EQ(storedEntries().size(), 1);
    EXPECT_EQ(storedEntries().first().useCount, 2);
    EXPECT_EQ(storedEntries().first().label, "Trip");
    EXPECT_EQ(storedEntries().first().lastUsedAt, now);

    store().remember("pw", "/a/Photos.7z.001");
    EXPECT_EQ(storedEntries().last().label, "photos.7z");
    store().remember("pw", "/a/Notes.PDF.7z");
    EXPECT_EQ(storedEntries().last().label, "Notes.PDF.7z");
}

TEST_F(PasswordBookTest, CandidatesPutTheArchiveFirstAndSkipTheCompressionBook) {
    store().addManualPassword("manual-old", "A", Kind::extraction);
    now = now.addSecs(1);
    store().addManualPassword("shared", "B", Kind::extraction);
    store().addManualPassword("compress-only", "C", Kind::compression);
    now = now.addSecs(1);
    store().remember("other-archive", "/x/other.zip");
    store().remember("set", "/a/show.part1.rar");
    store().remember("shared", "/a/show.part1.rar");

    EXPECT_EQ(store().candidatePasswords("/a/show.part3.rar"),
              (QStringList{"set", "shared", "other-archive", "manual-old"}));
    EXPECT_EQ(store().candidatePasswords("/b/unknown.7z"),
              (QStringList{"other-archive", "set", "shared", "manual-old"}));

    // A password that then works comes first within its group.
    now = now.addSecs(1);
    store().remember("shared", "/a/show.part2.rar");
    EXPECT_EQ(store().candidatePasswords("/a/show.part1.rar").first(), "shared");
}

}  // namespace
