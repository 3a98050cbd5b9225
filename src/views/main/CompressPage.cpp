#include "views/main/CompressPage.h"

#include "viewmodels/CompressViewModel.h"
#include "viewmodels/SelectionSizes.h"
#include "views/kit/Card.h"
#include "views/kit/CompressionLevelPicker.h"
#include "views/kit/DropIntake.h"
#include "views/kit/FeedbackBanner.h"
#include "views/kit/FormatPicker.h"
#include "views/kit/Labels.h"
#include "views/kit/PathRow.h"
#include "views/kit/QuietSync.h"
#include "views/kit/StatusLine.h"
#include "views/kit/SummaryCard.h"
#include "views/kit/WorkbenchTexts.h"
#include "views/main/OperationPageLayout.h"
#include "views/main/SelectionCard.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CompressPage::CompressPage(CompressViewModel& model, TasksViewModel& tasks, QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_sizes(new SelectionSizes(nullptr, this)),
      m_sources(
          new SelectionCard({QStringLiteral(u" 个文件"), QStringLiteral(u"添加文件"),
                             QStringLiteral(u"还没有选择要压缩的文件"), QStringLiteral("document-plus")},
                            ArchiveActivityKind::compress, *m_sizes, this)),
      m_banner(new FeedbackBanner(model.context(), tasks, this)),
      m_start(Labels::prominentButton(QStringLiteral(u"立即压缩"), QStringLiteral("archive-box"), this)) {
    OperationPageLayout::arrange(this, m_sources, m_banner, buildSettingsCard(), buildSummaryCard(), m_start);

    DropIntake::install(m_sources,
                        [this](const QStringList& paths) { m_model.selectFilesForCompression(paths); });
    connect(m_sources->addButton(), &QPushButton::clicked, &m_model,
            qOverload<>(&CompressViewModel::selectFilesForCompression));
    connect(m_sources->clearButton(), &QPushButton::clicked, &m_model,
            &CompressViewModel::clearCompressionSelection);
    connect(m_start, &QPushButton::clicked, this, [this] { m_model.compress(false); });
    connect(&m_model, &CompressViewModel::changed, this, &CompressPage::syncFromModel);
    connect(&m_model.context(), &WorkbenchContext::changed, this, &CompressPage::syncFromModel);
    connect(m_sizes, &SelectionSizes::changed, this, &CompressPage::syncSummary);
    syncFromModel();
}

QWidget* CompressPage::buildSettingsCard() {
    auto* card = new Card(this);
    QVBoxLayout* rows = card->contentLayout();
    rows->addWidget(Labels::make(QStringLiteral(u"压缩设置"), Theme::TextStyle::title3, QFont::Bold));
    m_formats = new FormatPicker(card);
    rows->addWidget(m_formats);
    m_levels = new CompressionLevelPicker(card);
    rows->addWidget(m_levels);
    m_destination = new PathRow(QStringLiteral(u"保存路径"), card);
    rows->addWidget(m_destination);
    m_separateArchives = new QCheckBox(QStringLiteral(u"压缩到单独文件"), card);
    m_ignoreHiddenFiles = new QCheckBox(QStringLiteral(u"压缩时排除隐藏文件"), card);
    // A finished compression moves its sources to the trash.
    m_deleteSource = new QCheckBox(QStringLiteral(u"压缩后删除原文件"), card);
    for (QCheckBox* toggle : {m_separateArchives, m_ignoreHiddenFiles, m_deleteSource})
        rows->addWidget(toggle);
    m_password = new QLineEdit(card);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(QStringLiteral(u"设置密码（可选）"));
    rows->addWidget(m_password);
    // Why the field is off, beside it, while a format without encryption is chosen. Its line is kept
    // for the other formats, so choosing one never moves the start button.
    m_passwordNote = Labels::make(QStringLiteral(u"一行"), Theme::TextStyle::callout, Theme::Colour::secondary, card);
    m_passwordNote->setMinimumHeight(m_passwordNote->sizeHint().height());
    m_passwordNote->setWordWrap(true);
    QSizePolicy notePolicy = m_passwordNote->sizePolicy();
    notePolicy.setRetainSizeWhenHidden(true);
    m_passwordNote->setSizePolicy(notePolicy);
    rows->addWidget(m_passwordNote);

    connect(m_formats, &FormatPicker::formatChosen, &m_model, &CompressViewModel::selectCompressionFormat);
    connect(m_levels, &CompressionLevelPicker::levelChosen, &m_model,
            &CompressViewModel::setSelectedCompressionLevel);
    connect(m_destination, &PathRow::browseRequested, &m_model.context(),
            &WorkbenchContext::selectDestination);
    connect(m_separateArchives, &QCheckBox::toggled, this, [this](bool on) {
        m_model.context().updateSettings(
            [on](AppSettings& settings) { settings.compressToSeparateFolder = on; });
        if (!on) {
            m_model.context().setAlertMessage(
                QStringLiteral(u"取消勾选“压缩到单独文件”后，所选文件会被压缩到一个文件内。"));
        }
    });
    connect(m_ignoreHiddenFiles, &QCheckBox::toggled, this, [this](bool on) {
        m_model.context().updateSettings(
            [on](AppSettings& settings) { settings.ignoreHiddenFilesWhenCompressing = on; });
    });
    connect(m_deleteSource, &QCheckBox::toggled, this, [this](bool on) {
        m_model.context().updateSettings(
            [on](AppSettings& settings) { settings.deleteSourceAfterCompress = on; });
    });
    connect(m_password, &QLineEdit::textEdited, &m_model, &CompressViewModel::setCompressionPassword);
    return card;
}

