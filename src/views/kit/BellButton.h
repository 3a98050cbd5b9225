#pragma once

#include <QAbstractButton>

// The notifications button of the top bar: a bell and, while anything is unread, a red 9 px dot at
// its top-right corner. The dot never shows a count.
class BellButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit BellButton(QWidget* parent = nullptr);

    bool showsDot() const { return m_showsDot; }
    void setShowsDot(bool shows);

    QSize sizeHint() const override { return {30, 30}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_showsDot = false;
};
