#pragma once

#include "views/kit/DashedFrame.h"
#include "views/main/SplitExtractPageRules.h"

class SplitExtractViewModel;
class QPushButton;
class QStackedLayout;

// The dashed drop area of the split-extract page. It takes one dropped volume and shows, by page
// state, the prompt with "选择文件", the scan under way with its cancel button, or the offer to
// extract a file that is no split volume the ordinary way.
class SplitExtractDropZone : public DashedFrame {
    Q_OBJECT

public:
    explicit SplitExtractDropZone(SplitExtractViewModel& model, QWidget* parent = nullptr);

    SplitExtractPageRules::DropZoneContent content() const;
    QPushButton* cancelScanButton() const { return m_cancelScan; }
    QPushButton* cancelRegularButton() const { return m_cancelRegular; }
    QPushButton* regularExtractButton() const { return m_regularExtract; }

private:
    QWidget* makePrompt();
    QWidget* makeScanning();
    QWidget* makeNotSplitArchive();
    void syncFromModel();
    void cancelScan();

    SplitExtractViewModel& m_model;
    QStackedLayout* m_contents;
    QWidget* m_prompt;
    QWidget* m_scanning;
    QWidget* m_notSplitArchive;
    QPushButton* m_choose;
    QPushButton* m_cancelScan;
    QPushButton* m_cancelRegular;
    QPushButton* m_regularExtract;
};
