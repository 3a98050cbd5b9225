#include "platform/PreviousDefaultHandler.h"
#include "platform/SystemIntegrationError.h"
#include "platform/SystemIntegrationService.h"
#include "support/FakeTool.h"
#include "support/XdgEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

namespace {

const QString kVelmora = SystemIntegrationService::kDesktopID;

class SystemIntegrationServiceTest : public ::testing::Test {
protected:
    explicit SystemIntegrationServiceTest(const QByteArray& desktop = {}) : xdg(desktop) {
        for (const QString& id : {kVelmora, QStringLiteral("ark.desktop"),
                                  QStringLiteral("file-roller.desktop"), QStringLiteral("peazip.desktop")}) {
            xdg.installApplication(id);
        }
    }

    QString userFile(const QString& name = QStringLiteral("mimeapps.list")) {
        return QStringLiteral("config/") + name;
    }
    void writeUserFile(const QByteArray& bytes, const QString& name = QStringLiteral("mimeapps.list")) {
        xdg.tree().writeFile(userFile(name), bytes);
    }
    QByteArray readUserFile(const QString& name = QStringLiteral("mimeapps.list")) {
        return xdg.tree().readFile(userFile(name));
    }
    std::optional<QList<PreviousDefaultHandler>> savedHandlers() {
        const auto bytes = defaults.data(SystemIntegrationService::previousDefaultHandlersKey);
        return bytes ? PreviousDefaultHandler::decoded(*bytes) : std::nullopt;
    }
    // The handler of each type's first row, in type order.
    static QStringList handlers(const QList<DefaultArchiveToolResult>& rows) {
        QStringList list;
        for (qsizetype i = 0; i < rows.size(); i += 4)
            list.append(rows.at(i).currentHandler.value_or(QStringLiteral("-")));
        return list;
    }

    XdgEnvironment xdg;
    DefaultsStore defaults{xdg.tree().path(QStringLiteral("defaults"))};
    SystemIntegrationService service{defaults, xdg.tree().path(QStringLiteral("bin/velmora"))};
};

class DesktopSpecificTest : public SystemIntegrationServiceTest {
protected:
    DesktopSpecificTest() : SystemIntegrationServiceTest("KDE:GNOME") {}
};

TEST_F(SystemIntegrationServiceTest, StatusHasSixteenRowsInTypeAndRoleOrder) {
    writeUserFile(
        "[Default Applications]\napplication/x-zip-compressed=peazip.desktop;\n"
        "application/vnd.rar=missing.desktop;ark.desktop;\n");
    xdg.tree().writeFile(QStringLiteral("etc-xdg/mimeapps.list"),
                         "[Default Applications]\napplication/zip=file-roller.desktop;\n");

    const QList<DefaultArchiveToolResult> rows = service.currentDefaultArchiveToolResults();

    ASSERT_EQ(rows.size(), 16);
    const QStringList names{"ZIP", "ZIP(PKWARE)", "RAR", "7Z"};
    const QStringList roles{QStringLiteral(u"打开"), QStringLiteral(u"文件管理器"), QStringLiteral(u"编辑"),
                            QStringLiteral(u"全部")};
    for (qsizetype i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows.at(i).displayName, names.at(i / 4));
        EXPECT_EQ(rows.at(i).roleName, roles.at(i % 4));
        EXPECT_EQ(rows.at(i).isDefaultOpenRole, i % 4 == 0);
        EXPECT_EQ(rows.at(i).currentHandler, rows.at(i - i % 4).currentHandler);
        EXPECT_FALSE(rows.at(i).isVelmora);
    }
    // An alias in the user's file outranks the system's file; an ID that is not installed is passed over.
    EXPECT_EQ(handlers(rows), QStringList({"peazip.desktop", "peazip.desktop", "ark.desktop", "-"}));
    EXPECT_EQ(rows.at(4).identifier, "application/x-zip-compressed");
}