QWidget* CompressPage::buildSummaryCard() {
    m_summary = new SummaryCard(QStringLiteral(u"压缩摘要"),
                                QStringLiteral(u"实际压缩大小会因文件内容和所选格式不同。"), this);
    m_formatLine = m_summary->addLine(QStringLiteral(u"压缩格式"));
    m_levelLine = m_summary->addLine(QStringLiteral(u"压缩级别"));
    m_countLine = m_summary->addLine(QStringLiteral(u"文件数量"));
    m_sizeLine = m_summary->addLine(QStringLiteral(u"总大小"));
    m_estimateLine = m_summary->addLine(QStringLiteral(u"预计压缩后大小"));
    return m_summary;
}

QString CompressPage::summaryValue(const QString& label) const { return m_summary->value(label); }

void CompressPage::syncFromModel() {
    const QStringList& files = m_model.selectedFilesForCompression();
    m_sources->setPaths(files);
    m_sizes->setPaths(files);
    m_sizes->setEstimateParameters(m_model.selectedCompressionFormat(), m_model.selectedCompressionLevel());
    m_formats->setSelectedFormat(m_model.selectedCompressionFormat());
    m_levels->setSelectedLevel(m_model.selectedCompressionLevel());
    m_destination->setValue(m_model.context().destinationDescription());
    const AppSettings& settings = m_model.context().settings();
    QuietSync::setChecked(m_separateArchives, settings.compressToSeparateFolder);
    QuietSync::setChecked(m_ignoreHiddenFiles, settings.ignoreHiddenFilesWhenCompressing);
    QuietSync::setChecked(m_deleteSource, settings.deleteSourceAfterCompress);
    if (m_password->text() != m_model.compressionPassword())
        m_password->setText(m_model.compressionPassword());
    const std::optional<QString> note =
        WorkbenchTexts::passwordUnavailableNote(m_model.selectedCompressionFormat());
    m_password->setEnabled(!note);
    m_passwordNote->setText(note.value_or(QString()));
    m_passwordNote->setVisible(note.has_value());
    m_formatLine->setValue(CompressionFormats::displayName(m_model.selectedCompressionFormat()));
    m_levelLine->setValue(CompressionLevels::displayName(m_model.selectedCompressionLevel()));
    m_countLine->setValue(QString::number(files.size()));
    syncSummary();
}

void CompressPage::syncSummary() {
    const auto total = m_sizes->total();
    m_sizeLine->setValue(total ? WorkbenchTexts::sizeText(*total) : QStringLiteral(u"…"));
    const auto estimate = m_sizes->estimate();
    m_estimateLine->setValue(estimate ? WorkbenchTexts::estimateText(*estimate) : QStringLiteral(u"…"));
}
