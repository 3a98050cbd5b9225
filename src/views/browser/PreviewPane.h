#pragma once

#include <QWidget>

class ArchivePreviewWindowModel;
class FilePreviewWidget;
class QLabel;
class QStackedLayout;

// The right half of the browser: with a selection, a header (icon, name, kind · size, a button that
// shows the archive in the file manager) above the previewed file or a placeholder; without one,
// only the placeholder with the model's message.
class PreviewPane : public QWidget {
    Q_OBJECT

public:
    explicit PreviewPane(ArchivePreviewWindowModel& model, QWidget* parent = nullptr);

    FilePreviewWidget* filePreview() const { return m_filePreview; }
    QString placeholderMessage() const;
    bool showsHeader() const;

    void syncFromModel();

private:
    QWidget* buildHeader();
    QWidget* buildPlaceholder();

    ArchivePreviewWindowModel& m_model;
    QWidget* m_header = nullptr;
    QLabel* m_headerIcon = nullptr;
    QLabel* m_headerName = nullptr;
    QLabel* m_headerDetail = nullptr;
    QStackedLayout* m_body = nullptr;
    QWidget* m_placeholder = nullptr;
    QLabel* m_placeholderIcon = nullptr;
    QLabel* m_placeholderMessage = nullptr;
    QLabel* m_placeholderPath = nullptr;
    FilePreviewWidget* m_filePreview = nullptr;
};
