#pragma once

#include "views/kit/Card.h"

#include <QList>

class QLabel;
class StatusLine;

// A page's summary beside its settings: a title, its lines, and a note under them.
class SummaryCard : public Card {
    Q_OBJECT

public:
    SummaryCard(const QString& title, const QString& note, QWidget* parent = nullptr);

    // A new line above the note.
    StatusLine* addLine(const QString& label);
    // The value shown for that label, or nothing for a label the card does not have.
    QString value(const QString& label) const;

private:
    QList<StatusLine*> m_lines;
    QLabel* m_note;
};
