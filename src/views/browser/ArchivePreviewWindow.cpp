#include "views/browser/ArchivePreviewWindow.h"

#include "viewmodels/ArchivePreviewWindowModel.h"
#include "views/browser/ArchiveBrowserCommandStates.h"
#include "views/browser/ArchiveBrowserCommands.h"
#include "views/browser/ArchiveEntryNameDelegate.h"
#include "views/browser/ArchiveEntryTableModel.h"
#include "views/browser/PasswordBookMenu.h"
#include "views/browser/PasswordSheet.h"
#include "views/browser/PreviewPane.h"
#include "views/kit/Icons.h"
#include "views/kit/Labels.h"
#include "views/kit/Theme.h"
#include "views/kit/WindowFit.h"
#include "views/kit/WindowKeys.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeView>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QColor kSoftBlue = QColor::fromRgbF(0.9f, 0.97f, 1.0f);

// The row is wide: controls that belong together sit closer than the groups.
constexpr int kCommandSpacing = 12;
constexpr int kPairSpacing = 6;

QHBoxLayout* pair(QWidget* first, QWidget* second) {
    auto* layout = new QHBoxLayout;
    layout->setSpacing(kPairSpacing);
    layout->addWidget(first);
    layout->addWidget(second);
    return layout;
}

QIcon labelIcon(const QString& symbol) { return Icons::icon(symbol, Theme::color(Theme::Colour::primary)); }

}  // namespace

ArchivePreviewWindow::ArchivePreviewWindow(ArchivePreviewWindowModel& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_commands(new ArchiveBrowserCommands(model, *this)) {
    setWindowTitle(model.archiveDisplayName());
    // The toolbar's controls decide the narrowest width. On a screen too small for its own size the
    // window takes the screen's free area.
    const QSize size = WindowFit::size(QSize(1240, 720), screen()->availableGeometry());
    setMinimumHeight(std::min(620, size.height()));
    resize(size);
    WindowKeys::install(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildToolbar());
    layout->addWidget(Labels::divider(Qt::Horizontal, this));
    layout->addWidget(buildContent(), 1);
    layout->addWidget(Labels::divider(Qt::Horizontal, this));
    layout->addWidget(buildFooter());

    connect(&m_model, &ArchivePreviewWindowModel::changed, this, &ArchivePreviewWindow::syncFromModel);
    for (auto signal :
         {&ArchivePreviewWindowModel::entriesChanged, &ArchivePreviewWindowModel::expandedFolderPathsChanged,
          &ArchivePreviewWindowModel::filterOptionChanged,
          &ArchivePreviewWindowModel::currentFolderPathChanged}) {
        connect(&m_model, signal, this, &ArchivePreviewWindow::syncOutline);
    }
    connect(&m_model, &ArchivePreviewWindowModel::selectedEntryIDChanged, this, [this] {
        syncSelection();
        m_model.updatePreviewForSelection();
    });
    connect(&m_model, &ArchivePreviewWindowModel::passwordPromptChanged, this,
            &ArchivePreviewWindow::syncPasswordPrompt);
    syncOutline();
    syncFromModel();
}

QWidget* ArchivePreviewWindow::buildToolbar() {
    auto* toolbar = new QWidget(this);
    toolbar->setAutoFillBackground(true);
    QPalette tinted = toolbar->palette();
    tinted.setColor(QPalette::Window, kSoftBlue);
    toolbar->setPalette(tinted);
    auto* column = new QVBoxLayout(toolbar);
    column->setContentsMargins(22, 14, 22, 12);
    column->setSpacing(12);
    m_title = new QLabel(toolbar);
    m_title->setFont(Theme::font(Theme::TextStyle::headline, QFont::DemiBold));
    m_title->setMinimumWidth(1);
    column->addWidget(m_title);
    column->addWidget(buildCommandRow(toolbar));
    return toolbar;
}

QToolButton* ArchivePreviewWindow::commandButton(QWidget* parent, QAction* action) {
    auto* button = new QToolButton(parent);
    button->setDefaultAction(action);
    button->setIconSize(QSize(28, 28));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFixedSize(82, 58);
    button->setFont(Theme::font(Theme::TextStyle::caption, QFont::DemiBold));
    button->setAutoRaise(true);
    button->setStyleSheet(
        QStringLiteral("QToolButton { background: rgba(255,255,255,184); border-radius: 8px; }"));
    return button;
}

QWidget* ArchivePreviewWindow::buildCommandRow(QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kCommandSpacing);
    using Command = ArchiveBrowserCommands::Command;
    for (const Command command : {Command::add, Command::extractSelected, Command::extractAll,
                                  Command::deleteSelected, Command::clean, Command::expandCollapseAll}) {
        layout->addWidget(commandButton(row, m_commands->action(command)));
    }
    layout->addStretch();
    addPasswordControls(row, *layout);
    addFilterControls(row, *layout);

    auto* reveal = new QToolButton(row);
    reveal->setDefaultAction(m_commands->action(ArchiveBrowserCommands::Command::reveal));
    // Preview settings are not defined yet: the button is there and does nothing.
    auto* settings = new QToolButton(row);
    settings->setIcon(labelIcon(QStringLiteral("gear")));
    settings->setToolTip(QStringLiteral(u"预览设置"));
    // Square, and as tall as the push buttons beside them.
    const int edge = m_readButton->sizeHint().height();
    reveal->setFixedSize(edge, edge);
    settings->setFixedSize(edge, edge);
    layout->addLayout(pair(reveal, settings));
    return row;
}