TEST_F(SystemIntegrationServiceTest, TakingOverTwiceKeepsTheFirstPreviousHandlers) {
    writeUserFile("[Default Applications]\napplication/zip=ark.desktop;\n");
    xdg.tree().writeFile(QStringLiteral("usr-share/applications/mimeapps.list"),
                         "[Default Applications]\napplication/x-7z-compressed=file-roller.desktop;\n");

    const QList<DefaultArchiveToolResult> rows = service.setAsDefaultArchiveTool();
    const QList<PreviousDefaultHandler> expected{
        {"application/zip", 0xFFFFFFFF, "ark.desktop"},
        {"application/vnd.rar", 0xFFFFFFFF, std::nullopt},
        {"application/x-7z-compressed", 0xFFFFFFFF, "file-roller.desktop"},
    };
    EXPECT_EQ(savedHandlers(), expected);
    EXPECT_EQ(defaults.data(SystemIntegrationService::previousDefaultHandlersKey),
              "[{\"handler\":\"ark.desktop\",\"identifier\":\"application/zip\",\"roleRawValue\":4294967295},"
              "{\"identifier\":\"application/vnd.rar\",\"roleRawValue\":4294967295},"
              "{\"handler\":\"file-roller.desktop\",\"identifier\":\"application/x-7z-compressed\","
              "\"roleRawValue\":4294967295}]");
    EXPECT_TRUE(std::all_of(rows.begin(), rows.end(), [](const auto& row) { return row.isVelmora; }));
    EXPECT_EQ(readUserFile(),
              "[Default Applications]\napplication/zip=com.velmora.pro.desktop;ark.desktop;\n"
              "application/vnd.rar=com.velmora.pro.desktop;\n"
              "application/x-7z-compressed=com.velmora.pro.desktop;\n");

    const QByteArray afterFirst = readUserFile();
    service.setAsDefaultArchiveTool();
    EXPECT_EQ(savedHandlers(), expected);
    EXPECT_EQ(readUserFile(), afterFirst);
}

