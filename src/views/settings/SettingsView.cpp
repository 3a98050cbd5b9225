#include "views/settings/SettingsView.h"

#include "viewmodels/SettingsViewModel.h"
#include "views/kit/Card.h"
#include "views/kit/Icons.h"
#include "views/kit/Labels.h"
#include "views/kit/ScrollPage.h"
#include "views/kit/Theme.h"
#include "views/settings/SettingsTexts.h"
#include "views/settings/TintedFrame.h"
#include "views/settings/ToggleSwitch.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using Theme::Colour;
using Theme::TextStyle;

void setTextColour(QLabel* label, Colour colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Theme::color(colour));
    label->setPalette(palette);
}

// A text that wraps to its full height and can be selected.
QLabel* paragraph(const QString& text, TextStyle style = TextStyle::callout,
                  Colour colour = Colour::secondary) {
    QLabel* label = Labels::make(text, style, colour);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QFrame* divider() {
    QFrame* line = Labels::divider(Qt::Horizontal);
    line->setObjectName(QStringLiteral("divider"));
    return line;
}

QWidget* column(const QList<QWidget*>& widgets, int spacing) {
    auto* widget = new QWidget;
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* child : widgets) layout->addWidget(child);
    return widget;
}

// A plain button with room around its title, as on the other pages.
QPushButton* plainButton(const QString& title) {
    auto* button = new QPushButton(title);
    button->setMinimumSize(button->sizeHint().width() + 24, 30);
    return button;
}

// The shown label in one cell with a hidden twin for each other text it may show: the cell is as tall
// as the tallest, so a change of text never moves what lies below.
QWidget* steadyParagraph(QLabel* shown, const QStringList& otherTexts) {
    auto* cell = new QWidget;
    auto* grid = new QGridLayout(cell);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(shown, 0, 0);
    for (const QString& text : otherTexts) {
        QLabel* twin = paragraph(text);
        QSizePolicy policy = twin->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        twin->setSizePolicy(policy);
        twin->hide();
        grid->addWidget(twin, 0, 0);
    }
    return cell;
}

void setSwitch(ToggleSwitch* toggle, bool on) {
    const QSignalBlocker blocker(toggle);
    toggle->setChecked(on);
}

}  // namespace

SettingsView::SettingsView(SettingsViewModel* viewModel, QWidget* parent)
    : QWidget(parent), m_viewModel(viewModel) {
    m_viewModel->setParent(this);

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setSpacing(24);
    // The margins are the main window's other pages'.
    layout->setContentsMargins(34, 0, 34, 34);
    layout->addWidget(extractionSection());
    layout->addWidget(systemIntegrationSection());
    layout->addWidget(passwordBookSection());
    layout->addWidget(backgroundServiceSection());
    layout->addWidget(trayDropSection());
    layout->addWidget(advancedCompressionSection());
    layout->addStretch(1);

    // The one status line stands below the scrolling sections, so an outcome (a save that failed and
    // a switch that sprang back) is read wherever the page is scrolled to. Coming or going, it only
    // changes where the view ends: no switch moves under the pointer.
    m_status = paragraph({}, TextStyle::body);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setContentsMargins(34, 10, 34, 10);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(new ScrollPage(content));
    outer->addWidget(m_status);

    connect(m_viewModel, &SettingsViewModel::changed, this, &SettingsView::syncFromModel);
    syncFromModel();
}

void SettingsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_viewModel->refresh();
}

void SettingsView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Leaving the page ends the message's use: shown again without one, the page has no empty band.
    keepMessageRoom(!m_viewModel->systemIntegrationMessage().isEmpty());
}

void SettingsView::keepMessageRoom(bool keep) {
    QLabel* message = m_systemIntegrationMessage;
    QSizePolicy policy = message->sizePolicy();
    policy.setRetainSizeWhenHidden(keep);
    message->setSizePolicy(policy);
    // As tall as the tallest text it showed: a shorter one leaves the switches below where they were.
    message->setMinimumHeight(
        keep ? std::max(message->minimumHeight(), message->heightForWidth(message->width())) : 0);
}

QWidget* SettingsView::section(const QString& title, const QString& iconName,
                               const QList<QWidget*>& controls) {
    auto* titleRow = new QWidget;
    auto* titleLayout = new QHBoxLayout(titleRow);
    titleLayout->setContentsMargins(0, 0, 0, 0);
    titleLayout->setSpacing(8);
    titleLayout->addWidget(Labels::icon(iconName, 18, Theme::color(Colour::accent)));
    titleLayout->addWidget(Labels::make(title, TextStyle::title3, QFont::DemiBold));
    titleLayout->addStretch(1);

    auto* card = new Card;
    card->setContentMargin(18);
    card->setSpacing(14);
    for (QWidget* control : controls) card->contentLayout()->addWidget(control);
    return column({titleRow, card}, 14);
}

