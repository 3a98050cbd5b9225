#pragma once

#include "core/base/CompressionFormat.h"
#include "core/base/CompressionLevel.h"
#include "core/engine/OperationOutputs.h"
#include "viewmodels/WorkbenchContext.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <optional>

// The compress page: its sources, format, level and password, and the compression it starts, one
// archive for all sources or one per source, recorded as a workbench task. Drops and the home page's
// actions compress through here too.
class CompressViewModel : public QObject {
    Q_OBJECT

public:
    explicit CompressViewModel(WorkbenchContext& context, QObject* parent = nullptr);

    WorkbenchContext& context() const { return m_context; }

    const QStringList& selectedFilesForCompression() const { return m_selectedFilesForCompression; }
    void setSelectedFilesForCompression(const QStringList& value);
    // Each page has its own password: one filled in for an extraction never encrypts a compression.
    const QString& compressionPassword() const { return m_compressionPassword; }
    void setCompressionPassword(const QString& value);
    CompressionFormat selectedCompressionFormat() const { return m_selectedCompressionFormat; }
    void setSelectedCompressionFormat(CompressionFormat value);
    CompressionLevel selectedCompressionLevel() const { return m_selectedCompressionLevel; }
    void setSelectedCompressionLevel(CompressionLevel value);
    // The question asked before an encrypted 7Z is written; the window answers it.
    const std::optional<QString>& encryptedSevenZipConfirmationMessage() const {
        return m_encryptedSevenZipConfirmationMessage;
    }
    void setEncryptedSevenZipConfirmationMessage(const std::optional<QString>& value);

    void compress(bool allowEncryptedSevenZip);
    void selectCompressionFormat(CompressionFormat format);
    void selectFilesForCompression();
    void selectFilesForCompression(const QStringList& urls);
    void clearCompressionSelection();

Q_SIGNALS:
    void changed();
    void encryptedSevenZipConfirmationMessageChanged();

private:
    QString destinationRoot(const QStringList& files) const;
    void compressionSucceeded(const QUuid& id, const OperationOutputs& result,
                              const std::optional<QString>& password);

    WorkbenchContext& m_context;
    QStringList m_selectedFilesForCompression;
    QString m_compressionPassword;
    CompressionFormat m_selectedCompressionFormat = CompressionFormat::zip;
    CompressionLevel m_selectedCompressionLevel = CompressionLevel::standard;
    std::optional<QString> m_encryptedSevenZipConfirmationMessage;
};
