#include "viewmodels/PasswordBookFilterProxy.h"
#include "viewmodels/PasswordBookPageRules.h"
#include "viewmodels/PasswordBookTableModel.h"
#include "viewmodels/PasswordBookViewModel.h"
#include "viewmodels/WorkbenchFixture.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QSignalSpy>

using Kind = ArchivePasswordBookKind;
namespace Rules = PasswordBookPageRules;

namespace {

ArchivePasswordBookEntry entry(const QString& label, const QString& scopeKey, const QString& password) {
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000);
    return {.id = QUuid::createUuid(),
            .label = label,
            .scopeKey = scopeKey,
            .password = password,
            .createdAt = when,
            .lastUsedAt = when,
            .useCount = 0};
}

const QList<ArchivePasswordBookEntry>& book() {
    static const QList<ArchivePasswordBookEntry> entries{
        entry("工作", "manual::工作", "Secret1"),      entry("照片.zip", "zip::照片", "abc"),
        entry("Backup", "compression::backup", "xyz"), entry("Team", "compression::team", "MANUAL"),
        entry("旧资料", "manual::旧资料", "abc"),
    };
    return entries;
}

QStringList labels(const QList<ArchivePasswordBookEntry>& entries) {
    QStringList result;
    for (const auto& e : entries) result << e.label;
    return result;
}

struct FilterCase {
    const char* name;
    Kind kind;
    QString search;
    QStringList expected;
};

class PasswordBookFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(PasswordBookFilter, KeepsTheShownBookAndMatchingEntriesInStoredOrder) {
    const FilterCase& c = GetParam();
    EXPECT_EQ(labels(Rules::filteredEntries(book(), c.kind, c.search)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PasswordBookFilter,
    ::testing::Values(FilterCase{"ExtractionBook", Kind::extraction, "", {"工作", "照片.zip", "旧资料"}},
                      FilterCase{
                          "BlanksAreNoQuery", Kind::extraction, " \n\t ", {"工作", "照片.zip", "旧资料"}},
                      FilterCase{"ScopeKey", Kind::extraction, "manual::", {"工作", "旧资料"}},
                      FilterCase{"PasswordIgnoresCase", Kind::extraction, "SECRET", {"工作"}},
                      FilterCase{"QueryIsTrimmed", Kind::extraction, "  abc\n", {"照片.zip", "旧资料"}},
                      FilterCase{"CompressionBook", Kind::compression, "", {"Backup", "Team"}},
                      FilterCase{"CompressionPassword", Kind::compression, "manual", {"Team"}},
                      FilterCase{"OtherBookNeverShows", Kind::extraction, "xyz", {}},
                      FilterCase{"NoHit", Kind::compression, "工作", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PasswordBookPageRulesTest, EnableRules) {
    EXPECT_FALSE(Rules::canDelete(std::nullopt));
    EXPECT_TRUE(Rules::canDelete(QUuid::createUuid()));
    EXPECT_FALSE(Rules::canExport(0));
    EXPECT_TRUE(Rules::canExport(1));
    EXPECT_FALSE(Rules::canSave(""));
    EXPECT_FALSE(Rules::canSave(" \n\t"));
    EXPECT_TRUE(Rules::canSave(" a "));
}

TEST(PasswordBookPageRulesTest, TextsOfTheBooks) {
    EXPECT_EQ(Rules::bookTitle(Kind::extraction), QStringLiteral(u"解压密码本"));
    EXPECT_EQ(Rules::bookTitle(Kind::compression), QStringLiteral(u"压缩密码本"));
    EXPECT_EQ(Rules::passwordColumnTitle(Kind::compression), QStringLiteral(u"压缩密码（单击编辑）"));
    EXPECT_EQ(Rules::exportFileName(Kind::compression), "velmora-compress-passwords.json");
    EXPECT_EQ(Rules::exportFileName(Kind::extraction), "velmora-extract-passwords.json");
    EXPECT_EQ(Rules::countText(12), QStringLiteral(u"12 条"));
}

TEST(PasswordBookPageRulesTest, MaskShowsOneDotPerCharacter) {
    EXPECT_EQ(Rules::maskedPassword(""), "");
    EXPECT_EQ(Rules::maskedPassword("abc"), QStringLiteral(u"•••"));
    EXPECT_EQ(Rules::maskedPassword(QStringLiteral(u"密码😀")), QStringLiteral(u"•••"));
}

class PasswordBookTableTest : public ::testing::Test {
protected:
    PasswordBookTableTest() {
        model.setEntries(book());
        proxy.setSourceModel(&model);
    }

    QStringList shownColumn(int column) const {
        QStringList texts;
        for (int row = 0; row < proxy.rowCount(); ++row) texts << proxy.index(row, column).data().toString();
        return texts;
    }

    PasswordBookTableModel model;
    PasswordBookFilterProxy proxy;
    QAbstractItemModelTester modelTester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    QAbstractItemModelTester proxyTester{&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(PasswordBookTableTest, ProxyFollowsBookAndSearch) {
    proxy.setSearch("abc");
    EXPECT_EQ(shownColumn(PasswordBookTableModel::labelColumn), QStringList({"照片.zip", "旧资料"}));
    proxy.setSearch("");
    proxy.setKind(Kind::compression);
    EXPECT_EQ(shownColumn(PasswordBookTableModel::labelColumn), QStringList({"Backup", "Team"}));
    EXPECT_EQ(proxy.headerData(PasswordBookTableModel::passwordColumn, Qt::Horizontal).toString(),
              QStringLiteral(u"压缩密码（单击编辑）"));
    model.setEntries(book().mid(3));
    EXPECT_EQ(shownColumn(PasswordBookTableModel::labelColumn), QStringList({"Team"}));
}

TEST_F(PasswordBookTableTest, PasswordsAreMaskedUntilRevealed) {
    EXPECT_EQ(shownColumn(PasswordBookTableModel::passwordColumn),
              QStringList({QStringLiteral(u"•••••••"), QStringLiteral(u"•••"), QStringLiteral(u"•••")}));
    EXPECT_EQ(proxy.index(0, PasswordBookTableModel::passwordColumn).data(Qt::EditRole), "Secret1");
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setRevealPasswords(true);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(shownColumn(PasswordBookTableModel::passwordColumn), QStringList({"Secret1", "abc", "abc"}));
}

TEST_F(PasswordBookTableTest, FinishedEditIsAnnouncedOnceAndOnlyWhenTheTextChanged) {
    QSignalSpy edits(&model, &PasswordBookTableModel::editFinished);
    const QModelIndex label = proxy.index(1, PasswordBookTableModel::labelColumn);
    EXPECT_FALSE(proxy.setData(label, "照片.zip"));
    EXPECT_FALSE(proxy.setData(proxy.index(1, PasswordBookTableModel::lastUsedColumn), "x"));
    EXPECT_TRUE(proxy.setData(proxy.index(1, PasswordBookTableModel::passwordColumn), "new"));
    ASSERT_EQ(edits.count(), 1);
    EXPECT_EQ(edits[0][0].toUuid(), book()[1].id);
    EXPECT_EQ(edits[0][1].value<PasswordBookEditableField>(), PasswordBookEditableField::password);
    EXPECT_EQ(edits[0][2].toString(), "new");
    // The model shows what the store keeps, which the page reloads.
    EXPECT_EQ(label.siblingAtColumn(PasswordBookTableModel::passwordColumn).data(Qt::EditRole), "abc");
}

using PasswordBookModelTest = WorkbenchFixture;

// The model holds a copy of the store's books: another book drops the selection and reads them again.
TEST_F(PasswordBookModelTest, AnotherBookDropsTheSelectionAndReadsTheStoreAgain) {
    PasswordBookViewModel& page = models().passwordBook();
    const QUuid id = passwordBook.addManualPassword("pw", "a", Kind::extraction).entry->id;
    EXPECT_TRUE(page.passwordBookEntries().isEmpty());
    page.setSelectedPasswordBookEntryID(id);
    page.setPasswordBookKind(Kind::compression);
    EXPECT_FALSE(page.selectedPasswordBookEntryID().has_value());
    EXPECT_EQ(page.passwordBookEntries().size(), 1);
    EXPECT_FALSE(page.canExport());
    page.setPasswordBookKind(Kind::extraction);
    EXPECT_TRUE(page.canExport());
}

// A password goes to the fields of its own book's pages, and only to them.
TEST_F(PasswordBookModelTest, AppliedPasswordFillsThePagesOfItsBook) {
    const QUuid extraction = passwordBook.addManualPassword("x-pass", "x", Kind::extraction).entry->id;
    const QUuid compression = passwordBook.addManualPassword("c-pass", "c", Kind::compression).entry->id;
    PasswordBookViewModel& page = models().passwordBook();
    const struct {
        Kind kind;
        QUuid id;
        QString extractionPassword;
        QString compressionPassword;
        bool splitPasswordOn;
        QString status;
    } cases[] = {
        {Kind::extraction, extraction, "x-pass", "", false,
         QStringLiteral(u"已将该密码应用到解压密码输入框。")},
        {Kind::compression, compression, "x-pass", "c-pass", true,
         QStringLiteral(u"已将该密码应用到压缩密码输入框。")},
    };
    for (const auto& c : cases) {
        page.setPasswordBookKind(c.kind);
        page.applyPasswordBookEntry(c.id);
        EXPECT_EQ(extract().extractionPassword(), c.extractionPassword);
        EXPECT_EQ(compress().compressionPassword(), c.compressionPassword);
        EXPECT_EQ(splitCompress().splitCompressionPasswordEnabled(), c.splitPasswordOn);
        EXPECT_EQ(splitCompress().splitCompressionPasswordConfirmation(), c.compressionPassword);
        EXPECT_EQ(status(), c.status);
    }
}

}  // namespace
