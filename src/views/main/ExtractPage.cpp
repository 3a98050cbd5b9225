#include "views/main/ExtractPage.h"

#include "viewmodels/ExtractViewModel.h"
#include "viewmodels/SelectionSizes.h"
#include "views/kit/Card.h"
#include "views/kit/DropIntake.h"
#include "views/kit/FeedbackBanner.h"
#include "views/kit/Labels.h"
#include "views/kit/PathRow.h"
#include "views/kit/QuietSync.h"
#include "views/kit/StatusLine.h"
#include "views/kit/SummaryCard.h"
#include "views/kit/WorkbenchTexts.h"
#include "views/main/OperationPageLayout.h"
#include "views/main/SelectionCard.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ExtractPage::ExtractPage(ExtractViewModel& model, TasksViewModel& tasks, QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_sizes(new SelectionSizes(nullptr, this)),
      m_archives(
          new SelectionCard({QStringLiteral(u" 个压缩包"), QStringLiteral(u"添加压缩包"),
                             QStringLiteral(u"还没有选择要解压的压缩包"), QStringLiteral("document-zip")},
                            ArchiveActivityKind::extract, *m_sizes, this)),
      m_banner(new FeedbackBanner(model.context(), tasks, this)),
      m_start(Labels::prominentButton(QStringLiteral(u"立即解压"), QStringLiteral("tray-arrow-down-filled"),
                                      this)) {
    m_sizes->setSizesArchives(true);
    OperationPageLayout::arrange(this, m_archives, m_banner, buildSettingsCard(), buildSummaryCard(),
                                 m_start);

    DropIntake::install(m_archives,
                        [this](const QStringList& paths) { m_model.selectArchivesForExtraction(paths); });
    connect(m_archives->addButton(), &QPushButton::clicked, &m_model, &ExtractViewModel::selectArchive);
    connect(m_archives->clearButton(), &QPushButton::clicked, &m_model,
            &ExtractViewModel::clearExtractionSelection);
    connect(m_start, &QPushButton::clicked, this, [this] { m_model.extract(); });
    connect(&m_model, &ExtractViewModel::changed, this, &ExtractPage::syncFromModel);
    connect(&m_model.context(), &WorkbenchContext::changed, this, &ExtractPage::syncFromModel);
    connect(m_sizes, &SelectionSizes::changed, this, &ExtractPage::syncSummary);
    syncFromModel();
}

QWidget* ExtractPage::buildSettingsCard() {
    auto* card = new Card(this);
    QVBoxLayout* rows = card->contentLayout();
    rows->addWidget(Labels::make(QStringLiteral(u"解压设置"), Theme::TextStyle::title3, QFont::Bold));
    m_destination = new PathRow(QStringLiteral(u"解压位置"), card);
    rows->addWidget(m_destination);
    auto* toggles = new QHBoxLayout;
    toggles->setSpacing(28);
    m_currentLocation = new QCheckBox(QStringLiteral(u"解压到当前目录"), card);
    m_separateFolder = new QCheckBox(QStringLiteral(u"解压到单独文件夹"), card);
    m_openAfter = new QCheckBox(QStringLiteral(u"解压后自动打开文件夹"), card);
    for (QCheckBox* toggle : {m_currentLocation, m_separateFolder, m_openAfter}) toggles->addWidget(toggle);
    toggles->addStretch();
    rows->addLayout(toggles);
    m_password = new QLineEdit(card);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(QStringLiteral(u"密码（如有）"));
    rows->addWidget(m_password);

    connect(m_destination, &PathRow::browseRequested, &m_model.context(),
            &WorkbenchContext::selectDestination);
    // On mirrors "no folder chosen"; switching it off changes nothing, a chosen folder does.
    connect(m_currentLocation, &QCheckBox::toggled, this, [this](bool on) {
        if (on) m_model.context().resetDestinationToCurrentLocation();
        QuietSync::setChecked(m_currentLocation, !m_model.context().destinationURL().has_value());
    });
    connect(m_separateFolder, &QCheckBox::toggled, this, [this](bool on) {
        m_model.context().updateSettings(
            [on](AppSettings& settings) { settings.extractToSeparateFolder = on; });
        if (!on) {
            m_model.context().setAlertMessage(
                QStringLiteral(u"取消勾选“解压到单独文件夹”后，所选文件会被解压到同一个文件夹内。"));
        }
    });
    // Extractions from this page always open their output.
    m_openAfter->setChecked(true);
    connect(m_openAfter, &QCheckBox::toggled, this, [this] { QuietSync::setChecked(m_openAfter, true); });
    connect(m_password, &QLineEdit::textEdited, &m_model, &ExtractViewModel::setExtractionPassword);
    return card;
}

QWidget* ExtractPage::buildSummaryCard() {
    m_summary =
        new SummaryCard(QStringLiteral(u"解压摘要"), QStringLiteral(u"解压完成后会自动打开输出目录。"), this);
    m_countLine = m_summary->addLine(QStringLiteral(u"压缩包数量"));
    m_sizeLine = m_summary->addLine(QStringLiteral(u"总大小"));
    m_formatsLine = m_summary->addLine(QStringLiteral(u"主要格式"));
    return m_summary;
}

QString ExtractPage::summaryValue(const QString& label) const { return m_summary->value(label); }

void ExtractPage::syncFromModel() {
    const QStringList& archives = m_model.selectedArchivesForExtraction();
    m_archives->setPaths(archives);
    m_sizes->setPaths(archives);
    const WorkbenchContext& context = m_model.context();
    m_destination->setValue(context.destinationDescription());
    QuietSync::setChecked(m_currentLocation, !context.destinationURL().has_value());
    QuietSync::setChecked(m_separateFolder, context.settings().extractToSeparateFolder);
    if (m_password->text() != m_model.extractionPassword()) m_password->setText(m_model.extractionPassword());
    m_countLine->setValue(QString::number(archives.size()));
    m_formatsLine->setValue(WorkbenchTexts::selectedArchiveFormats(archives));
    syncSummary();
}

void ExtractPage::syncSummary() {
    const auto total = m_sizes->total();
    m_sizeLine->setValue(total ? WorkbenchTexts::sizeText(*total) : QStringLiteral(u"…"));
}
