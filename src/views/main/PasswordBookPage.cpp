#include "views/main/PasswordBookPage.h"

#include "core/base/FileNameHelper.h"
#include "core/base/FileSystemError.h"
#include "core/state/ArchivePasswordBookStore.h"
#include "platform/PrivateFile.h"
#include "viewmodels/PasswordBookFilterProxy.h"
#include "viewmodels/PasswordBookPageRules.h"
#include "viewmodels/PasswordBookTableModel.h"
#include "viewmodels/WorkbenchModels.h"
#include "views/kit/Card.h"
#include "views/kit/EmptyState.h"
#include "views/kit/FeedbackBanner.h"
#include "views/kit/Icons.h"
#include "views/kit/Labels.h"
#include "views/kit/QuietSync.h"
#include "views/main/ContentViewState.h"
#include "views/main/PasswordBookAddSheet.h"
#include "views/main/PasswordBookFilePanels.h"
#include "views/main/PasswordBookPageStyle.h"
#include "views/main/PasswordBookTableDelegate.h"
#include "views/main/SettingsWriteThrough.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace Rules = PasswordBookPageRules;
using Kind = ArchivePasswordBookKind;

PasswordBookPage::PasswordBookPage(WorkbenchModels& models, WorkbenchStore& workbenchStore,
                                   SettingsStore& settingsStore, ArchivePasswordBookStore& passwordBookStore,
                                   ContentViewState& state, QWidget* parent)
    : QWidget(parent),
      m_models(models),
      m_settingsStore(settingsStore),
      m_store(passwordBookStore),
      m_state(state),
      m_panels(std::make_unique<DesktopPasswordBookFilePanels>()),
      m_tableModel(new PasswordBookTableModel(this)),
      m_proxy(new PasswordBookFilterProxy(this)),
      m_delegate(new PasswordBookTableDelegate(this)) {
    m_proxy->setSourceModel(m_tableModel);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(34, 0, 34, 30);
    column->setSpacing(14);
    column->addWidget(buildPickerCard());
    column->addWidget(buildBookCard(), 1);
    column->addWidget(new FeedbackBanner(models.context(), workbenchStore, this));

    connectState();
    syncKind();
    syncSearch();
    syncReveal();
    syncEntries();
    syncSettings();
    syncSheet();
}

PasswordBookPage::~PasswordBookPage() = default;

void PasswordBookPage::setFilePanels(std::unique_ptr<PasswordBookFilePanels> panels) {
    m_panels = std::move(panels);
}

QWidget* PasswordBookPage::buildPickerCard() {
    auto* card = new Card(this);
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    m_extractionBook = PasswordBookPageStyle::bookSegment(Rules::bookTitle(Kind::extraction), true, card);
    m_compressionBook = PasswordBookPageStyle::bookSegment(Rules::bookTitle(Kind::compression), false, card);
    auto* books = new QButtonGroup(card);
    books->addButton(m_extractionBook);
    books->addButton(m_compressionBook);
    auto* picker = new QHBoxLayout;
    picker->setSpacing(0);
    picker->addWidget(m_extractionBook);
    picker->addWidget(m_compressionBook);
    row->addLayout(picker);
    row->addStretch();
    m_search = new QLineEdit(card);
    m_search->setPlaceholderText(QStringLiteral(u"搜索标签、密码或作用域"));
    m_search->setClearButtonEnabled(true);
    m_search->setFixedWidth(240);
    row->addWidget(m_search);
    m_reveal = new QPushButton(card);
    row->addWidget(m_reveal);
    card->contentLayout()->addLayout(row);

    connect(m_extractionBook, &QPushButton::clicked, this,
            [this] { m_state.setPasswordBookKind(Kind::extraction); });
    connect(m_compressionBook, &QPushButton::clicked, this,
            [this] { m_state.setPasswordBookKind(Kind::compression); });
    connect(m_search, &QLineEdit::textChanged, &m_state, &ContentViewState::setPasswordBookSearch);
    connect(m_reveal, &QPushButton::clicked, this,
            [this] { m_state.setRevealPasswordBookPasswords(!m_state.revealPasswordBookPasswords()); });
    return card;
}

