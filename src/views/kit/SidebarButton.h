#pragma once

#include <QAbstractButton>

// A navigation entry of the sidebar, painted flat: icon and title, accent text on an accent-tinted
// rounded background while selected. `topLevel` entries use the headline font; `child`
// entries of a group are smaller; a `groupHeader` also shows a chevron for its expansion.
class SidebarButton : public QAbstractButton {
    Q_OBJECT

public:
    enum class Variant { topLevel, child, groupHeader };

    SidebarButton(const QString& title, const QString& iconName, Variant variant, QWidget* parent = nullptr);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    // Group headers only: which chevron is shown.
    void setExpanded(bool expanded);
    bool isExpanded() const { return m_expanded; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Return and Enter go to the entry as Space does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QMargins padding() const;

    QString m_iconName;
    Variant m_variant;
    bool m_selected = false;
    bool m_expanded = false;
};
