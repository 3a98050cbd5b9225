#include "viewmodels/WorkbenchFixture.h"
#include "views/kit/DropIntake.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {

using DropIntakeTest = WorkbenchFixture;

TEST(DropIntakeRules, OnlyLocalFileUrlsAreTakenInDropOrder) {
    const struct {
        QList<QUrl> urls;
        QString text;
        QStringList paths;
    } cases[] = {
        {{}, "plain text", {}},
        {{QUrl("https://example.com/a.zip")}, {}, {}},
        {{QUrl("http://example.com/a.zip"), QUrl("ftp://example.com/b.zip")}, {}, {}},
        {{QUrl("data:text/plain,hello")}, {}, {}},
        {{QUrl::fromLocalFile("/tmp/a.zip")}, "with text", {"/tmp/a.zip"}},
        {{QUrl::fromLocalFile("/tmp/b"), QUrl("https://x/y"), QUrl::fromLocalFile("/tmp/a")},
         {},
         {"/tmp/b", "/tmp/a"}},
        // A file on another computer is not the local path after its host.
        {{QUrl("file://host/tmp/a.zip"), QUrl("file://localhost/tmp/b")}, {}, {"/tmp/b"}},
        // The same file twice in one drag reaches the operation twice.
        {{QUrl::fromLocalFile("/tmp/a"), QUrl::fromLocalFile("/tmp/a")}, {}, {"/tmp/a", "/tmp/a"}},
        // A file manager's folder URL may end in "/": the folder is named, not an empty last piece.
        {{QUrl::fromLocalFile("/tmp/src/"), QUrl::fromLocalFile("/tmp/a/../b/./c")},
         {},
         {"/tmp/src", "/tmp/b/c"}},
        {{QUrl::fromLocalFile(QStringLiteral(u"/tmp/照片 2026.zip"))},
         {},
         {QStringLiteral(u"/tmp/照片 2026.zip")}},
    };
    for (const auto& testCase : cases) {
        QMimeData data;
        if (!testCase.urls.isEmpty()) data.setUrls(testCase.urls);
        if (!testCase.text.isEmpty()) data.setText(testCase.text);
        EXPECT_EQ(DropIntake::localFilePaths(&data), testCase.paths);
    }
    EXPECT_TRUE(DropIntake::localFilePaths(nullptr).isEmpty());
}

TEST_F(DropIntakeTest, EachPageOperationTakesItsDrop) {
    const QString archive = files.writeFile("a.zip", "PK");
    const QString plain = files.writeFile("notes.txt", "n");
    auto dropOf = [](const QStringList& paths) {
        auto data = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
        data->setUrls(urls);
        return data;
    };
    const DropIntake::Take toHome = [this](const QStringList& paths) { home().handleDropped(paths); };
    const DropIntake::Take toCompress = [this](const QStringList& paths) {
        compress().selectFilesForCompression(paths);
    };
    const DropIntake::Take toExtract = [this](const QStringList& paths) {
        extract().selectArchivesForExtraction(paths);
    };
    const DropIntake::Take toSplitCompress = [this](const QStringList& paths) {
        splitCompress().addSplitCompressionItems(paths);
    };
    const DropIntake::Take toSplitExtract = [this](const QStringList& paths) {
        splitExtract().takeDroppedVolumes(paths);
    };

    EXPECT_TRUE(DropIntake::handleDrop(dropOf({plain, archive}).get(), toCompress));
    EXPECT_EQ(compress().selectedFilesForCompression(), (QStringList{plain, archive}));

    EXPECT_TRUE(DropIntake::handleDrop(dropOf({archive}).get(), toExtract));
    EXPECT_EQ(extract().selectedArchivesForExtraction(), QStringList{archive});

    EXPECT_TRUE(DropIntake::handleDrop(dropOf({plain}).get(), toSplitCompress));
    EXPECT_TRUE(waitFor([&] { return splitCompress().splitCompressionItems().size() == 1; }));

    // A mix of an archive and a plain file is compressed, the archive included.
    EXPECT_TRUE(DropIntake::handleDrop(dropOf({archive, plain}).get(), toHome));
    ASSERT_TRUE(waitUntilIdle());
    QStringList compressed;
    for (const auto& call : engine.calls()) {
        EXPECT_EQ(call.operation, "compressSingle");
        compressed += call.files;
    }
    EXPECT_EQ(compressed, (QStringList{archive, plain}));

    // Refused drops change nothing.
    const QStringList selected = compress().selectedFilesForCompression();
    QMimeData web;
    web.setUrls({QUrl("https://example.com/a.zip")});
    for (const DropIntake::Take& take : {toHome, toExtract, toCompress, toSplitCompress, toSplitExtract}) {
        EXPECT_FALSE(DropIntake::handleDrop(&web, take));
    }
    EXPECT_EQ(compress().selectedFilesForCompression(), selected);
    EXPECT_EQ(alert(), QString());
    settle();
}

// A source told "moved" may delete the originals: every drop is taken as a copy, or not at all.
TEST_F(DropIntakeTest, DropsAreTakenAsCopiesOnly) {
    const QString plain = files.writeFile("notes.txt", "n");
    QWidget target;
    DropIntake::install(&target,
                        [this](const QStringList& paths) { compress().selectFilesForCompression(paths); });
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(plain)});
    const struct {
        Qt::DropActions offered;
        Qt::DropAction proposed;
        bool accepted;
    } cases[] = {
        {Qt::CopyAction | Qt::MoveAction, Qt::MoveAction, true},
        {Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::LinkAction, true},
        {Qt::CopyAction, Qt::CopyAction, true},
        {Qt::MoveAction, Qt::MoveAction, false},
    };
    for (const auto& c : cases) {
        for (const QEvent::Type type : {QEvent::DragEnter, QEvent::DragMove, QEvent::Drop}) {
            std::unique_ptr<QDropEvent> event;
            if (type == QEvent::DragEnter) {
                event = std::make_unique<QDragEnterEvent>(QPoint(1, 1), c.offered, &data, Qt::LeftButton,
                                                          Qt::NoModifier);
            } else if (type == QEvent::DragMove) {
                event = std::make_unique<QDragMoveEvent>(QPoint(1, 1), c.offered, &data, Qt::LeftButton,
                                                         Qt::NoModifier);
            } else {
                event = std::make_unique<QDropEvent>(QPointF(1, 1), c.offered, &data, Qt::LeftButton,
                                                     Qt::NoModifier);
            }
            event->setDropAction(c.proposed);
            QApplication::sendEvent(&target, event.get());
            EXPECT_EQ(event->isAccepted(), c.accepted) << int(c.offered) << " " << type;
            if (c.accepted) {
                EXPECT_EQ(event->dropAction(), Qt::CopyAction);
            }
        }
    }
    EXPECT_TRUE(compress().selectedFilesForCompression().contains(plain));
    settle();
}

}  // namespace