QWidget* PasswordBookPage::buildBookCard() {
    auto* card = new Card(this);
    auto* header = new QHBoxLayout;
    m_title = Labels::make({}, Theme::TextStyle::title3, QFont::Bold, Theme::Colour::primary, card);
    m_count = Labels::make({}, Theme::TextStyle::callout, QFont::DemiBold, Theme::Colour::secondary, card);
    header->addWidget(m_title);
    header->addWidget(m_count);
    header->addStretch();
    m_add = Labels::button(QStringLiteral(u"添加"), QStringLiteral("plus"), card);
    m_delete = Labels::button(QStringLiteral(u"删除"), QStringLiteral("minus"), card);
    m_import = Labels::button(QStringLiteral(u"批量导入"), QStringLiteral("box-arrow-down"), card);
    m_export = Labels::button(QStringLiteral(u"批量导出"), QStringLiteral("box-arrow-up"), card);
    for (QPushButton* button : {m_add, m_delete, m_import, m_export}) header->addWidget(button);
    card->contentLayout()->addLayout(header);
    m_condition = Labels::make({}, Theme::TextStyle::callout, Theme::Colour::red, card);
    m_condition->setWordWrap(true);
    m_condition->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_condition->hide();
    card->contentLayout()->addWidget(m_condition);
    card->contentLayout()->addWidget(buildTable(), 1);
    card->contentLayout()->addWidget(buildSwitches());

    connect(m_add, &QPushButton::clicked, this, [this] {
        m_state.setNewPasswordBookLabel({});
        m_state.setNewPasswordBookPassword({});
        m_state.setIsAddingPasswordBookEntry(true);
    });
    connect(m_delete, &QPushButton::clicked, this, &PasswordBookPage::removeSelectedPasswordBookEntry);
    connect(m_import, &QPushButton::clicked, this,
            [this] { importPasswordBook(m_state.passwordBookKind()); });
    connect(m_export, &QPushButton::clicked, this,
            [this] { exportPasswordBook(m_state.passwordBookKind()); });
    return card;
}

QWidget* PasswordBookPage::buildTable() {
    auto* frame = new Card(this);
    frame->setContentMargin(0);
    frame->setSpacing(0);
    frame->setBackground(Theme::Colour::textBackground);
    frame->setMinimumHeight(360);
    m_tableStack = new QStackedWidget(frame);
    m_table = new QTableView(m_tableStack);
    m_table->setModel(m_proxy);
    m_table->setItemDelegate(m_delegate);
    PasswordBookPageStyle::styleTable(m_table);
    m_empty = new EmptyState(QStringLiteral(u"暂无密码，点击“添加”或“批量导入”开始"),
                             QStringLiteral("lock-box"), m_tableStack);
    m_tableStack->addWidget(m_table);
    m_tableStack->addWidget(m_empty);
    frame->contentLayout()->addWidget(m_tableStack);

    connectTable();
    return frame;
}

void PasswordBookPage::connectTable() {
    // Only the user's press selects: the view moves its own selection when a search hides a row.
    connect(m_table, &QTableView::pressed, this,
            [this](const QModelIndex& index) { m_state.setSelectedPasswordBookEntryID(entryIDAt(index)); });
    // A click into a name or password cell edits it at once, selected row or not.
    connect(m_table, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.flags() & Qt::ItemIsEditable) m_table->edit(index);
    });
    connect(m_tableModel, &PasswordBookTableModel::editFinished, this,
            &PasswordBookPage::updatePasswordBookEntry);
    connect(m_delegate, &PasswordBookTableDelegate::useRequested, this, [this](const QModelIndex& index) {
        const QUuid id = entryIDAt(index);
        for (const ArchivePasswordBookEntry& entry : m_state.passwordBookEntries()) {
            if (entry.id == id) applyPasswordBookEntry(entry);
        }
    });
    connect(m_delegate, &PasswordBookTableDelegate::deleteRequested, this, [this](const QModelIndex& index) {
        m_state.setSelectedPasswordBookEntryID(entryIDAt(index));
        removeSelectedPasswordBookEntry();
    });
}