ToggleSwitch* SettingsView::addSwitch(QList<QWidget*>& controls, const QString& title,
                                      std::function<void(bool)> onChange) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Labels::make(title, TextStyle::body));
    layout->addStretch(1);
    auto* toggle = new ToggleSwitch;
    toggle->setAccessibleName(title);
    layout->addWidget(toggle);
    connect(toggle, &ToggleSwitch::toggled, this, std::move(onChange));
    controls.append(row);
    return toggle;
}

QWidget* SettingsView::extractionSection() {
    auto* locationRow = new QWidget;
    auto* row = new QHBoxLayout(locationRow);
    row->setContentsMargins(0, 0, 0, 0);
    m_defaultLocation = Labels::make({}, TextStyle::body, Colour::secondary);
    m_defaultLocation->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_defaultLocation->setWordWrap(true);
    row->addWidget(
        column({Labels::make(QStringLiteral(u"默认解压位置"), TextStyle::headline), m_defaultLocation}, 6),
        1);
    auto* current = plainButton(QStringLiteral(u"使用当前位置"));
    auto* choose = plainButton(QStringLiteral(u"选择"));
    connect(current, &QPushButton::clicked, m_viewModel, &SettingsViewModel::useCurrentFileLocation);
    connect(choose, &QPushButton::clicked, m_viewModel, &SettingsViewModel::chooseDefaultLocation);
    row->addWidget(current);
    row->addWidget(choose);

    QList<QWidget*> controls{locationRow};
    m_extractToSeparateFolder = addSwitch(controls, QStringLiteral(u"解压到单独文件夹"),
                                          [this](bool on) { m_viewModel->setExtractToSeparateFolder(on); });
    m_deleteSourceAfterExtract = addSwitch(controls, QStringLiteral(u"解压完成后删除源文件"),
                                           [this](bool on) { m_viewModel->setDeleteSourceAfterExtract(on); });
    return section(QStringLiteral(u"解压设置"), QStringLiteral("tray-arrow-down"), controls);
}

QWidget* SettingsView::systemIntegrationSection() {
    QList<QWidget*> controls;
    m_defaultExtractor = addSwitch(controls, QStringLiteral(u"默认解压工具"),
                                   [this](bool on) { m_viewModel->setDefaultExtractor(on); });
    m_defaultExtractorExplanation = paragraph({});
    m_systemIntegrationMessage = paragraph({});
    controls << steadyParagraph(m_defaultExtractorExplanation,
                                {SettingsTexts::defaultExtractorExplanation(false),
                                 SettingsTexts::defaultExtractorExplanation(true)})
             << m_systemIntegrationMessage << divider();
    m_contextMenu = addSwitch(controls, QStringLiteral(u"右键菜单管理"),
                              [this](bool on) { m_viewModel->setContextMenuEnabled(on); });
    controls << column(
        {paragraph(QStringLiteral(u"开启后在文件管理器的右键菜单中显示“用 velmora 解压 / 压缩为 ZIP”。")),
         paragraph(QStringLiteral(u"如果文件管理器未立即显示，请关闭它的所有窗口后重新打开。"))},
        6);
    m_contextMenuGuide = contextMenuGuide();
    m_contextMenuGuide->setObjectName(QStringLiteral("contextMenuGuide"));
    controls << m_contextMenuGuide;
    return section(QStringLiteral(u"系统集成"), QStringLiteral("window-plus"), controls);
}

QWidget* SettingsView::contextMenuGuide() {
    auto* card = new Card;
    card->setContentMargin(14);
    card->setSpacing(10);
    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(6);
    titleRow->addWidget(Labels::icon(QStringLiteral("question-circle"), 16, Theme::color(Colour::primary)));
    titleRow->addWidget(Labels::make(QStringLiteral(u"首次使用操作"), TextStyle::headline));
    titleRow->addStretch(1);
    auto* acknowledge = plainButton(QStringLiteral(u"知道了"));
    connect(acknowledge, &QPushButton::clicked, m_viewModel, &SettingsViewModel::acknowledgeContextMenuGuide);
    titleRow->addWidget(acknowledge);
    card->contentLayout()->addLayout(titleRow);
    card->contentLayout()->addWidget(column(
        {paragraph(QStringLiteral(u"velmora 的右键菜单由文件管理器的菜单入口提供，各文件管理器中的位置是：")),
         paragraph(
             QStringLiteral(u"1. Dolphin：右键菜单第一层；“用 velmora 解压”只在 ZIP、RAR、7Z 文件上出现。")),
         paragraph(QStringLiteral(u"2. Nemo：右键菜单中的动作；Nautilus 与 Caja：右键菜单 -> 脚本。")),
         paragraph(QStringLiteral(u"3. 如果仍未出现，请关闭文件管理器的所有窗口后重新打开。"))},
        6));
    return card;
}

