#pragma once

#include <QWidget>

class QPushButton;
class ValueBox;

// "Title | value box | 浏览": the title in the secondary colour in a 110 px column, the path on one
// line (cut in the middle) filling the row, and a browse button at the end. Emits browseRequested.
class PathRow : public QWidget {
    Q_OBJECT

public:
    PathRow(const QString& title, QWidget* parent = nullptr);

    QString value() const;
    void setValue(const QString& value);
    QPushButton* browseButton() const { return m_browse; }

Q_SIGNALS:
    void browseRequested();

private:
    ValueBox* m_value;
    QPushButton* m_browse;
};