QWidget* PasswordBookPage::buildSwitches() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(18);
    m_autoSave = new QCheckBox(QStringLiteral(u"自动保存解压时输入的正确密码"), row);
    m_autoTry = new QCheckBox(QStringLiteral(u"打开加密压缩包时，自动尝试密码本里的密码"), row);
    auto* lostBook = new QPushButton(QStringLiteral(u"2.0 解压密码本丢失，点击自动导入 >>"), row);
    lostBook->setFlat(true);
    lostBook->setCursor(Qt::PointingHandCursor);
    lostBook->setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; padding: 0; }")
                                .arg(Theme::color(Theme::Colour::accent).name()));
    for (QWidget* widget : {static_cast<QWidget*>(m_autoSave), static_cast<QWidget*>(m_autoTry)}) {
        widget->setFont(Theme::font(Theme::TextStyle::callout));
        layout->addWidget(widget);
    }
    layout->addStretch();
    lostBook->setFont(Theme::font(Theme::TextStyle::callout));
    layout->addWidget(lostBook);

    connect(m_autoSave, &QCheckBox::toggled, this, [this](bool on) {
        setSwitch(&AppSettings::archivePasswordBookAutoSaveEnabled, on,
                  QStringLiteral(u"已开启自动保存正确密码。"), QStringLiteral(u"已关闭自动保存正确密码。"));
    });
    connect(m_autoTry, &QCheckBox::toggled, this, [this](bool on) {
        setSwitch(&AppSettings::archivePasswordBookEnabled, on, QStringLiteral(u"已开启密码本自动尝试。"),
                  QStringLiteral(u"已关闭密码本自动尝试。"));
    });
    connect(lostBook, &QPushButton::clicked, this, [this] { importPasswordBook(Kind::extraction); });
    return row;
}

void PasswordBookPage::connectState() {
    connect(&m_state, &ContentViewState::passwordBookKindChanged, this, [this] {
        // Another book: the selection goes, and the book is read afresh.
        m_state.setSelectedPasswordBookEntryID(std::nullopt);
        syncKind();
        reloadEntries();
    });
    connect(&m_state, &ContentViewState::passwordBookEntriesChanged, this, &PasswordBookPage::syncEntries);
    connect(&m_state, &ContentViewState::passwordBookSearchChanged, this, &PasswordBookPage::syncSearch);
    connect(&m_state, &ContentViewState::revealPasswordBookPasswordsChanged, this,
            &PasswordBookPage::syncReveal);
    connect(&m_state, &ContentViewState::selectedPasswordBookEntryIDChanged, this,
            &PasswordBookPage::syncSelection);
    connect(&m_state, &ContentViewState::isAddingPasswordBookEntryChanged, this,
            &PasswordBookPage::syncSheet);
    connect(&m_models.context(), &WorkbenchContext::settingsChanged, this, &PasswordBookPage::syncSettings);
}

void PasswordBookPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    reloadEntries();
}

void PasswordBookPage::reloadEntries() {
    const ArchivePasswordBookStore::Book book = m_store.book();
    m_state.setPasswordBookEntries(book.entries);
    const QString condition = Rules::conditionText(book.condition, m_store.filePath());
    m_condition->setText(condition);
    m_condition->setVisible(!condition.isEmpty());
}

void PasswordBookPage::showSaveFailure(const QString& reason) {
    m_models.context().setAlertMessage(QStringLiteral(u"保存失败：") + reason);
}

void PasswordBookPage::syncEntries() {
    m_tableModel->setEntries(m_state.passwordBookEntries());
    syncSelection();
    syncCounts();
}

