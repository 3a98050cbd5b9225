#pragma once

#include <QStyledItemDelegate>

class QFileSystemModel;

// The file dialogs' listing in the interface's words: sizes and dates as velmora writes them
// everywhere and folders called folders, whatever the system's locale. Qt's own listing writes them
// in the system's locale, which a desktop set to English or C gives it. Drawn by the details view's
// columns rather than by a proxy model: QFileDialog matches typed names against its own model, and
// behind a proxy it kept only one of several names typed in quotes.
class FileDialogListing : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The text of the size, kind and date columns (1 to 3) of a row; the model's own for others.
    static QString text(const QFileSystemModel& files, const QModelIndex& index);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
