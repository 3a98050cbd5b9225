#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// Text on a limited number of lines that never widens its row: what does not fit is cut with an
// ellipsis, in the middle by default. The lines before the last are filled from the start and the
// last one takes the rest, cut, so with a middle cut the head and the tail of the text stay visible.
// A cut text shows itself whole as the label's tool tip, unless the label has a tool tip of its own.
class ElidedLabel : public QWidget {
    Q_OBJECT

public:
    explicit ElidedLabel(const QString& text = {}, QWidget* parent = nullptr);

    // Whether `text` is shown whole in `width` pixels, measured as the label cuts it.
    static bool fits(const QFont& font, const QString& text, int width);

    QString text() const { return m_text; }
    void setText(const QString& text);
    // At least 1; 1 by default.
    void setMaximumLines(int lines);
    void setElideMode(Qt::TextElideMode mode);
    // For a text ending in a volume name: its volume suffix (".part1.rar", ".7z.001") is never cut,
    // the text before it is cut at its end. Without room for the suffix the elide mode applies.
    void setKeepsVolumeSuffix(bool keeps);
    void setColor(const QColor& color);
    void setAlignment(Qt::Alignment alignment);

    // The lines shown for `width` pixels; the last one elided when needed.
    QStringList displayedLines(int width) const;
    // Whether the text shown at the label's width leaves some of it out.
    bool isCut() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return m_maximumLines > 1; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    QString elided(const QString& text, int width) const;

    QString m_text;
    bool m_keepsVolumeSuffix = false;
    int m_maximumLines = 1;
    Qt::TextElideMode m_elideMode = Qt::ElideMiddle;
    QColor m_color;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
};
