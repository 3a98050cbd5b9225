#include "support/FullDisk.h"
#include "viewmodels/PasswordBookTableModel.h"
#include "viewmodels/PasswordBookViewModel.h"
#include "viewmodels/WorkbenchFixture.h"
#include "views/main/PasswordBookAddSheet.h"
#include "views/main/PasswordBookFilePanels.h"
#include "views/main/PasswordBookPage.h"
#include "views/main/PasswordBookTableDelegate.h"

#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

using Kind = ArchivePasswordBookKind;

namespace {

// Answers the import and export panels with the next scripted path; an empty script cancels.
class ScriptedPanels : public PasswordBookFilePanels {
public:
    explicit ScriptedPanels(QStringList* answers) : m_answers(answers) {}

    void chooseImportFile(QWidget*, Chosen chosen) override { answer(chosen); }
    void chooseExportFile(QWidget*, const QString& proposedName, Chosen chosen) override {
        proposedNames << proposedName;
        answer(chosen);
    }

    inline static QStringList proposedNames;

private:
    void answer(const Chosen& chosen) {
        if (!m_answers->isEmpty()) chosen(m_answers->takeFirst());
    }

    QStringList* m_answers;
};

class PasswordBookPageTest : public WorkbenchFixture {
protected:
    void SetUp() override { ScriptedPanels::proposedNames.clear(); }

    PasswordBookPage& page() {
        if (!m_page) {
            m_page = std::make_unique<PasswordBookPage>(book(), models().tasks());
            m_page->setFilePanels(std::make_unique<ScriptedPanels>(&panelAnswers));
            m_page->resize(1100, 700);
            m_page->show();
        }
        return *m_page;
    }

    QUuid add(const QString& label, const QString& password, Kind kind = Kind::extraction) {
        return passwordBook.addManualPassword(password, label, kind).entry->id;
    }

    QStringList storedLabels(Kind kind = Kind::extraction) const {
        QStringList labels;
        for (const auto& entry : passwordBook.entries(kind)) labels << entry.label;
        labels.sort();
        return labels;
    }

    QStringList shownLabels() {
        QStringList labels;
        QAbstractItemModel* shown = page().table()->model();
        for (int row = 0; row < shown->rowCount(); ++row) {
            labels << shown->index(row, PasswordBookTableModel::labelColumn).data().toString();
        }
        return labels;
    }

    int rowOf(const QUuid& id) {
        QAbstractItemModel* shown = page().table()->model();
        for (int row = 0; row < shown->rowCount(); ++row) {
            if (shown->index(row, 0).data(PasswordBookTableModel::EntryIDRole).toUuid() == id) return row;
        }
        return -1;
    }

    void clickCell(int row, int column, const std::function<QRect(const QRect&)>& inCell = {}) {
        QTableView* table = page().table();
        const QRect cell = table->visualRect(table->model()->index(row, column));
        const QRect target = inCell ? inCell(cell) : cell;
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, target.center());
    }

    QString statusText() { return context().statusMessage().value_or(QString()); }

    PasswordBookViewModel& book() { return models().passwordBook(); }

    QStringList panelAnswers;
    std::unique_ptr<PasswordBookPage> m_page;
};

// Typing a name that passes through another entry's name and password ("ab" -> "a" -> "ac") must not
// merge the two: the store sees only the finished name.
TEST_F(PasswordBookPageTest, EditIsStoredOnceWhenItFinishes) {
    const QUuid edited = add("ab", "same");
    add("a", "same");
    QTableView* table = page().table();
    QSignalSpy edits(page().findChild<PasswordBookTableModel*>(), &PasswordBookTableModel::editFinished);

    table->edit(table->model()->index(rowOf(edited), PasswordBookTableModel::labelColumn));
    auto* editor = table->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "a");
    EXPECT_EQ(storedLabels(), QStringList({"a", "ab"}));
    QTest::keyClicks(editor, "c");
    EXPECT_EQ(storedLabels(), QStringList({"a", "ab"}));
    EXPECT_EQ(edits.count(), 0);
    QTest::keyClick(editor, Qt::Key_Return);

    ASSERT_TRUE(QTest::qWaitFor([&] { return edits.count() > 0; }, 5000));
    EXPECT_EQ(edits.count(), 1);
    EXPECT_EQ(storedLabels(), QStringList({"a", "ac"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownLabels().contains("ac"); }, 5000));
}

