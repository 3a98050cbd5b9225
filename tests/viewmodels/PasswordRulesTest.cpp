#include "core/engine/ArchiveError.h"
#include "core/engine/ArchivePasswordProbe.h"
#include "core/engine/ArchiveService.h"
#include "core/engine/CompressionService.h"
#include "support/TempTree.h"
#include "viewmodels/ArchiveServiceWorkbenchEngine.h"
#include "viewmodels/WorkbenchFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

// Which password the main window fills in, uses and remembers, with the installed tools doing the work.
class PasswordRulesTest : public WorkbenchFixture {
protected:
    WorkbenchEngine& modelEngine() override { return realEngine; }

    void SetUp() override { files.writeFile("src/note.txt", "secret notes\n"); }

    // Two wrong passwords come before the right one in book order (the newest first).
    void fillBook() {
        for (const auto& [label, password] : {std::pair("c", "right"), {"b", "wrong2"}, {"a", "wrong1"}})
            passwordBook.addManualPassword(password, label, ArchivePasswordBookKind::extraction);
    }

    // A password is remembered under the archive's file name, a split set's under the set's name.
    QString rememberedFor(const QString& archive, const QString& label = {}) const {
        for (const ArchivePasswordBookEntry& entry : passwordBook.entries()) {
            if (entry.label == labelOf(archive, label)) return entry.password;
        }
        return {};
    }

    void forget(const QString& archive, const QString& label = {}) {
        for (const ArchivePasswordBookEntry& entry : passwordBook.entries()) {
            if (entry.label == labelOf(archive, label)) passwordBook.removeEntry(entry.id);
        }
    }

    static QString labelOf(const QString& archive, const QString& label) {
        return label.isEmpty() ? QFileInfo(archive).fileName() : label;
    }

    // Extracts the archive into a fresh folder and returns the note extracted from it.
    QByteArray extractNote(const QString& archive, const QString& outName) {
        context().setDestinationURL(files.makeFolder(outName));
        extract().selectArchivesForExtraction({archive});
        extract().extract();
        EXPECT_TRUE(waitUntilIdle());
        const ArchiveTask task = workbench.tasks().first();
        EXPECT_EQ(task.status, ArchiveActivityStatus::completed) << task.message.toStdString();
        QFile note(task.message + "/note.txt");
        return note.open(QIODevice::ReadOnly) ? note.readAll() : QByteArray();
    }

    ArchiveService service{ArchiveService::standardExtractors(), std::make_shared<CompressionService>()};
    ArchiveServiceWorkbenchEngine realEngine{service};
};

TEST_F(PasswordRulesTest, theBookPasswordThatOpensTheArchiveIsFilledInUsedAndRemembered) {
    struct Case {
        const char* name;
        QString program;
        QStringList arguments;  // run in src, writing ../<name>
        QString label = {};     // the book's label, when not the name
    };
    const Case cases[] = {
        {"data.7z", "7zz", {"a", "-pright", "../data.7z", "note.txt"}},
        {"headers.7z", "7zz", {"a", "-pright", "-mhe=on", "../headers.7z", "note.txt"}},
        {"crypt.zip", "zip", {"-q", "-P", "right", "../crypt.zip", "note.txt"}},
        {"crypt.rar", "rar", {"a", "-inul", "-pright", "../crypt.rar", "note.txt"}},
        // Any volume opens its set: the probe asks the main volume.
        {"split.7z.002", "7zz", {"a", "-pright", "-v100b", "../split.7z", "note.txt"}, "split.7z"},
    };
    fillBook();
    int run = 0;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        runTool(test.program, test.arguments, files.path("src"));
        const QString archive = files.path(test.name);
        ASSERT_EQ(passwordBook.candidatePasswords(archive), QStringList({"wrong1", "wrong2", "right"}));
        extract().setExtractionPassword({});
        EXPECT_EQ(extractNote(archive, QStringLiteral("out%1").arg(run++)), "secret notes\n");
        EXPECT_EQ(extract().extractionPassword(), "right");
        EXPECT_EQ(rememberedFor(archive, test.label), "right");
        // The next compression on the compress page encrypts nothing.
        EXPECT_EQ(compress().compressionPassword(), "");
        forget(archive, test.label);
    }
}

