#include "views/kit/WindowFit.h"

namespace WindowFit {

QSize size(QSize preferred, const QRect& available) {
    return preferred.boundedTo(QSize(available.width(), available.height() - kTitleBar)).expandedTo(QSize(1, 1));
}

}  // namespace WindowFit