QWidget* SettingsView::passwordBookSection() {
    QList<QWidget*> controls;
    m_passwordBookEnabled = addSwitch(controls, QStringLiteral(u"启用密码本自动填充"),
                                      [this](bool on) { m_viewModel->setArchivePasswordBookEnabled(on); });
    m_passwordBookAutoSave = addSwitch(controls, QStringLiteral(u"自动保存正确密码"), [this](bool on) {
        m_viewModel->setArchivePasswordBookAutoSaveEnabled(on);
    });

    auto* countRow = new QWidget;
    auto* row = new QHBoxLayout(countRow);
    row->setContentsMargins(0, 0, 0, 0);
    m_passwordCount = Labels::make({}, TextStyle::body, Colour::secondary);
    row->addWidget(m_passwordCount);
    row->addStretch(1);
    m_clearPasswordBook = plainButton(QStringLiteral(u"清空密码本"));
    m_clearPasswordBook->setStyleSheet(
        QStringLiteral("QPushButton:enabled { color: %1; }").arg(Theme::color(Colour::red).name()));
    connect(m_clearPasswordBook, &QPushButton::clicked, m_viewModel, &SettingsViewModel::clearPasswordBook);
    row->addWidget(m_clearPasswordBook);

    m_emptyPasswordBook = paragraph(QStringLiteral(
        u"成功解压或预览加密压缩包后，velmora 会把正确密码记入本地密码本，并在下次自动尝试填充。"));
    m_passwordList = new Card;
    m_passwordList->setObjectName(QStringLiteral("passwordBookList"));
    m_passwordList->setBackground(Colour::textBackground);
    m_passwordList->setContentMargin(12);
    m_passwordList->setSpacing(10);
    controls << countRow << m_emptyPasswordBook << m_passwordList;
    return section(QStringLiteral(u"密码本"), QStringLiteral("key-filled"), controls);
}

QWidget* SettingsView::backgroundServiceSection() {
    QList<QWidget*> controls;
    m_launchAtLogin = addSwitch(controls, QStringLiteral(u"开机后台自启动"),
                                [this](bool on) { m_viewModel->setLaunchAtLogin(on); });
    controls << launchAtLoginReminder();
    return section(QStringLiteral(u"后台服务"), QStringLiteral("lightning-circle"), controls);
}

QWidget* SettingsView::launchAtLoginReminder() {
    m_reminder = new TintedFrame;
    auto* row = new QHBoxLayout(m_reminder);
    row->setContentsMargins(14, 14, 14, 14);
    row->setSpacing(12);
    m_reminderIcon = new QLabel;
    row->addWidget(m_reminderIcon, 0, Qt::AlignTop);
    m_reminderTitle = Labels::make({}, TextStyle::headline);
    row->addWidget(column({m_reminderTitle,
                           paragraph(QStringLiteral(
                               u"开启后 velmora 会在登录时后台启动，提前准备右键菜单、文件关联和预览服务，"
                               u"降低服务组件未就绪导致的预览卡顿。"))},
                          6),
                   1);
    m_reminderButton = new QPushButton(QStringLiteral(u"立即开启"));
    m_reminderButton->setProperty("prominent", true);
    connect(m_reminderButton, &QPushButton::clicked, this, [this] { m_viewModel->setLaunchAtLogin(true); });
    row->addWidget(m_reminderButton, 0, Qt::AlignTop);
    return m_reminder;
}

QWidget* SettingsView::trayDropSection() {
    QList<QWidget*> controls;
    m_trayDrop = addSwitch(controls, QStringLiteral(u"托盘拖放自动压缩/解压"),
                           [this](bool on) { m_viewModel->setTrayDropEnabled(on); });
    controls << paragraph(
        QStringLiteral(u"开启后，拖拽文件时会在 velmora 托盘图标旁显示悬浮投放窗；"
                       u"压缩包自动解压，普通文件或文件夹自动压缩。"));
    return section(QStringLiteral(u"托盘拖放"), QStringLiteral("bar-arrow-up-box"), controls);
}

