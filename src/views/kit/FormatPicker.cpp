#include "views/kit/FormatPicker.h"

#include "core/base/CompressionFormat.h"
#include "views/kit/Icons.h"
#include "views/kit/Theme.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPainter>

namespace {

// A bordered choice: the radio symbol and the format's name, tinted while selected.
class FormatChoice : public QAbstractButton {
public:
    FormatChoice(const QString& title, QWidget* parent) : QAbstractButton(parent) {
        setText(title);
        setCheckable(true);
        setFont(Theme::font(Theme::TextStyle::body, QFont::Medium));
        setCursor(Qt::PointingHandCursor);
    }

    QSize sizeHint() const override {
        const QFontMetrics metrics(font());
        return {16 + 16 + 6 + metrics.horizontalAdvance(text()) + 16, metrics.height() + 16};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(QPen(Theme::color(Theme::Colour::black, isDown() ? 0.25 : 0.15), 1));
        painter.setBrush(isChecked() ? Theme::color(Theme::Colour::accent, 0.1)
                                     : Theme::color(Theme::Colour::controlBackground));
        painter.drawRoundedRect(frame, 8, 8);
        const QString symbol = isChecked() ? QStringLiteral("radio-selected") : QStringLiteral("circle");
        const QColor ink = Theme::color(isChecked() ? Theme::Colour::accent : Theme::Colour::secondary);
        painter.drawPixmap(16, (height() - 16) / 2, Icons::pixmap(symbol, 16, ink));
        painter.setPen(Theme::color(Theme::Colour::primary));
        painter.drawText(rect().adjusted(16 + 16 + 6, 0, -16, 0), Qt::AlignVCenter | Qt::AlignLeft, text());
    }
};

}  // namespace

FormatPicker::FormatPicker(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    for (const CompressionFormat format : CompressionFormats::all()) {
        auto* choice = new FormatChoice(CompressionFormats::displayName(format), this);
        choice->setToolTip(helpText(format));
        // The selection follows the model, not the click.
        connect(choice, &QAbstractButton::clicked, this, [this, format, choice] {
            choice->setChecked(format == m_selected);
            Q_EMIT formatChosen(format);
        });
        m_buttons[format] = choice;
        layout->addWidget(choice);
    }
    layout->addStretch();
    setSelectedFormat(m_selected);
}

void FormatPicker::setSelectedFormat(CompressionFormat format) {
    m_selected = format;
    for (const auto& [candidate, button] : m_buttons) button->setChecked(candidate == format);
}

QString FormatPicker::helpText(CompressionFormat format) {
    switch (format) {
        case CompressionFormat::zip:
            return QStringLiteral(u"适合发给未安装本软件的设备打开；设置密码时使用系统兼容 ZIP 加密。");
        case CompressionFormat::sevenZip:
            return QStringLiteral(u"压缩率更高；加密 7Z 需要对方安装本软件或兼容 7-Zip 的解压工具。");
        case CompressionFormat::rar:
            return CompressionFormats::rarCreationRefusal();
        case CompressionFormat::tarGzip:
            return QStringLiteral("TAR.GZ");
    }
    return {};
}
