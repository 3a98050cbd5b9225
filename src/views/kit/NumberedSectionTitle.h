#pragma once

#include <QWidget>

// A card heading: the number in white on a 20 px accent circle, then the title in bold.
class NumberedSectionTitle : public QWidget {
    Q_OBJECT

public:
    NumberedSectionTitle(int number, const QString& title, QWidget* parent = nullptr);
};
