#pragma once

#include <QWidget>

class ElidedLabel;

// A value on one line in a rounded box of the text background, radius 6: the value of path rows and
// read-only rows. Long values are cut in the middle, on the last of the lines it may take (1 unless set).
class ValueBox : public QWidget {
    Q_OBJECT

public:
    ValueBox(int padding, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    void setMaximumLines(int lines);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ElidedLabel* m_label;
};
