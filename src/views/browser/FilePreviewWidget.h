#pragma once

#include "views/browser/FilePreviewContent.h"

#include <QFutureWatcher>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QStackedLayout;

// Shows one local file: an image or a PDF's first page scaled to fit, text in a read-only monospace
// view, or a card with the type's icon, name, description and size. The file is read and decoded on
// a worker thread; a newer file replaces a load still running.
class FilePreviewWidget : public QWidget {
    Q_OBJECT

public:
    explicit FilePreviewWidget(QWidget* parent = nullptr);
    ~FilePreviewWidget() override;

    void setFile(const QString& fileURL);
    const QString& file() const { return m_file; }
    // What is shown; empty until the load has finished.
    std::optional<FilePreviewContent::Kind> shownKind() const { return m_shownKind; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void show(const FilePreviewContent& content);
    void showCard(const FilePreviewContent& content);
    void updateScaledImage();

    QString m_file;
    std::optional<FilePreviewContent::Kind> m_shownKind;
    QFutureWatcher<FilePreviewContent> m_watcher;
    QStackedLayout* m_stack = nullptr;
    QLabel* m_image = nullptr;
    QImage m_fullImage;
    QPlainTextEdit* m_text = nullptr;
    QWidget* m_card = nullptr;
    QLabel* m_cardIcon = nullptr;
    QLabel* m_cardName = nullptr;
    QLabel* m_cardDetail = nullptr;
};
