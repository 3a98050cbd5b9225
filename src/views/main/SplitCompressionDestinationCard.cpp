#include "views/main/SplitCompressionDestinationCard.h"

#include "viewmodels/SplitCompressViewModel.h"
#include "views/kit/FeedbackBanner.h"
#include "views/kit/Labels.h"
#include "views/kit/NumberedSectionTitle.h"
#include "views/kit/QuietSync.h"
#include "views/kit/ValueBox.h"
#include "views/main/SplitCompressionPageRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

SplitCompressionDestinationCard::SplitCompressionDestinationCard(SplitCompressViewModel& model,
                                                                 TasksViewModel& tasks, QWidget* parent)
    : Card(parent),
      m_model(model),
      m_folder(new ValueBox(8)),
      m_change(new QPushButton(QStringLiteral(u"更改"))),
      m_name(new QLineEdit),
      m_conflict(new QComboBox),
      m_space(Labels::make({}, Theme::TextStyle::callout, Theme::Colour::secondary)),
      m_open(new QCheckBox(QStringLiteral(u"完成后打开目标文件夹"))),
      m_notify(new QCheckBox(QStringLiteral(u"完成后通知我"))),
      m_cancel(new QPushButton(QStringLiteral(u"取消"))),
      m_start(Labels::prominentButton(QStringLiteral(u"开始压缩"), QStringLiteral("play-filled"))),
      m_banner(new FeedbackBanner(model.context(), tasks, nullptr, FeedbackBanner::Room::alwaysKept)) {
    contentLayout()->addWidget(new NumberedSectionTitle(5, QStringLiteral(u"保存位置")));
    auto* folderRow = new QHBoxLayout;
    folderRow->setSpacing(10);
    folderRow->addWidget(m_folder, 1);
    m_change->setFixedWidth(82);
    folderRow->addWidget(m_change);
    contentLayout()->addLayout(folderRow);
    contentLayout()->addWidget(makeNameRow());
    contentLayout()->addWidget(makeOptionsRow());
    contentLayout()->addWidget(makeButtonRow());

    connect(m_change, &QPushButton::clicked, &model, [&model] { model.selectSplitCompressionDestination(); });
    connect(m_name, &QLineEdit::textEdited, &model, &SplitCompressViewModel::setSplitCompressionBaseName);
    connect(m_conflict, &QComboBox::activated, this, [this](int index) {
        m_model.setSplitCompressionConflictStrategy(
            SplitCompressionConflictStrategies::all().at(size_t(index)));
    });
    connect(m_open, &QCheckBox::toggled, &model,
            &SplitCompressViewModel::setSplitCompressionOpenAfterCompletion);
    connect(m_notify, &QCheckBox::toggled, &model,
            &SplitCompressViewModel::setSplitCompressionNotifyAfterCompletion);
    // "取消" empties the form; it does not stop a compression already under way.
    connect(m_cancel, &QPushButton::clicked, &model, &SplitCompressViewModel::clearSplitCompressionItems);
    connect(m_start, &QPushButton::clicked, &model, &SplitCompressViewModel::startSplitCompression);
    connect(&model, &SplitCompressViewModel::changed, this, &SplitCompressionDestinationCard::syncFromModel);
    connect(&model.context(), &WorkbenchContext::changed, this,
            &SplitCompressionDestinationCard::syncFromModel);
    syncFromModel();
}

QWidget* SplitCompressionDestinationCard::makeNameRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(
        Labels::make(QStringLiteral(u"压缩包名称"), Theme::TextStyle::body, Theme::Colour::secondary));
    m_name->setPlaceholderText(QStringLiteral(u"压缩文件"));
    layout->addWidget(m_name, 1);

    auto* picker = new QWidget;
    picker->setFixedWidth(180);
    auto* pickerLayout = new QHBoxLayout(picker);
    pickerLayout->setContentsMargins(0, 0, 0, 0);
    pickerLayout->addWidget(Labels::make(QStringLiteral(u"冲突处理"), Theme::TextStyle::body));
    for (SplitCompressionConflictStrategy strategy : SplitCompressionConflictStrategies::all())
        m_conflict->addItem(SplitCompressionPageRules::conflictStrategyLabel(strategy));
    pickerLayout->addWidget(m_conflict, 1);
    layout->addWidget(picker);
    return row;
}

QWidget* SplitCompressionDestinationCard::makeOptionsRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_space);
    layout->addStretch();
    layout->addWidget(m_open);
    layout->addSpacing(12);
    layout->addWidget(m_notify);
    return row;
}

QWidget* SplitCompressionDestinationCard::makeButtonRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    // The banner's room is the row's whether or not it shows, so nothing moves when it comes or goes.
    layout->addWidget(m_banner, 1);
    m_cancel->setFixedSize(120, 40);
    layout->addWidget(m_cancel);
    m_start->setFixedWidth(150);
    layout->addWidget(m_start);
    return row;
}

void SplitCompressionDestinationCard::setAvailableSpace(const QString& text) { m_space->setText(text); }

QString SplitCompressionDestinationCard::availableSpace() const { return m_space->text(); }

QString SplitCompressionDestinationCard::folderText() const { return m_folder->text(); }

void SplitCompressionDestinationCard::syncFromModel() {
    m_folder->setText(m_model.splitCompressionOutputDirectoryDescription());
    if (m_name->text() != m_model.splitCompressionBaseName())
        m_name->setText(m_model.splitCompressionBaseName());
    const auto& strategies = SplitCompressionConflictStrategies::all();
    m_conflict->setCurrentIndex(
        int(std::find(strategies.begin(), strategies.end(), m_model.splitCompressionConflictStrategy()) -
            strategies.begin()));
    QuietSync::setChecked(m_open, m_model.splitCompressionOpenAfterCompletion());
    QuietSync::setChecked(m_notify, m_model.splitCompressionNotifyAfterCompletion());
    QuietSync::setEnabled(
        m_start, SplitCompressionPageRules::startButtonEnabled(m_model.context().isWorking(),
                                                               m_model.isCalculatingSplitCompressionItems()));
}
