#pragma once

#include <QAbstractButton>

// The on/off switch of the settings rows: a capsule in the accent colour when on, grey when off, with
// a white knob.
class ToggleSwitch : public QAbstractButton {
    Q_OBJECT

public:
    explicit ToggleSwitch(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
