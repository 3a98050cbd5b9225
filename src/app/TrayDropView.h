#pragma once

#include "app/TrayDropModel.h"

#include <QStringList>
#include <QWidget>

class QMimeData;
class QToolButton;

// The drop panel itself: a frameless window that stays on top and never takes focus. Compact it
// invites a drop; expanded (while a drag is over it) it is one large drop zone. It accepts local
// files only and reports them once each, in drop order.
class TrayDropView : public QWidget {
    Q_OBJECT
public:
    explicit TrayDropView(QWidget* parent = nullptr);

    void syncFromModel(const TrayDropModel& model);

    // The local files of a drop, each once, in drop order.
    static QStringList droppedPaths(const QMimeData* data);

Q_SIGNALS:
    void targetChanged(bool targeted);
    void closeRequested();
    void filesDropped(const QStringList& paths);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QRectF bodyRect() const;
    void paintConnectorPointer(QPainter& painter, const QRectF& body) const;
    void paintBody(QPainter& painter, const QRectF& rect, qreal radius) const;
    void paintAppIcon(QPainter& painter, const QRectF& rect) const;
    void paintTitles(QPainter& painter, const QRectF& rect, const QString& headline, int headlineSize) const;
    void paintCompact(QPainter& painter) const;
    void paintExpanded(QPainter& painter) const;
    void paintDropZone(QPainter& painter, const QRectF& rect) const;

    TrayDropModel m_model;
    QToolButton* m_closeButton;
};
