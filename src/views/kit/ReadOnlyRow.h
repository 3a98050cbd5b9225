#pragma once

#include <QWidget>

class ValueBox;

// "Title | value": the title in the secondary colour in an 82 px column and the value in a rounded
// text-background box filling the rest, on up to three lines so a narrow card shows it whole. Shows a
// value; takes no input.
class ReadOnlyRow : public QWidget {
    Q_OBJECT

public:
    ReadOnlyRow(const QString& title, const QString& value = {}, QWidget* parent = nullptr);

    QString value() const;
    void setValue(const QString& value);

private:
    ValueBox* m_value;
};
