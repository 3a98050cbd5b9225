#include "views/main/PasswordBookPage.h"

#include "viewmodels/PasswordBookFilterProxy.h"
#include "viewmodels/PasswordBookPageRules.h"
#include "viewmodels/PasswordBookTableModel.h"
#include "viewmodels/PasswordBookViewModel.h"
#include "viewmodels/WorkbenchContext.h"
#include "views/kit/Card.h"
#include "views/kit/EmptyState.h"
#include "views/kit/FeedbackBanner.h"
#include "views/kit/Icons.h"
#include "views/kit/Labels.h"
#include "views/kit/QuietSync.h"
#include "views/main/PasswordBookAddSheet.h"
#include "views/main/PasswordBookFilePanels.h"
#include "views/main/PasswordBookPageStyle.h"
#include "views/main/PasswordBookTableDelegate.h"

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

PasswordBookPage::PasswordBookPage(PasswordBookViewModel& model, TasksViewModel& tasks,
                                   QWidget* parent)
    : QWidget(parent),
      m_model(model),
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
    // The book card stretches, so a banner that took its room on the first message would pull the card's
    // switches up under the pointer: its room is always kept.
    column->addWidget(new FeedbackBanner(model.context(), tasks, this, FeedbackBanner::Room::alwaysKept));

    connectModel();
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
            [this] { m_model.setPasswordBookKind(Kind::extraction); });
    connect(m_compressionBook, &QPushButton::clicked, this,
            [this] { m_model.setPasswordBookKind(Kind::compression); });
    connect(m_search, &QLineEdit::textChanged, &m_model, &PasswordBookViewModel::setPasswordBookSearch);
    connect(m_reveal, &QPushButton::clicked, this,
            [this] { m_model.setRevealPasswordBookPasswords(!m_model.revealPasswordBookPasswords()); });
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

    connect(m_add, &QPushButton::clicked, &m_model, &PasswordBookViewModel::beginAddingPasswordBookEntry);
    connect(m_delete, &QPushButton::clicked, &m_model,
            &PasswordBookViewModel::removeSelectedPasswordBookEntry);
    connect(m_import, &QPushButton::clicked, this,
            [this] { importPasswordBook(m_model.passwordBookKind()); });
    connect(m_export, &QPushButton::clicked, this,
            [this] { exportPasswordBook(m_model.passwordBookKind()); });
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
            [this](const QModelIndex& index) { m_model.setSelectedPasswordBookEntryID(entryIDAt(index)); });
    // A click into a name or password cell edits it at once, selected row or not.
    connect(m_table, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.flags() & Qt::ItemIsEditable) m_table->edit(index);
    });
    connect(m_tableModel, &PasswordBookTableModel::editFinished, this,
            [this](const QUuid& entryID, PasswordBookEditableField field, const QString& value) {
                m_model.updatePasswordBookEntry(entryID, field, value);
                // The table shows what the store kept, read once the editor has closed.
                QMetaObject::invokeMethod(&m_model, &PasswordBookViewModel::reloadEntries,
                                          Qt::QueuedConnection);
            });
    connect(m_delegate, &PasswordBookTableDelegate::useRequested, this,
            [this](const QModelIndex& index) { m_model.applyPasswordBookEntry(entryIDAt(index)); });
    connect(m_delegate, &PasswordBookTableDelegate::deleteRequested, this, [this](const QModelIndex& index) {
        m_model.setSelectedPasswordBookEntryID(entryIDAt(index));
        m_model.removeSelectedPasswordBookEntry();
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

    // A save that fails leaves the settings as they were; the switch is put back.
    connect(m_autoSave, &QCheckBox::toggled, this, [this](bool on) {
        m_model.setAutoSaveEnabled(on);
        syncSettings();
    });
    connect(m_autoTry, &QCheckBox::toggled, this, [this](bool on) {
        m_model.setAutoTryEnabled(on);
        syncSettings();
    });
    connect(lostBook, &QPushButton::clicked, this, [this] { importPasswordBook(Kind::extraction); });
    return row;
}

void PasswordBookPage::connectModel() {
    connect(&m_model, &PasswordBookViewModel::passwordBookKindChanged, this, &PasswordBookPage::syncKind);
    connect(&m_model, &PasswordBookViewModel::passwordBookEntriesChanged, this,
            &PasswordBookPage::syncEntries);
    connect(&m_model, &PasswordBookViewModel::passwordBookSearchChanged, this, &PasswordBookPage::syncSearch);
    connect(&m_model, &PasswordBookViewModel::revealPasswordBookPasswordsChanged, this,
            &PasswordBookPage::syncReveal);
    connect(&m_model, &PasswordBookViewModel::selectedPasswordBookEntryIDChanged, this,
            &PasswordBookPage::syncSelection);
    connect(&m_model, &PasswordBookViewModel::isAddingPasswordBookEntryChanged, this,
            &PasswordBookPage::syncSheet);
    connect(&m_model.context(), &WorkbenchContext::settingsChanged, this, &PasswordBookPage::syncSettings);
}

void PasswordBookPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_model.reloadEntries();
}