TEST_F(PasswordBookPageTest, EditOfAMaskedPasswordUsesAPasswordFieldAndABlankOneIsRefused) {
    const QUuid id = add("work", "secret");
    QTableView* table = page().table();
    const QModelIndex cell = table->model()->index(rowOf(id), PasswordBookTableModel::passwordColumn);
    EXPECT_EQ(cell.data().toString(), QStringLiteral(u"••••••"));

    table->edit(cell);
    auto* editor = table->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->echoMode(), QLineEdit::Password);
    editor->selectAll();
    QTest::keyClicks(editor, "  ");
    QSignalSpy edits(page().findChild<PasswordBookTableModel*>(), &PasswordBookTableModel::editFinished);
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return edits.count() > 0; }, 5000));
    // The store keeps the old password, and the reload shows it again.
    EXPECT_EQ(passwordBook.entries().first().password, "secret");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return table->model()->index(0, PasswordBookTableModel::passwordColumn).data(Qt::EditRole) ==
                   "secret";
        },
        5000));
}

TEST_F(PasswordBookPageTest, DeleteRemovesTheSelectedEntryEvenWhenTheSearchHidesIt) {
    const QUuid hidden = add("alpha", "one");
    add("beta", "two");
    clickCell(rowOf(hidden), PasswordBookTableModel::indexColumn);
    EXPECT_EQ(book().selectedPasswordBookEntryID(), hidden);

    page().searchField()->setText("beta");
    EXPECT_EQ(shownLabels(), QStringList({"beta"}));
    EXPECT_EQ(page().countLabel()->text(), QStringLiteral(u"1 条"));
    EXPECT_EQ(book().selectedPasswordBookEntryID(), hidden);
    ASSERT_TRUE(page().deleteButton()->isEnabled());

    page().deleteButton()->click();
    EXPECT_EQ(storedLabels(), QStringList({"beta"}));
    EXPECT_EQ(book().selectedPasswordBookEntryID(), std::nullopt);
    EXPECT_FALSE(page().deleteButton()->isEnabled());
    EXPECT_EQ(statusText(), QStringLiteral(u"已删除选中的密码。"));
}

TEST_F(PasswordBookPageTest, RowButtonsUseAndDeleteTheirOwnRow) {
    const QUuid first = add("first", "p1", Kind::compression);
    const QUuid second = add("second", "p2", Kind::compression);
    book().setPasswordBookKind(Kind::compression);
    clickCell(rowOf(first), PasswordBookTableModel::indexColumn);

    clickCell(rowOf(second), PasswordBookTableModel::actionsColumn,
              &PasswordBookTableDelegate::useButtonRect);
    EXPECT_EQ(compress().compressionPassword(), "p2");
    EXPECT_EQ(extract().extractionPassword(), "");
    EXPECT_TRUE(splitCompress().splitCompressionPasswordEnabled());
    EXPECT_EQ(splitCompress().splitCompressionPassword(), "p2");
    EXPECT_EQ(splitCompress().splitCompressionPasswordConfirmation(), "p2");
    EXPECT_EQ(statusText(), QStringLiteral(u"已将该密码应用到压缩密码输入框。"));

    clickCell(rowOf(second), PasswordBookTableModel::actionsColumn,
              &PasswordBookTableDelegate::deleteButtonRect);
    EXPECT_EQ(storedLabels(Kind::compression), QStringList({"first"}));
    EXPECT_EQ(book().selectedPasswordBookEntryID(), std::nullopt);
}