void PasswordBookPage::syncKind() {
    const Kind kind = m_state.passwordBookKind();
    QuietSync::setChecked(m_extractionBook, kind == Kind::extraction);
    QuietSync::setChecked(m_compressionBook, kind == Kind::compression);
    m_title->setText(Rules::bookTitle(kind));
    m_proxy->setKind(kind);
    syncSelection();
    syncCounts();
}

void PasswordBookPage::syncSearch() {
    if (m_search->text() != m_state.passwordBookSearch()) {
        const QSignalBlocker blocker(m_search);
        m_search->setText(m_state.passwordBookSearch());
    }
    m_proxy->setSearch(m_state.passwordBookSearch());
    syncSelection();
    syncCounts();
}

void PasswordBookPage::syncReveal() {
    const bool reveal = m_state.revealPasswordBookPasswords();
    m_tableModel->setRevealPasswords(reveal);
    m_delegate->setRevealPasswords(reveal);
    m_reveal->setText(reveal ? QStringLiteral(u"隐藏密码") : QStringLiteral(u"显示密码"));
    m_reveal->setIcon(Icons::icon(reveal ? QStringLiteral("eye-crossed") : QStringLiteral("eye"),
                                  Theme::color(Theme::Colour::accent)));
}

// The view selects the row of the selected entry when it is shown; a hidden entry stays selected.
void PasswordBookPage::syncSelection() {
    const std::optional<QUuid>& selected = m_state.selectedPasswordBookEntryID();
    QModelIndex row;
    for (int i = 0; selected && i < m_proxy->rowCount(); ++i) {
        const QModelIndex index = m_proxy->index(i, 0);
        if (entryIDAt(index) == *selected) row = index;
    }
    if (row.isValid()) {
        m_table->selectionModel()->select(row,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        m_table->selectionModel()->clearSelection();
    }
    m_delete->setEnabled(Rules::canDelete(selected));
}

void PasswordBookPage::syncCounts() {
    m_count->setText(Rules::countText(m_proxy->rowCount()));
    m_tableStack->setCurrentWidget(m_proxy->rowCount() == 0 ? static_cast<QWidget*>(m_empty) : m_table);
    m_export->setEnabled(Rules::canExport(m_store.entries(m_state.passwordBookKind()).size()));
}

void PasswordBookPage::syncSettings() {
    QuietSync::setChecked(m_autoSave, m_models.context().settings().archivePasswordBookAutoSaveEnabled);
    QuietSync::setChecked(m_autoTry, m_models.context().settings().archivePasswordBookEnabled);
}

void PasswordBookPage::syncSheet() {
    if (!m_state.isAddingPasswordBookEntry()) {
        if (m_sheet) m_sheet->close();
        return;
    }
    if (m_sheet) return;
    m_sheet = new PasswordBookAddSheet(m_state, Rules::bookTitle(m_state.passwordBookKind()), this);
    m_sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_sheet, &PasswordBookAddSheet::saveRequested, this, &PasswordBookPage::saveNewPasswordBookEntry);
    m_sheet->open();
}

bool PasswordBookPage::showsEmptyState() const { return m_tableStack->currentWidget() == m_empty; }

QUuid PasswordBookPage::entryIDAt(const QModelIndex& index) const {
    return index.data(PasswordBookTableModel::EntryIDRole).toUuid();
}

void PasswordBookPage::updatePasswordBookEntry(const QUuid& entryID, PasswordBookEditableField field,
                                               const QString& value) {
    for (ArchivePasswordBookEntry entry : m_state.passwordBookEntries()) {
        if (entry.id != entryID) continue;
        (field == PasswordBookEditableField::label ? entry.label : entry.password) = value;
        if (const std::optional<QString> failure = m_store.update(entryID, entry.label, entry.password)) {
            showSaveFailure(*failure);
        }
        // The table shows what the store kept (trimmed, a blank password refused, duplicates merged),
        // read once the editor has closed.
        QMetaObject::invokeMethod(this, &PasswordBookPage::reloadEntries, Qt::QueuedConnection);
        return;
    }
}