QWidget* SettingsView::advancedCompressionSection() {
    QList<QWidget*> controls;
    m_multiThreadEngine = addSwitch(controls, QStringLiteral(u"多线程压缩引擎"),
                                    [this](bool on) { m_viewModel->setMultiThreadEngineEnabled(on); });
    return section(QStringLiteral(u"高级压缩入口"), QStringLiteral("sliders"), controls);
}

void SettingsView::syncFromModel() {
    const AppSettings& settings = m_viewModel->settings();
    m_defaultLocation->setText(SettingsTexts::defaultLocation(settings.defaultExtractLocationPath));
    setSwitch(m_extractToSeparateFolder, settings.extractToSeparateFolder);
    setSwitch(m_deleteSourceAfterExtract, settings.deleteSourceAfterExtract);

    setSwitch(m_defaultExtractor, settings.setAsDefaultExtractor);
    const Colour integrationColour = SettingsTexts::defaultExtractorColour(settings.setAsDefaultExtractor);
    m_defaultExtractorExplanation->setText(
        SettingsTexts::defaultExtractorExplanation(settings.setAsDefaultExtractor));
    setTextColour(m_defaultExtractorExplanation, integrationColour);
    const QString& integrationMessage = m_viewModel->systemIntegrationMessage();
    m_systemIntegrationMessage->setText(integrationMessage);
    // Once shown, its room stays while the page is in use, so the switches below never move up.
    if (!integrationMessage.isEmpty()) keepMessageRoom(true);
    m_systemIntegrationMessage->setVisible(!integrationMessage.isEmpty());
    setTextColour(m_systemIntegrationMessage, integrationColour);
    setSwitch(m_contextMenu, settings.contextMenuEnabled);
    m_contextMenuGuide->setVisible(!m_viewModel->isContextMenuGuideAcknowledged());

    setSwitch(m_passwordBookEnabled, settings.archivePasswordBookEnabled);
    setSwitch(m_passwordBookAutoSave, settings.archivePasswordBookAutoSaveEnabled);
    syncPasswordList();

    setSwitch(m_launchAtLogin, settings.launchAtLogin);
    syncLaunchAtLoginReminder();
    setSwitch(m_trayDrop, settings.trayDropEnabled);
    setSwitch(m_multiThreadEngine, true);

    m_status->setText(m_viewModel->message().value_or(QString()));
    m_status->setVisible(m_viewModel->message().has_value());
}

void SettingsView::syncPasswordList() {
    const QList<ArchivePasswordBookEntry>& entries = m_viewModel->passwordBookEntries();
    m_passwordCount->setText(SettingsTexts::passwordCount(entries.size()));
    m_clearPasswordBook->setEnabled(!entries.isEmpty());
    m_emptyPasswordBook->setVisible(entries.isEmpty());
    m_passwordList->setVisible(!entries.isEmpty());
    if (entries == m_shownEntries) return;
    m_shownEntries = entries;

    QVBoxLayout* layout = m_passwordList->contentLayout();
    // Later: the click that removed an entry may still be running in one of these rows.
    while (QLayoutItem* item = layout->takeAt(0)) {
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    for (const ArchivePasswordBookEntry& entry : entries) {
        auto* rowWidget = new QWidget;
        auto* row = new QHBoxLayout(rowWidget);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(10);
        QLabel* icon = Labels::icon(QStringLiteral("shield-lock"), 16, Theme::color(Colour::secondary));
        icon->setContentsMargins(0, 2, 0, 0);
        row->addWidget(icon, 0, Qt::AlignTop);
        row->addWidget(column({Labels::make(SettingsTexts::passwordLabel(entry), TextStyle::headline),
                               paragraph(SettingsTexts::passwordUsage(entry))},
                              4),
                       1);
        auto* remove = plainButton(QStringLiteral(u"移除"));
        connect(remove, &QPushButton::clicked, m_viewModel,
                [model = m_viewModel, entry] { model->removePasswordBookEntry(entry); });
        row->addWidget(remove, 0, Qt::AlignTop);
        layout->addWidget(rowWidget);
        if (entry.id != entries.constLast().id) layout->addWidget(divider());
    }
}

void SettingsView::syncLaunchAtLoginReminder() {
    const bool enabled = m_viewModel->settings().launchAtLogin;
    const Colour colour = SettingsTexts::launchAtLoginReminderColour(enabled);
    m_reminder->setColour(colour);
    m_reminderIcon->setPixmap(
        Icons::pixmap(SettingsTexts::launchAtLoginReminderIcon(enabled), 20, Theme::color(colour)));
    m_reminderTitle->setText(SettingsTexts::launchAtLoginReminderTitle(enabled));
    m_reminderButton->setVisible(!enabled);
}