TEST_F(PasswordBookPageTest, ExportWritesOnlyThatBookForTheOwnerAndImportReadsItBack) {
    add("work", "w-pass");
    add("home", "h-pass");
    add("zip", "c-pass", Kind::compression);
    const QString file = files.path("exported.json");
    panelAnswers = {file};
    page().exportPasswordBook(Kind::extraction);

    EXPECT_EQ(ScriptedPanels::proposedNames, QStringList("velmora-extract-passwords.json"));
    EXPECT_EQ(statusText(), QStringLiteral(u"已导出解压密码本：exported.json"));
    EXPECT_EQ(fileMode(file), 0600);
    QFile exported(file);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    const QByteArray text = exported.readAll();
    const QJsonArray entries = QJsonDocument::fromJson(text).array();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].toObject().keys(),
              QStringList({"createdAt", "id", "label", "lastUsedAt", "password", "scopeKey", "useCount"}));
    // Members are written in sorted order.
    EXPECT_LT(text.indexOf("\"createdAt\""), text.indexOf("\"useCount\""));
    EXPECT_FALSE(text.contains("c-pass"));

    passwordBook.removeAll();
    book().setPasswordBookKind(Kind::compression);
    panelAnswers = {file};
    page().importPasswordBook(Kind::extraction);
    EXPECT_EQ(book().passwordBookKind(), Kind::extraction);
    EXPECT_EQ(storedLabels(), QStringList({"home", "work"}));
    EXPECT_TRUE(passwordBook.entries(Kind::compression).isEmpty());
    EXPECT_EQ(statusText(), QStringLiteral(u"已导入 2 条解压密码本。"));
    EXPECT_EQ(shownLabels().size(), 2);
}

TEST_F(PasswordBookPageTest, FailuresAndCancelledPanelsOfImportAndExport) {
    add("work", "w-pass");
    page().importPasswordBook(Kind::compression);  // cancelled
    page().exportPasswordBook(Kind::extraction);   // cancelled
    EXPECT_EQ(statusText(), QString());
    EXPECT_EQ(alert(), QString());

    panelAnswers = {files.path("missing.txt"), files.path("no/such/folder/out.json")};
    page().importPasswordBook(Kind::compression);
    EXPECT_TRUE(alert().startsWith(QStringLiteral(u"导入失败：无法打开文件：")));
    EXPECT_EQ(book().passwordBookKind(), Kind::extraction);
    page().exportPasswordBook(Kind::extraction);
    EXPECT_TRUE(alert().startsWith(QStringLiteral(u"导出失败：无法写入文件：")));
    EXPECT_TRUE(alert().endsWith(QStringLiteral(u"）。"))) << alert().toStdString();
}

TEST_F(PasswordBookPageTest, AddSheetSavesOnlyAPasswordThatIsNotBlank) {
    add("old", "x");
    page().addButton()->click();
    PasswordBookAddSheet* sheet = page().addSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(book().isAddingPasswordBookEntry());
    EXPECT_FALSE(sheet->saveButton()->isEnabled());
    QTest::keyClicks(sheet->passwordField(), " \t ");
    EXPECT_FALSE(sheet->saveButton()->isEnabled());
    QTest::keyClicks(sheet->labelField(), "work zip");
    QTest::keyClicks(sheet->passwordField(), "pw");
    ASSERT_TRUE(sheet->saveButton()->isEnabled());

    sheet->saveButton()->click();
    EXPECT_FALSE(book().isAddingPasswordBookEntry());
    EXPECT_TRUE(QTest::qWaitFor([&] { return page().addSheet() == nullptr; }, 5000));
    EXPECT_EQ(storedLabels(), QStringList({"old", "work zip"}));
    EXPECT_EQ(passwordBook.entries().first().password, "pw");
    EXPECT_EQ(book().selectedPasswordBookEntryID(), passwordBook.entries().first().id);
    EXPECT_EQ(statusText(), QStringLiteral(u"已添加一条解压密码本。"));

    // The add button starts with empty fields; cancelling keeps the book as it is.
    page().addButton()->click();
    ASSERT_NE(page().addSheet(), nullptr);
    EXPECT_TRUE(page().addSheet()->passwordField()->text().isEmpty());
    page().addSheet()->reject();
    EXPECT_FALSE(book().isAddingPasswordBookEntry());
    EXPECT_EQ(passwordBook.entries().size(), 2);
}