void ArchivePreviewWindow::addPasswordControls(QWidget* row, QHBoxLayout& layout) {
    // A push button leaves room for its menu arrow; a tool button would draw it over the title.
    auto* book = new QPushButton(labelIcon(QStringLiteral("key-filled")), QStringLiteral(u"密码本"), row);
    book->setToolTip(QStringLiteral(u"密码本"));
    m_passwordBookMenu = new QMenu(book);
    book->setMenu(m_passwordBookMenu);
    connect(m_passwordBookMenu, &QMenu::aboutToShow, this, [this] {
        PasswordBookMenu::fill(
            *m_passwordBookMenu, m_model.passwordBookMenuEntries(),
            [this](const ArchivePasswordBookEntry& entry) { m_model.applyPasswordBookEntry(entry); });
    });
    layout.addWidget(book);

    m_passwordField = new QLineEdit(row);
    m_passwordField->setEchoMode(QLineEdit::Password);
    m_passwordField->setPlaceholderText(QStringLiteral(u"密码（如有）"));
    m_passwordField->setFixedWidth(160);
    connect(m_passwordField, &QLineEdit::textEdited, &m_model, &ArchivePreviewWindowModel::setPassword);
    connect(m_passwordField, &QLineEdit::returnPressed, &m_model, &ArchivePreviewWindowModel::reload);
    m_readButton = new QPushButton(QStringLiteral(u"读取"), row);
    connect(m_readButton, &QPushButton::clicked, &m_model, &ArchivePreviewWindowModel::reload);
    layout.addLayout(pair(m_passwordField, m_readButton));
}

void ArchivePreviewWindow::addFilterControls(QWidget* row, QHBoxLayout& layout) {
    using Model = ArchivePreviewWindowModel;
    auto* filterLabel = new QLabel(QStringLiteral(u"过滤器："), row);
    filterLabel->setFont(Theme::font(Theme::TextStyle::headline));
    m_filter = new QComboBox(row);
    m_filter->setFixedWidth(120);
    for (auto option : {Model::FilterOption::all, Model::FilterOption::files, Model::FilterOption::folders}) {
        m_filter->addItem(Model::filterTitle(option), int(option));
    }
    connect(m_filter, &QComboBox::activated, this, [this](int index) {
        m_model.setFilterOption(Model::FilterOption(m_filter->itemData(index).toInt()));
    });
    layout.addLayout(pair(filterLabel, m_filter));
}

QWidget* ArchivePreviewWindow::buildContent() {
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    auto* left = new QWidget(splitter);
    left->setMinimumWidth(560);
    auto* column = new QVBoxLayout(left);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildNavigationBar(left));
    column->addWidget(Labels::divider(Qt::Horizontal, left));
    column->addWidget(buildTable(left), 1);
    splitter->addWidget(left);
    m_previewPane = new PreviewPane(m_model, splitter);
    splitter->addWidget(m_previewPane);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

QWidget* ArchivePreviewWindow::buildNavigationBar(QWidget* parent) {
    auto* bar = new QWidget(parent);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(10);
    auto* goUp = new QToolButton(bar);
    goUp->setDefaultAction(m_commands->action(ArchiveBrowserCommands::Command::goUp));
    row->addWidget(goUp);
    row->addWidget(Labels::icon(QStringLiteral("folder"), 16, Theme::color(Theme::Colour::secondary), bar));
    m_folderPath = new QLabel(bar);
    m_folderPath->setFont(Theme::font(Theme::TextStyle::callout, QFont::DemiBold));
    m_folderPath->setMinimumWidth(1);
    row->addWidget(m_folderPath, 1);
    return bar;
}

