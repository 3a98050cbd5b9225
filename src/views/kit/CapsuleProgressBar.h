#pragma once

#include "views/kit/Theme.h"

#include <QWidget>

// A progress bar drawn as two capsules: a faint black track and, from its leading edge, a fill whose
// width is the track's times the progress held within 0...1. A progress that is not a finite number
// shows an empty bar.
class CapsuleProgressBar : public QWidget {
    Q_OBJECT

public:
    explicit CapsuleProgressBar(int height = 8, QWidget* parent = nullptr);

    double progress() const { return m_progress; }
    void setProgress(double progress);
    void setFillColour(Theme::Colour colour);

    // The share of the track that is filled.
    static double filledFraction(double progress);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_progress = 0;
    Theme::Colour m_fill = Theme::Colour::accent;
};
