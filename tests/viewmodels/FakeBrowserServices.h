#pragma once

#include "viewmodels/ArchiveBrowserPlatform.h"
#include "viewmodels/ArchiveBrowserServices.h"

#include <QList>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <vector>

// Browser archive work that waits, on its worker thread, until the test answers the call: calls can
// be answered in any order, and a cancelled call ends with CancellationError without an answer.
class FakeBrowserServices : public ArchiveBrowserServices {
public:
    struct Call {
        QString operation;  // "list", "encrypted", "probe" (paths: the candidates), "test", "preview",
                            // "extractEntries", "add", "delete", "extract"
        QString archiveURL;
        std::optional<QString> password;  // an extraction's: its first archive's
        QStringList paths;  // entry paths, or the files added, or the archives extracted
        QString destination;
        ExtractionPasswords passwords;  // an extraction's, for each archive
    };
    struct Answer {
        QList<ArchivePreviewEntry> entries;
        QStringList urls;  // the preview file first, or the extracted items
        std::exception_ptr error;
        int renamedCount = 0;  // of an extraction
        QList<ArchiveFailure> failures = {};  // of an extraction of several
    };

    int callCount() const;
    Call call(int index) const;
    void answer(int index, Answer answer);
    void fail(int index, std::exception_ptr error) { answer(index, Answer{{}, {}, std::move(error)}); }
    bool isCancelled(int index) const;
    // Ends every call still waiting as cancelled, so that no worker outlives the test.
    void cancelAll();

    QList<ArchivePreviewEntry> previewEntries(const QString& archiveURL,
                                              const std::optional<QString>& password,
                                              const CancellationToken& token) override;
    // Answered with "yes" as the first url for an encrypted archive.
    bool isEncrypted(const QString& archiveURL, const CancellationToken& token) override;
    // Answered with the opening password as the first url, or none.
    std::optional<QString> firstOpeningPassword(const QString& archiveURL, const QStringList& candidates,
                                                const CancellationToken& token) override;
    // Answered with "decrypts" or "wrong" as the first url, or none (unproven).
    ArchivePasswordProbe::EntryTest testFirstEncryptedEntry(const QString& archiveURL,
                                                            const QString& password,
                                                            const CancellationToken& token) override;
    QString extractedPreviewFile(const ArchivePreviewEntry& entry, const QString& archiveURL,
                                 const std::optional<QString>& password,
                                 const CancellationToken& token) override;
    OperationOutputs extractEntries(const QList<ArchivePreviewEntry>& entries, const QString& archiveURL,
                                    const QString& destinationURL, const std::optional<QString>& password,
                                    const CancellationToken& token) override;
    // Both answered with the notice as the first url, or none.
    QString addFiles(const QStringList& fileURLs, const QString& archiveURL,
                     const std::optional<QString>& password, const CancellationToken& token) override;
    QString deleteEntries(const QList<ArchivePreviewEntry>& entries, const QString& archiveURL,
                          const std::optional<QString>& password, const CancellationToken& token) override;
    // Answered with the outputs as urls; an error per archive makes it a failure of the batch.
    OperationOutputs extract(const QStringList& fileURLs, const QString& destinationRootURL,
                             const ExtractionPasswords& passwords, const AppSettings& settings,
                             int threadCount, const CancellationToken& token) override;

private:
    struct Pending {
        Call call;
        std::optional<Answer> answer;
        bool cancelled = false;
    };
    Answer await(Call call, const CancellationToken& token);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Pending> m_calls;
    bool m_closed = false;
};

// Scripted desktop: dialogs answer at once with what the test set; reveals are recorded.
class FakeBrowserPlatform : public ArchiveBrowserPlatform {
public:
    void chooseItemsToAdd(const QString& archiveURL,
                          std::function<void(const QStringList&)> chosen) override {
        addingStartedFrom << archiveURL;
        chosen(itemsToAdd);
    }
    void confirmDeletion(const QString& message, const QString& informativeText,
                         std::function<void(bool)> answered) override {
        confirmations << message + u'|' + informativeText;
        answered(confirmsDeletion);
    }
    void confirmReplacement(const QString& message, std::function<void(bool)> answered) override {
        confirmations << message;
        answered(confirmsReplacement);
    }
    void confirmClosing(const QString& message, std::function<void(bool)> answered) override {
        confirmations << message;
        answered(confirmsClosing);
    }
    void revealInFileManager(const QStringList& paths) override { revealed << paths; }
    int activeProcessorCount() const override { return 2; }

    QStringList itemsToAdd;
    QStringList addingStartedFrom;
    bool confirmsDeletion = true;
    bool confirmsReplacement = true;
    bool confirmsClosing = true;
    QStringList confirmations;
    QList<QStringList> revealed;
};
