#pragma once

#include "views/kit/DropIntent.h"

#include <QObject>
#include <QStringList>

class MainViewModel;
class QDropEvent;
class QMimeData;
class QWidget;

// The one road of a drop on the main window's pages: the local files of the drop, in drop order, go
// to the model operation of the page's intent. Only local-file URLs count; text, web addresses and
// other schemes are ignored, and a drop without any local file is refused.
//
// Make a widget a drop target with DropIntake::install(widget, intent, model); drops on its children
// reach it too unless a child takes drops itself.
class DropIntake : public QObject {
    Q_OBJECT

public:
    static DropIntake* install(QWidget* target, DropIntent intent, MainViewModel& model);

    // The local file paths the drop carries, in drop order, duplicates kept.
    static QStringList localFilePaths(const QMimeData* data);

    // Takes the drop: false (and nothing happens) without a local file; otherwise the paths go to the
    // intent's operation. Split extraction takes exactly one file and alerts on more.
    static bool handleDrop(const QMimeData* data, DropIntent intent, MainViewModel& model);

    // Takes a drag or drop as a copy, whatever the source proposes: a source told "moved" may delete
    // the user's originals. False, and the event refused, when the source does not offer a copy.
    static bool acceptAsCopy(QDropEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DropIntake(QWidget* target, DropIntent intent, MainViewModel& model);

    static void route(const QStringList& paths, DropIntent intent, MainViewModel& model);

    DropIntent m_intent;
    MainViewModel& m_model;
};
