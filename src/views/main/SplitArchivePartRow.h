#pragma once

#include "core/split/SplitArchivePart.h"
#include "views/main/SplitExtractPageRules.h"

#include <QAbstractButton>

// One volume of the scanned set: its name (with a "主卷" tag for the primary volume), what is wrong
// with it, and symbols in its state's colour, on a rounded box outlined by role and state. The whole
// row is the button.
class SplitArchivePartRow : public QAbstractButton {
    Q_OBJECT

public:
    explicit SplitArchivePartRow(const SplitArchivePart& part, QWidget* parent = nullptr);

    const SplitArchivePart& part() const { return m_part; }
    const SplitExtractPageRules::PartRowLook& look() const { return m_look; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SplitArchivePart m_part;
    SplitExtractPageRules::PartRowLook m_look;
};