TEST_F(SystemIntegrationServiceTest, OtherLinesGroupsAndCommentsSurviveTakeOverAndRestore) {
    const QByteArray original =
        "# my associations\n"
        "[Added Associations]\n"
        "application/zip=peazip.desktop;\n"
        "\n"
        "[Default Applications]\n"
        "text/plain=org.kde.kate.desktop\n"
        "application/zip=ark.desktop;\n"
        "application/x-rar=ark.desktop;\n"
        "# keep me\n"
        "\n"
        "[Removed Associations]\n"
        "image/png=gimp.desktop;\n";
    writeUserFile(original);
    QFile::setPermissions(xdg.tree().path(userFile()), QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    service.setAsDefaultArchiveTool();
    EXPECT_EQ(fileMode(xdg.tree().path(userFile())), 0600);
    EXPECT_EQ(readUserFile(),
              "# my associations\n"
              "[Added Associations]\n"
              "application/zip=peazip.desktop;\n"
              "\n"
              "[Default Applications]\n"
              "text/plain=org.kde.kate.desktop\n"
              "application/zip=com.velmora.pro.desktop;ark.desktop;\n"
              "application/x-rar=com.velmora.pro.desktop;ark.desktop;\n"
              "application/vnd.rar=com.velmora.pro.desktop;\n"
              "application/x-7z-compressed=com.velmora.pro.desktop;\n"
              "# keep me\n"
              "\n"
              "[Removed Associations]\n"
              "image/png=gimp.desktop;\n");

    const QList<DefaultArchiveToolResult> rows = service.restoreSystemDefaultArchiveTool();
    EXPECT_EQ(readUserFile(), original);
    EXPECT_EQ(handlers(rows), QStringList({"ark.desktop", "ark.desktop", "ark.desktop", "-"}));
    EXPECT_FALSE(savedHandlers());
}

TEST_F(SystemIntegrationServiceTest, RestoreLeavesTheUserFileAsItWas) {
    struct Case {
        std::optional<QByteArray> before;
        // Written between the take-over and the restore, after the file as velmora left it.
        QByteArray addedMeanwhile;
        std::optional<QByteArray> after;
    };
    const QByteArray other = "[Default Applications]\napplication/zip=org.example.Other.desktop\n";
    const QByteArray spaced = "[Default Applications]\r\napplication/zip = ark.desktop\r\nx/y=z\r\n";
    const QList<Case> cases{
        {other, {}, other},
        {spaced, {}, spaced},
        {std::nullopt, {}, std::nullopt},
        {"[Default Applications]\n", {}, "[Default Applications]\n"},
        {"", {}, ""},
        {"[Added Associations]\napplication/zip=ark.desktop;\n",
         {},
         "[Added Associations]\napplication/zip=ark.desktop;\n"},
        {"# mine\n[Added Associations]\nx/y=z", {}, "# mine\n[Added Associations]\nx/y=z"},
        {std::nullopt, "text/plain=kate.desktop;\n", "[Default Applications]\ntext/plain=kate.desktop;\n"},
    };
    for (const Case& c : cases) {
        if (c.before) writeUserFile(*c.before);
        service.setAsDefaultArchiveTool();
        writeUserFile(readUserFile() + c.addedMeanwhile);
        service.restoreSystemDefaultArchiveTool();

        const QString path = xdg.tree().path(userFile());
        EXPECT_EQ(QFileInfo::exists(path), c.after.has_value()) << c.before.value_or("none").constData();
        if (c.after) {
            EXPECT_EQ(readUserFile(), *c.after);
        }
        QFile::remove(path);
    }
    EXPECT_FALSE(defaults.data(SystemIntegrationService::addedGroupKey));
}

TEST_F(SystemIntegrationServiceTest, RestoreGivesBackLostDefaultsAndLeavesLaterChoices) {
    writeUserFile("[Default Applications]\napplication/zip=ark.desktop;\napplication/vnd.rar=ark.desktop;\n");
    service.setAsDefaultArchiveTool();
    // Another tool rewrote ZIP to velmora alone; the user then gave 7Z to PeaZip.
    writeUserFile(
        "[Default Applications]\napplication/zip=com.velmora.pro.desktop;\n"
        "application/vnd.rar=com.velmora.pro.desktop;ark.desktop;\n"
        "application/x-7z-compressed=peazip.desktop;\n");

    const QList<DefaultArchiveToolResult> rows = service.restoreSystemDefaultArchiveTool();

    EXPECT_EQ(readUserFile(),
              "[Default Applications]\napplication/vnd.rar=ark.desktop;\n"
              "application/x-7z-compressed=peazip.desktop;\napplication/zip=ark.desktop;\n");
    EXPECT_EQ(handlers(rows), QStringList({"ark.desktop", "ark.desktop", "ark.desktop", "peazip.desktop"}));
}

TEST_F(DesktopSpecificTest, DesktopSpecificFileIsEditedWhereItSetsTheTypes) {
    const QByteArray kde = "[Default Applications]\napplication/zip=ark.desktop;\ntext/plain=kate.desktop;\n";
    writeUserFile(kde, QStringLiteral("kde-mimeapps.list"));
    xdg.tree().writeFile(QStringLiteral("etc-xdg/gnome-mimeapps.list"),
                         "[Default Applications]\napplication/vnd.rar=file-roller.desktop;\n");

    EXPECT_EQ(handlers(service.currentDefaultArchiveToolResults()),
              QStringList({"ark.desktop", "ark.desktop", "file-roller.desktop", "-"}));

    const QList<DefaultArchiveToolResult> rows = service.setAsDefaultArchiveTool();
    EXPECT_TRUE(std::all_of(rows.begin(), rows.end(), [](const auto& row) { return row.isVelmora; }));
    EXPECT_EQ(
        readUserFile(QStringLiteral("kde-mimeapps.list")),
        "[Default "
        "Applications]\napplication/zip=com.velmora.pro.desktop;ark.desktop;\ntext/plain=kate.desktop;\n");
    EXPECT_FALSE(QFileInfo::exists(xdg.tree().path(QStringLiteral("config/gnome-mimeapps.list"))));

    service.restoreSystemDefaultArchiveTool();
    EXPECT_EQ(readUserFile(QStringLiteral("kde-mimeapps.list")), kde);
    EXPECT_FALSE(QFileInfo::exists(xdg.tree().path(userFile())));
}

TEST_F(DesktopSpecificTest, UnparsableFileFailsAndStaysByteForByte) {
    const QByteArray broken = "[Default Applications]\napplication/zip=ark.desktop;\nthis is not a key\n";
    for (const QString& name : {QStringLiteral("mimeapps.list"), QStringLiteral("gnome-mimeapps.list")}) {
        writeUserFile(broken, name);
        for (const bool takeOver : {true, false}) {
            try {
                takeOver ? service.setAsDefaultArchiveTool() : service.restoreSystemDefaultArchiveTool();
                ADD_FAILURE() << "no failure for a broken " << name.toStdString();
            } catch (const SystemIntegrationError& error) {
                EXPECT_EQ(error.kind(), SystemIntegrationError::Kind::launchServicesPreferenceFailed);
                EXPECT_TRUE(error.message().startsWith(QStringLiteral(u"系统默认打开方式偏好写入失败：")));
            }
            EXPECT_EQ(readUserFile(name), broken);
        }
        EXPECT_FALSE(savedHandlers());
        QFile::remove(xdg.tree().path(userFile(name)));
    }
}

TEST_F(SystemIntegrationServiceTest, WithoutItsDesktopEntryNothingIsTouched) {
    QFile::remove(xdg.tree().path(QStringLiteral("usr-share/applications/") + kVelmora));
    const std::function<void()> operations[] = {
        [&] { service.setAsDefaultArchiveTool(); },
        [&] { service.restoreSystemDefaultArchiveTool(); },
        [&] { service.currentDefaultArchiveToolResults(); },
    };
    for (const auto& operation : operations) {
        try {
            operation();
            ADD_FAILURE() << "no failure without the desktop entry";
        } catch (const SystemIntegrationError& error) {
            EXPECT_EQ(error.kind(), SystemIntegrationError::Kind::bundleIdentifierUnavailable);
        }
    }
    EXPECT_FALSE(QFileInfo::exists(xdg.tree().path(userFile())));
}

TEST_F(SystemIntegrationServiceTest, UnwritableConfigFolderFailsWithTheSystemsReason) {
    xdg.tree().writeFile(QStringLiteral("config/mimeapps.list/x"), "a folder stands where the file goes");
    try {
        service.setAsDefaultArchiveTool();
        ADD_FAILURE() << "no failure";
    } catch (const SystemIntegrationError& error) {
        EXPECT_EQ(error.kind(), SystemIntegrationError::Kind::launchServicesPreferenceFailed);
        EXPECT_GT(error.message().size(), QStringLiteral(u"系统默认打开方式偏好写入失败：").size());
    }
}

// A record velmora keeps to undo its changes that cannot be saved (a folder stands where its file
// goes) fails the change, and nothing is left that switching off could not take away.
TEST_F(SystemIntegrationServiceTest, ARecordThatCannotBeSavedFailsTheChange) {
    const FakeTool helper(xdg.tree().path(QStringLiteral("bin")), QStringLiteral("velmoraFinderSync"), {});
    using Service = SystemIntegrationService;
    for (const QString& key : {Service::previousDefaultHandlersKey, Service::addedGroupKey,
                               Service::createdFileManagerFoldersKey}) {
        SCOPED_TRACE(key.toStdString());
        const QString blocked = xdg.tree().makeFolder(QStringLiteral("defaults/") + key + ".json");
        try {
            key == Service::createdFileManagerFoldersKey ? service.setFileManagerEntriesEnabled(true)
                                                         : (void)service.setAsDefaultArchiveTool();
            ADD_FAILURE() << "no failure";
        } catch (const SystemIntegrationError& error) {
            EXPECT_EQ(error.kind(), SystemIntegrationError::Kind::recordSaveFailed);
        }
        for (const QString& home : {xdg.configHome(), xdg.dataHome()})
            EXPECT_TRUE(QDir(home).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QDir(blocked).removeRecursively();
    }
}

}  // namespace
