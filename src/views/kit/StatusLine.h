#pragma once

#include <QWidget>

class QLabel;

// A summary row: the label in the secondary colour on the left, the value in the headline font on
// one line at the right.
class StatusLine : public QWidget {
    Q_OBJECT

public:
    StatusLine(const QString& label, const QString& value = {}, QWidget* parent = nullptr);

    QString label() const { return m_label; }
    QString value() const;
    void setValue(const QString& value);

private:
    QString m_label;
    QLabel* m_value;
};
