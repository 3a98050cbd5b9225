#include "views/kit/SummaryCard.h"

#include "views/kit/Labels.h"
#include "views/kit/StatusLine.h"

#include <QVBoxLayout>

SummaryCard::SummaryCard(const QString& title, const QString& note, QWidget* parent)
    : Card(parent), m_note(Labels::make(note, Theme::TextStyle::callout, Theme::Colour::secondary, this)) {
    setFixedWidth(360);
    m_note->setWordWrap(true);
    contentLayout()->addWidget(Labels::make(title, Theme::TextStyle::title3, QFont::Bold));
    contentLayout()->addWidget(m_note);
}

StatusLine* SummaryCard::addLine(const QString& label) {
    auto* line = new StatusLine(label, {}, this);
    contentLayout()->insertWidget(contentLayout()->indexOf(m_note), line);
    m_lines.append(line);
    return line;
}

QString SummaryCard::value(const QString& label) const {
    for (const StatusLine* line : m_lines) {
        if (line->label() == label) return line->value();
    }
    return {};
}