QWidget* ArchivePreviewWindow::buildTable(QWidget* parent) {
    m_tableArea = new QStackedWidget(parent);
    auto* loading = new QLabel(QStringLiteral(u"正在读取文件列表..."), m_tableArea);
    loading->setAlignment(Qt::AlignCenter);
    m_tableArea->addWidget(loading);

    m_tableModel = new ArchiveEntryTableModel(m_model, this);
    m_table = new QTreeView(m_tableArea);
    m_table->setModel(m_tableModel);
    // A flat list: the outline's levels are drawn by the name cell, so 100,000 rows stay cheap.
    m_table->setRootIsDecorated(false);
    m_table->setItemsExpandable(false);
    m_table->setUniformRowHeights(true);
    m_table->setAllColumnsShowFocus(true);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setExpandsOnDoubleClick(false);
    auto* delegate = new ArchiveEntryNameDelegate(m_table);
    m_table->setItemDelegateForColumn(ArchiveEntryTableModel::name, delegate);
    QHeaderView* header = m_table->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(ArchiveEntryTableModel::name, QHeaderView::Stretch);
    header->resizeSection(ArchiveEntryTableModel::size, 78);
    // Wide enough for a whole date and time in whatever font size the desktop uses.
    const int dateWidth =
        m_table->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16;
    header->resizeSection(ArchiveEntryTableModel::modified, std::max(140, dateWidth));
    header->resizeSection(ArchiveEntryTableModel::kind, 110);
    m_tableArea->addWidget(m_table);

    connect(delegate, &ArchiveEntryNameDelegate::disclosureClicked, this,
            [this](const QModelIndex& index) { m_model.toggleExpanded(m_tableModel->entryAt(index.row())); });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ArchivePreviewWindow::tableSelectionChanged);
    // A click on the row already selected asks for its preview again.
    connect(m_table, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (m_tableModel->entryAt(index.row()).path == m_model.selectedEntryID())
            m_model.updatePreviewForSelection();
    });
    connect(m_table, &QTreeView::doubleClicked, this, [this] {
        if (const std::optional<ArchivePreviewEntry> entry = m_model.selectedEntry())
            m_model.toggleExpanded(*entry);
    });
    return m_tableArea;
}

QWidget* ArchivePreviewWindow::buildFooter() {
    auto* footer = new QWidget(this);
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(18, 10, 18, 10);
    m_status = new QLabel(footer);
    m_status->setForegroundRole(QPalette::PlaceholderText);
    m_status->setMinimumWidth(1);
    row->addWidget(m_status, 1);
    m_counts = new QLabel(footer);
    m_counts->setFont(Theme::font(Theme::TextStyle::headline));
    row->addWidget(m_counts);
    return footer;
}

void ArchivePreviewWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_model.startInitialLoadIfNeeded();
}

void ArchivePreviewWindow::closeEvent(QCloseEvent* event) {
    // While an extraction or an edit runs, the model asks first and closes the window itself.
    if (!m_model.mayCloseWindow()) return event->ignore();
    QWidget::closeEvent(event);
    if (event->isAccepted()) Q_EMIT closed();
}

void ArchivePreviewWindow::syncFromModel() {
    m_title->setText(
        m_title->fontMetrics().elidedText(m_model.title(), Qt::ElideMiddle, std::max(200, width() - 44)));
    const ArchiveBrowserCommandStates states = ArchiveBrowserCommandStates::of(m_model);
    m_commands->sync(states);
    m_readButton->setEnabled(states.read);
    if (m_passwordField->text() != m_model.password()) {
        const QSignalBlocker blocker(m_passwordField);
        m_passwordField->setText(m_model.password());
    }
    if (m_filter->currentData().toInt() != int(m_model.filterOption())) {
        const QSignalBlocker blocker(m_filter);
        m_filter->setCurrentIndex(m_filter->findData(int(m_model.filterOption())));
    }
    m_folderPath->setText(m_model.currentFolderDisplayPath());
    m_tableArea->setCurrentIndex(m_model.isLoading() && m_model.entries().isEmpty() ? 0 : 1);
    m_status->setText(m_model.statusMessage());
    m_counts->setText(QStringLiteral(u"当前层：%1 个项目 · 内容大小：%2 · 内部条目：%3")
                          .arg(m_tableModel->rowCount())
                          .arg(m_model.archiveSizeDescription(), m_model.fileCountDescription()));
}

void ArchivePreviewWindow::syncOutline() {
    m_tableModel->refresh();
    syncSelection();
}

void ArchivePreviewWindow::syncSelection() {
    const QSignalBlocker blocker(m_table->selectionModel());
    m_table->selectionModel()->clearSelection();
    if (!m_model.selectedEntryID()) return;
    if (const std::optional<int> row = m_tableModel->rowOf(*m_model.selectedEntryID())) {
        m_table->selectionModel()->select(m_tableModel->index(*row, 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_table->selectionModel()->setCurrentIndex(m_tableModel->index(*row, 0),
                                                   QItemSelectionModel::NoUpdate);
    }
    m_table->viewport()->update();
}

void ArchivePreviewWindow::tableSelectionChanged() {
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    m_model.setSelectedEntryID(rows.isEmpty()
                                   ? std::nullopt
                                   : std::optional<QString>(m_tableModel->entryAt(rows.first().row()).path));
}

void ArchivePreviewWindow::syncPasswordPrompt() {
    const auto& prompt = m_model.passwordPrompt();
    if (m_sheet && (!prompt || m_sheet->property("promptId").toUuid() != prompt->id)) {
        // Closed by the model: the prompt was taken or replaced.
        m_sheet->hide();
        m_sheet->deleteLater();
        m_sheet.clear();
    }
    if (!prompt || m_sheet) return;
    m_sheet = new PasswordSheet(m_model, prompt->message, this);
    m_sheet->setProperty("promptId", prompt->id);
    m_sheet->open();
}
