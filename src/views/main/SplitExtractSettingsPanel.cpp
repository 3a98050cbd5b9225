#include "views/main/SplitExtractSettingsPanel.h"

#include "viewmodels/SplitExtractViewModel.h"
#include "viewmodels/WorkbenchContext.h"
#include "views/kit/Labels.h"
#include "views/kit/PathRow.h"
#include "views/kit/QuietSync.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

QVBoxLayout* settingsColumn(const QString& title) {
    auto* column = new QVBoxLayout;
    column->setSpacing(14);
    column->addWidget(Labels::make(title, Theme::TextStyle::title3, QFont::Bold));
    return column;
}

}  // namespace

SplitExtractSettingsPanel::SplitExtractSettingsPanel(SplitExtractViewModel& model, QWidget* parent)
    : Card(parent),
      m_model(model),
      m_destination(new PathRow(QStringLiteral(u"解压位置"))),
      m_open(new QCheckBox(QStringLiteral(u"解压后打开目标文件夹"))),
      m_verify(new QCheckBox(QStringLiteral(u"解压前校验文件完整性（推荐）"))),
      m_notify(new QCheckBox(QStringLiteral(u"解压完成后通知我"))) {
    auto* row = new QHBoxLayout;
    row->setSpacing(28);
    QVBoxLayout* left = settingsColumn(QStringLiteral(u"解压设置"));
    left->addWidget(m_destination);
    left->addWidget(m_open);
    left->addStretch();
    QVBoxLayout* right = settingsColumn(QStringLiteral(u"其他选项"));
    right->addWidget(m_verify);
    right->addWidget(m_notify);
    right->addStretch();
    row->addLayout(left, 1);
    row->addLayout(right, 1);
    contentLayout()->addLayout(row);

    connect(m_destination, &PathRow::browseRequested, &model, &SplitExtractViewModel::selectDestination);
    connect(m_open, &QCheckBox::toggled, &model,
            &SplitExtractViewModel::setShouldOpenSplitArchiveDestinationAfterExtract);
    // Kept with the other options; every set is validated by its scan before it can be extracted.
    connect(m_verify, &QCheckBox::toggled, &model,
            &SplitExtractViewModel::setShouldVerifySplitArchiveBeforeExtract);
    connect(m_notify, &QCheckBox::toggled, &model,
            &SplitExtractViewModel::setShouldNotifyAfterSplitArchiveExtract);
    connect(&model.context(), &WorkbenchContext::destinationURLChanged, this,
            &SplitExtractSettingsPanel::syncFromModel);
    connect(&model, &SplitExtractViewModel::splitArchiveDescriptorChanged, this,
            &SplitExtractSettingsPanel::syncFromModel);
    connect(&model, &SplitExtractViewModel::changed, this, &SplitExtractSettingsPanel::syncOptions);
    syncFromModel();
    syncOptions();
}

void SplitExtractSettingsPanel::syncFromModel() {
    m_destination->setValue(m_model.splitArchiveDefaultDestinationDescription());
}

void SplitExtractSettingsPanel::syncOptions() {
    QuietSync::setChecked(m_open, m_model.shouldOpenSplitArchiveDestinationAfterExtract());
    QuietSync::setChecked(m_verify, m_model.shouldVerifySplitArchiveBeforeExtract());
    QuietSync::setChecked(m_notify, m_model.shouldNotifyAfterSplitArchiveExtract());
}