void PasswordBookPage::removeSelectedPasswordBookEntry() {
    const std::optional<QUuid> selected = m_state.selectedPasswordBookEntryID();
    if (!selected) return;
    if (const std::optional<QString> failure = m_store.removeEntry(*selected)) {
        showSaveFailure(*failure);
        return;
    }
    m_state.setSelectedPasswordBookEntryID(std::nullopt);
    reloadEntries();
    m_models.context().setStatusMessage(QStringLiteral(u"已删除选中的密码。"));
}

void PasswordBookPage::importPasswordBook(ArchivePasswordBookKind kind) {
    m_panels->chooseImportFile(this, [this, kind](const QString& path) {
        ArchivePasswordBookStore::Import imported;
        try {
            imported = m_store.importPasswords(path, kind);
        } catch (const VelmoraError& error) {
            m_models.context().setAlertMessage(QStringLiteral(u"导入失败：") + error.message());
            return;
        }
        if (imported.failure) {
            showSaveFailure(*imported.failure);
            return;
        }
        m_state.setPasswordBookKind(kind);
        reloadEntries();
        m_models.context().setStatusMessage(QStringLiteral(u"已导入 ") + QString::number(imported.count) +
                                            QStringLiteral(u" 条") + Rules::bookTitle(kind) +
                                            QStringLiteral(u"。"));
    });
}

void PasswordBookPage::exportPasswordBook(ArchivePasswordBookKind kind) {
    m_panels->chooseExportFile(this, Rules::exportFileName(kind), [this, kind](const QString& path) {
        // The file holds clear-text passwords: written whole or not at all, for the owner only.
        if (const std::optional<QString> error = PrivateFile::write(path, m_store.exportData(kind))) {
            m_models.context().setAlertMessage(
                QStringLiteral(u"导出失败：") +
                FileSystemError(FileSystemError::Kind::writeFailed, path, *error).message());
            return;
        }
        m_models.context().setStatusMessage(QStringLiteral(u"已导出") + Rules::bookTitle(kind) +
                                            QStringLiteral(u"：") + FileNameHelper::lastPathComponent(path));
    });
}

void PasswordBookPage::applyPasswordBookEntry(const ArchivePasswordBookEntry& entry) {
    if (m_state.passwordBookKind() != Kind::compression) {
        m_models.extract().setExtractionPassword(entry.password);
        m_models.context().setStatusMessage(QStringLiteral(u"已将该密码应用到解压密码输入框。"));
        return;
    }
    m_models.compress().setCompressionPassword(entry.password);
    m_models.splitCompress().setSplitCompressionPasswordEnabled(true);
    m_models.splitCompress().setSplitCompressionPassword(entry.password);
    m_models.splitCompress().setSplitCompressionPasswordConfirmation(entry.password);
    m_models.context().setStatusMessage(QStringLiteral(u"已将该密码应用到压缩密码输入框。"));
}

void PasswordBookPage::saveNewPasswordBookEntry() {
    const Kind kind = m_state.passwordBookKind();
    const ArchivePasswordBookStore::Addition added =
        m_store.addManualPassword(m_state.newPasswordBookPassword(), m_state.newPasswordBookLabel(), kind);
    if (added.failure) {
        // The sheet stays open with what was typed.
        showSaveFailure(*added.failure);
        return;
    }
    if (!added.entry) {
        m_models.context().setAlertMessage(QStringLiteral(u"请输入密码后再保存。"));
        return;
    }
    reloadEntries();
    m_state.setSelectedPasswordBookEntryID(added.entry->id);
    m_state.setIsAddingPasswordBookEntry(false);
    m_models.context().setStatusMessage(QStringLiteral(u"已添加一条") + Rules::bookTitle(kind) +
                                        QStringLiteral(u"。"));
}

void PasswordBookPage::setSwitch(bool AppSettings::*field, bool on, const QString& onText,
                                 const QString& offText) {
    if (!SettingsWriteThrough::write(m_settingsStore, m_models.context(), field, on)) {
        syncSettings();
        return;
    }
    m_models.context().setStatusMessage(on ? onText : offText);
}