// A password typed for, or stored in the book beside, an archive that needs none is neither filled in
// nor remembered, and the compress page never takes the extract page's password.
TEST_F(PasswordRulesTest, aPlainArchiveGetsNoPasswordRememberedAndCompressionStaysPlain) {
    runTool("7zz", {"a", "../普通.7z", "note.txt"}, files.path("src"));
    const QString archive = files.path(u"普通.7z"_qs);
    fillBook();

    EXPECT_EQ(extractNote(archive, "auto"), "secret notes\n");
    EXPECT_EQ(extract().extractionPassword(), "");
    extract().setExtractionPassword("typed");
    EXPECT_EQ(extractNote(archive, "typed"), "secret notes\n");
    EXPECT_EQ(rememberedFor(archive), "");

    storeSettings([](AppSettings& settings) { settings.compressToSeparateFolder = false; });
    compress().setSelectedCompressionFormat(CompressionFormat::zip);
    compress().selectFilesForCompression({files.path("src/note.txt")});
    compress().compress(false);
    ASSERT_TRUE(waitUntilIdle());
    const QString zip = workbench.tasks().first().message;
    ASSERT_TRUE(QFileInfo(zip).isFile()) << zip.toStdString();
    EXPECT_FALSE(ArchivePasswordProbe::isEncrypted(zip, {}));
}

// Every encrypted archive of a batch gets the book's passwords; one that none opens is asked for by name
// and stays in the list alone, so the answer's run extracts nothing twice.
TEST_F(PasswordRulesTest, eachArchiveOfABatchGetsTheBooksPasswordsAndOnlyAFailureRunsAgain) {
    runTool("7zz", {"a", u"../资料合集.7z"_qs, "note.txt"}, files.path("src"));
    runTool("7zz", {"a", "-pright", "../secret.7z", "note.txt"}, files.path("src"));
    runTool("7zz", {"a", "-pother", "-mhe=on", "../locked.7z", "note.txt"}, files.path("src"));
    fillBook();
    const QString plain = files.path(u"资料合集.7z"_qs), secret = files.path("secret.7z"),
                  locked = files.path("locked.7z");
    context().setDestinationURL(files.makeFolder("out"));
    extract().selectArchivesForExtraction({plain, secret, locked});
    extract().extract();
    ASSERT_TRUE(waitUntilIdle());
    const QString question = u"locked.7z：密码错误或压缩包需要密码。"_qs;
    EXPECT_EQ(status(), u"已解压 2 个压缩包，1 个失败："_qs + question);
    EXPECT_TRUE(QFileInfo(files.path("out/secret/note.txt")).isFile());
    EXPECT_EQ(rememberedFor(secret), "right");
    EXPECT_EQ(rememberedFor(plain), "");
    EXPECT_EQ(extract().selectedArchivesForExtraction(), QStringList{locked});
    EXPECT_EQ(platform.passwordQuestions, QStringList{question});

    // Alone, it fails the run and is asked for the same way; the answer extracts it.
    platform.passwordAnswer = QStringLiteral(" other ");
    extract().extract();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(platform.passwordQuestions, QStringList({question, question}));
    EXPECT_EQ(extract().extractionPassword(), "other");
    EXPECT_TRUE(QFileInfo(files.path("out/locked/note.txt")).isFile());
    EXPECT_EQ(QDir(files.path("out")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList({"locked", "secret", u"资料合集"_qs}));
}

// The book's password for one archive is not the next one's; a typed one that fails gives way to the book.
TEST_F(PasswordRulesTest, aPasswordLeftFromAnEarlierArchiveDoesNotStopTheBook) {
    runTool("7zz", {"a", "-pfirst", u"../加密 资料.7z"_qs, "note.txt"}, files.path("src"));
    runTool("7zz", {"a", "-psecond", u"../中文 密码.7z"_qs, "note.txt"}, files.path("src"));
    passwordBook.addManualPassword("first", "a", ArchivePasswordBookKind::extraction);
    passwordBook.addManualPassword("second", "b", ArchivePasswordBookKind::extraction);
    const QString second = files.path(u"中文 密码.7z"_qs);
    EXPECT_EQ(extractNote(files.path(u"加密 资料.7z"_qs), "one"), "secret notes\n");
    EXPECT_EQ(extract().extractionPassword(), "first");
    extract().selectArchivesForExtraction({second});
    EXPECT_EQ(extract().extractionPassword(), "");
    EXPECT_EQ(extractNote(second, "two"), "secret notes\n");

    extract().setExtractionPassword("first");
    EXPECT_EQ(extractNote(second, "three"), "secret notes\n");
    EXPECT_EQ(extract().extractionPassword(), "second");
}

// A pipe dropped on the page: the probes start no tool on it and the run fails with the reason.
TEST_F(PasswordRulesTest, aPipeIsRefusedWithoutATool) {
    const QString pipe = files.path("pipe.zip");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    fillBook();
    context().setDestinationURL(files.makeFolder("out"));
    extract().selectArchivesForExtraction({pipe});
    extract().extract();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(workbench.tasks().first().message, ArchiveError::notFileOrFolder(pipe).message());
}

}  // namespace
