#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QDropEvent;
class QMimeData;
class QWidget;

// The one road of a drop on the main window's pages: the local files of the drop, in drop order, go
// to the page model's operation that the page hands in. Only local-file URLs count; text, web addresses and
// other schemes are ignored, and a drop without any local file is refused.
//
// Make a widget a drop target with DropIntake::install(widget, take); drops on its children
// reach it too unless a child takes drops itself.
class DropIntake : public QObject {
    Q_OBJECT

public:
    // What receives the dropped paths.
    using Take = std::function<void(const QStringList& paths)>;

    static DropIntake* install(QWidget* target, Take take);

    // The local file paths the drop carries, in drop order, duplicates kept, normalised
    // (InputItem::normalizedPath: a folder URL ending in "/" names the folder).
    static QStringList localFilePaths(const QMimeData* data);

    // Takes the drop: false (and nothing happens) without a local file; otherwise the paths go to
    // `take`.
    static bool handleDrop(const QMimeData* data, const Take& take);

    // Takes a drag or drop as a copy, whatever the source proposes: a source told "moved" may delete
    // the user's originals. False, and the event refused, when the source does not offer a copy.
    static bool acceptAsCopy(QDropEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DropIntake(QWidget* target, Take take);

    Take m_take;
};