TEST_F(PasswordBookPageTest, ButtonStatesFollowSelectionAndTheStoredBook) {
    add("zip", "c-pass", Kind::compression);
    page();
    struct Case {
        const char* step;
        std::function<void()> act;
        bool deleteEnabled;
        bool exportEnabled;
        bool emptyState;
    };
    const QList<Case> cases{
        {"empty extraction book", [] {}, false, false, true},
        {"compression book", [&] { book().setPasswordBookKind(Kind::compression); }, false, true, false},
        {"search without hits", [&] { book().setPasswordBookSearch("nothing"); }, false, true, true},
        {"search of blanks", [&] { book().setPasswordBookSearch(" \n "); }, false, true, false},
        {"selected", [&] { clickCell(0, PasswordBookTableModel::indexColumn); }, true, true, false},
        {"other book", [&] { book().setPasswordBookKind(Kind::extraction); }, false, false, true},
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_EQ(page().deleteButton()->isEnabled(), c.deleteEnabled) << c.step;
        EXPECT_EQ(page().exportButton()->isEnabled(), c.exportEnabled) << c.step;
        EXPECT_EQ(page().showsEmptyState(), c.emptyState) << c.step;
        EXPECT_TRUE(page().importButton()->isEnabled()) << c.step;
    }
}

TEST_F(PasswordBookPageTest, RevealShowsPasswordsAndTheSwitchesSaveTheirSetting) {
    add("work", "secret");
    page().revealButton()->click();
    EXPECT_EQ(page().revealButton()->text(), QStringLiteral(u"隐藏密码"));
    EXPECT_EQ(page().table()->model()->index(0, PasswordBookTableModel::passwordColumn).data().toString(),
              "secret");

    auto* autoSave = page().findChild<QCheckBox*>();
    ASSERT_NE(autoSave, nullptr);
    ASSERT_TRUE(autoSave->isChecked());
    context().setStatusMessage(std::nullopt);
    QCoreApplication::processEvents();
    const QPoint before = autoSave->mapTo(&page(), QPoint());
    autoSave->click();
    EXPECT_FALSE(settingsStore.load().archivePasswordBookAutoSaveEnabled);
    EXPECT_FALSE(context().settings().archivePasswordBookAutoSaveEnabled);
    EXPECT_EQ(statusText(), QStringLiteral(u"已关闭自动保存正确密码。"));
    // The message that answers the click leaves the switch under the pointer.
    QCoreApplication::processEvents();
    EXPECT_EQ(autoSave->mapTo(&page(), QPoint()), before);
}

// What the page says when a file is not a password list, the disk is full or the book is damaged.
TEST_F(PasswordBookPageTest, RefusedImportsFailedSavesAndADamagedBookAreShown) {
    FullDisk disk(defaultsFolder.path());
    add("old", "x");
    panelAnswers = {files.writeFile("logins.json", R"([{"site":"mail","pass":"pw"}])")};
    page().importPasswordBook(Kind::extraction);
    EXPECT_TRUE(alert().startsWith(QStringLiteral(u"导入失败：这个 JSON 文件不是 velmora 导出的密码本")))
        << alert().toStdString();
    EXPECT_EQ(storedLabels(), QStringList{"old"});
    EXPECT_FALSE(page().conditionLabel()->isVisible());

    disk.fill();
    page().addButton()->click();
    QTest::keyClicks(page().addSheet()->passwordField(), "new");
    page().addSheet()->saveButton()->click();
    EXPECT_EQ(alert(), QStringLiteral(u"保存失败：") + disk.reason());
    EXPECT_TRUE(book().isAddingPasswordBookEntry());
    page().addSheet()->reject();
    disk.free();
    EXPECT_EQ(storedLabels(), QStringList{"old"});

    // One entry with a number written as text: the others load, the page counts it and names the copy.
    QJsonArray book =
        QJsonDocument::fromJson(DefaultsStore(defaultsFolder.path()).data("archivePasswordBook").value())
            .array();
    QJsonObject bad = book.first().toObject();
    bad.insert("useCount", "7");
    book.append(bad);
    DefaultsStore(defaultsFolder.path()).setData("archivePasswordBook", QJsonDocument(book).toJson());
    page().hide();
    page().show();
    EXPECT_EQ(shownLabels(), QStringList{"old"});
    ASSERT_TRUE(page().conditionLabel()->isVisible());
    const QString text = page().conditionLabel()->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral(u"密码本中有 1 条记录无法读取，已跳过。原文件已另存为 ") +
                                defaultsFolder.path() + "/archivePasswordBook.json.bad-"))
        << text.toStdString();
}

}  // namespace