void PasswordBookPage::syncEntries() {
    m_tableModel->setEntries(m_model.passwordBookEntries());
    const QString& condition = m_model.passwordBookCondition();
    m_condition->setText(condition);
    m_condition->setVisible(!condition.isEmpty());
    syncSelection();
    syncCounts();
}

void PasswordBookPage::syncKind() {
    const Kind kind = m_model.passwordBookKind();
    QuietSync::setChecked(m_extractionBook, kind == Kind::extraction);
    QuietSync::setChecked(m_compressionBook, kind == Kind::compression);
    m_title->setText(Rules::bookTitle(kind));
    m_proxy->setKind(kind);
    syncSelection();
    syncCounts();
}

void PasswordBookPage::syncSearch() {
    if (m_search->text() != m_model.passwordBookSearch()) {
        const QSignalBlocker blocker(m_search);
        m_search->setText(m_model.passwordBookSearch());
    }
    m_proxy->setSearch(m_model.passwordBookSearch());
    syncSelection();
    syncCounts();
}

void PasswordBookPage::syncReveal() {
    const bool reveal = m_model.revealPasswordBookPasswords();
    m_tableModel->setRevealPasswords(reveal);
    m_delegate->setRevealPasswords(reveal);
    m_reveal->setText(reveal ? QStringLiteral(u"隐藏密码") : QStringLiteral(u"显示密码"));
    m_reveal->setIcon(Icons::icon(reveal ? QStringLiteral("eye-crossed") : QStringLiteral("eye"),
                                  Theme::color(Theme::Colour::accent)));
}

// The view selects the row of the selected entry when it is shown; a hidden entry stays selected.
void PasswordBookPage::syncSelection() {
    const std::optional<QUuid>& selected = m_model.selectedPasswordBookEntryID();
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
    m_export->setEnabled(m_model.canExport());
}

void PasswordBookPage::syncSettings() {
    QuietSync::setChecked(m_autoSave, m_model.context().settings().archivePasswordBookAutoSaveEnabled);
    QuietSync::setChecked(m_autoTry, m_model.context().settings().archivePasswordBookEnabled);
}

void PasswordBookPage::syncSheet() {
    if (!m_model.isAddingPasswordBookEntry()) {
        if (m_sheet) m_sheet->close();
        return;
    }
    if (m_sheet) return;
    m_sheet = new PasswordBookAddSheet(m_model, Rules::bookTitle(m_model.passwordBookKind()), this);
    m_sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_sheet, &PasswordBookAddSheet::saveRequested, &m_model,
            &PasswordBookViewModel::saveNewPasswordBookEntry);
    m_sheet->open();
}

bool PasswordBookPage::showsEmptyState() const { return m_tableStack->currentWidget() == m_empty; }

QUuid PasswordBookPage::entryIDAt(const QModelIndex& index) const {
    return index.data(PasswordBookTableModel::EntryIDRole).toUuid();
}

void PasswordBookPage::importPasswordBook(ArchivePasswordBookKind kind) {
    m_panels->chooseImportFile(this,
                               [this, kind](const QString& path) { m_model.importPasswordBook(kind, path); });
}

void PasswordBookPage::exportPasswordBook(ArchivePasswordBookKind kind) {
    m_panels->chooseExportFile(this, Rules::exportFileName(kind),
                               [this, kind](const QString& path) { m_model.exportPasswordBook(kind, path); });
}
