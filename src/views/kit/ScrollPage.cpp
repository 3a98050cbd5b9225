#include "views/kit/ScrollPage.h"

#include <QScrollBar>

namespace {
constexpr int kIndicatorWidth = 10;
}

ScrollPage::ScrollPage(QWidget* page, QWidget* parent)
    : QScrollArea(parent), m_indicator(new QScrollBar(Qt::Vertical, this)) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidget(page);
    page->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);

    QScrollBar* own = verticalScrollBar();
    connect(own, &QScrollBar::rangeChanged, this, [this, own](int minimum, int maximum) {
        m_indicator->setRange(minimum, maximum);
        m_indicator->setVisible(maximum > minimum);
        if (own->value() < m_place && m_place <= maximum) own->setValue(m_place);
    });
    // A value pulled up to the end of a shorter page is no scroll of the reader's.
    connect(own, &QScrollBar::valueChanged, this, [this, own](int value) {
        if (value < own->maximum() || value >= m_place) m_place = value;
    });
    connect(own, &QScrollBar::valueChanged, m_indicator, &QScrollBar::setValue);
    connect(m_indicator, &QScrollBar::valueChanged, own, &QScrollBar::setValue);
    m_indicator->setVisible(false);
}

void ScrollPage::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    m_indicator->setPageStep(verticalScrollBar()->pageStep());
    m_indicator->setSingleStep(verticalScrollBar()->singleStep());
    placeIndicator();
}

void ScrollPage::placeIndicator() {
    m_indicator->setGeometry(width() - kIndicatorWidth - 2, 0, kIndicatorWidth, height());
    m_indicator->raise();
}
