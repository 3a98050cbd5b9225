#pragma once

#include <QIdentityProxyModel>

// The file dialogs' listing in the interface's words: sizes and dates as velmora writes them
// everywhere and folders called folders, whatever the system's locale. Qt's own listing writes them
// in the system's locale, which a desktop set to English or C gives it.
class FileDialogListing : public QIdentityProxyModel {
    Q_OBJECT

public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};
