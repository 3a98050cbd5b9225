#pragma once

#include <QScrollArea>

class QScrollBar;

// A vertical scroll area for a page whose scroll bar floats over the page's right margin instead of
// taking width from the content, so a page lays out the same whether it scrolls or not (the home
// grid keeps its four columns).
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
};
