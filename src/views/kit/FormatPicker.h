#pragma once

#include "core/base/CompressionFormat.h"

#include <QWidget>
#include <map>

class QAbstractButton;

// One choice per creatable format in a row (ZIP, 7Z, RAR, TAR.GZ), the selected one marked and
// tinted. A click only emits formatChosen: the page's model decides (it refuses RAR) and the page
// sets the selection back from it.
class FormatPicker : public QWidget {
    Q_OBJECT

public:
    explicit FormatPicker(QWidget* parent = nullptr);

    void setSelectedFormat(CompressionFormat format);
    QAbstractButton* button(CompressionFormat format) const { return m_buttons.at(format); }

    static QString helpText(CompressionFormat format);

Q_SIGNALS:
    void formatChosen(CompressionFormat format);

private:
    std::map<CompressionFormat, QAbstractButton*> m_buttons;
    CompressionFormat m_selected = CompressionFormat::zip;
};
