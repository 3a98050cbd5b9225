#pragma once

#include <QWidget>

// The centred placeholder of an empty list or panel: an icon in the large-title size above a text,
// both in the secondary colour, at least 120 px high.
class EmptyState : public QWidget {
    Q_OBJECT

public:
    EmptyState(const QString& title, const QString& iconName, QWidget* parent = nullptr);
};
