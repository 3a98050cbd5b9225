#pragma once

#include <QScrollArea>

class QScrollBar;

// A vertical scroll area for a page whose scroll bar floats over the page's right margin instead of
// taking width from the content, so a page lays out the same whether it scrolls or not (the home
// grid keeps its four columns). A page that is cut short for a moment (a panel emptied while its
// content is worked out again) does not leave the reader at its top: the place is taken again once
// the page is long enough, unless the reader scrolled meanwhile.
class ScrollPage : public QScrollArea {
    Q_OBJECT

public:
    explicit ScrollPage(QWidget* page, QWidget* parent = nullptr);

    QScrollBar* indicator() const { return m_indicator; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeIndicator();

    QScrollBar* m_indicator;
    // Where the reader last scrolled to, kept while a shorter page holds the view above it.
    int m_place = 0;
};
