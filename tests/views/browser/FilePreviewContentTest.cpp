#include "support/TempTree.h"
#include "views/browser/FilePreviewContent.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QImage>
#include <QStringEncoder>

namespace {

using Kind = FilePreviewContent::Kind;

QByteArray imageBytes(const char* format) {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// One page of 200 x 100 points with a filled square; offsets in the cross-reference table are exact.
QByteArray onePagePdf() {
    const QList<QByteArray> objects{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R >>",
        "<< /Length 25 >>\nstream\n0 0 1 rg 10 10 50 50 re f\nendstream",
    };
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype index = 0; index < objects.size(); ++index) {
        offsets << pdf.size();
        pdf += QByteArray::number(index + 1) + " 0 obj\n" + objects[index] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 5\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size 5 /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

struct PreviewCase {
    const char* name;
    QString fileName;
    QByteArray contents;
    Kind kind;
    QString text;
};

class FilePreviewContentTest : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(FilePreviewContentTest, ShowsEachFileAsItsKind) {
    TempTree tree;
    const FilePreviewContent content =
        FilePreviewContent::load(tree.writeFile(GetParam().fileName, GetParam().contents));
    EXPECT_EQ(content.kind, GetParam().kind);
    EXPECT_EQ(content.text, GetParam().text);
    EXPECT_EQ(content.image.isNull(), GetParam().kind != Kind::image && GetParam().kind != Kind::pdf);
    EXPECT_EQ(content.typeDescription.isEmpty(), false);
}

const QString kChinese = QStringLiteral(u"你好，世界");
const PreviewCase kPreviewCases[] = {
    {"UpperCaseJpgExtensionIsAnImage", "photo.JPG", imageBytes("JPG"), Kind::image, {}},
    {"WebpThroughThePlugins", "photo.webp", imageBytes("WEBP"), Kind::image, {}},
    {"PngThatIsNotAnImageFallsThroughToText", "fake.png", "just words", Kind::text, "just words"},
    {"Utf8Text", "notes.txt", kChinese.toUtf8(), Kind::text, kChinese},
    {"Gb18030Text", "legacy.txt", QStringEncoder("GB18030").encode(kChinese), Kind::text, kChinese},
    {"Utf16WithByteOrderMark", "wide.txt",
     QByteArray("\xFF\xFE", 2) + QStringEncoder(QStringEncoder::Utf16LE).encode(kChinese), Kind::text,
     kChinese},
    {"BinaryIsACard",
     "blob.bin",
     QByteArray("\x7F"
                "ELF\0\0\1\2",
                8),
     Kind::card,
     {}},
    {"PdfRendersItsFirstPage", "doc.pdf", onePagePdf(), Kind::pdf, {}},
};
INSTANTIATE_TEST_SUITE_P(Preview, FilePreviewContentTest, ::testing::ValuesIn(kPreviewCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FilePreviewContent, PdfPageIsPaperWithTheDrawing) {
    TempTree tree;
    const QImage page = FilePreviewContent::load(tree.writeFile("doc.pdf", onePagePdf())).image;
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(page.width(), 2 * page.height());
    EXPECT_EQ(page.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_EQ(page.pixelColor(page.width() / 10, page.height() * 3 / 4).blue(), 255);
}

}  // namespace
