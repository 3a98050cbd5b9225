#include "platform/ToolText.h"
#include "core/engine/ProcessRunner.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The runner decodes output as it reads it. A character cut between two writes (the pause makes
// the runner likely to read them apart) must come out whole, in the text and to the handler.
TEST(ProcessRunnerDecoding, CharacterCutBetweenReadsComesOutWhole) {
    // U+1F600 is four bytes; each case cuts it after one, two or three of them.
    for (const char* script : {"printf '\\360'; sleep 0.2; printf '\\237\\230\\200 ok'",
                               "printf '\\360\\237'; sleep 0.2; printf '\\230\\200 ok'",
                               "printf '\\360\\237\\230'; sleep 0.2; printf '\\200 ok'"}) {
        QString handled;
        const ProcessResult result =
            ProcessRunner::run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QString::fromLatin1(script)},
                               std::nullopt, 30, [&](const QString& chunk) { handled += chunk; }, {});
        EXPECT_EQ(result.output, QStringLiteral(u"😀 ok")) << script;
        EXPECT_EQ(handled, QStringLiteral(u"😀 ok")) << script;
    }
}

// Bytes that are not UTF-8 (GBK names as 7-Zip prints them) show as U+FFFD each, in the text and to
// the handler, and the printed bytes stay available; a pause cuts some of them between two reads.
TEST(ProcessRunnerDecoding, BytesThatAreNotUtf8ShowAsReplacementsAndStayAvailable) {
    const QString fffd(QChar::ReplacementCharacter);
    struct Case {
        const char* script;
        QByteArray printed;
        QString text;
    };
    const Case cases[] = {
        {"printf 'a\\326\\320b'",
         "a\xD6\xD0"
         "b",
         u'a' + fffd + fffd + u'b'},
        {"printf 'a\\326'; sleep 0.2; printf '\\320b'",
         "a\xD6\xD0"
         "b",
         u'a' + fffd + fffd + u'b'},
        {"printf '\\344\\270'; sleep 0.2; printf '\\255x\\344'",
         "\xE4\xB8\xAD"
         "x\xE4",
         QStringLiteral(u"中x") + fffd},
        {"printf 'ok\\344\\270'", "ok\xE4\xB8", QStringLiteral(u"ok") + fffd + fffd},
        {"printf '\\300\\257/\\355\\240\\200'", "\xC0\xAF/\xED\xA0\x80",
         fffd + fffd + u'/' + fffd + fffd + fffd},
    };
    for (const Case& testCase : cases) {
        QString handled;
        const ProcessResult result = ProcessRunner::run(
            QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QString::fromLatin1(testCase.script)},
            std::nullopt, 30, [&](const QString& chunk) { handled += chunk; }, {});
        EXPECT_EQ(result.output, testCase.text) << testCase.script;
        EXPECT_EQ(handled, testCase.text) << testCase.script;
        EXPECT_EQ(result.outputBytes, testCase.printed) << testCase.script;
    }
}

// A handler that reads standard output alone gets all of it, and the result keeps only its start; the
// printed bytes still line up with its lines, from the first that is not UTF-8 on.
TEST(ProcessRunnerDecoding, HandlerReadingStandardOutputAloneLeavesOnlyItsStart) {
    QString handled;
    const ProcessResult result = ProcessRunner::run(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"),
         QStringLiteral(
             "printf 'one\\ntwo\\na\\326b\\n'; echo warn >&2; head -c 300000 /dev/zero | tr '\\0' x")},
        std::nullopt, 30, [&](const QString& chunk) { handled += chunk; }, {}, std::nullopt,
        ProcessRunner::InputChannel::pipe, ProcessRunner::HandlerReads::standardOutput);
    const QString printed = QStringLiteral(u"one\ntwo\na\uFFFDb\n") + QString(300000, u'x');
    EXPECT_EQ(handled, printed);
    EXPECT_EQ(result.output, printed.first(256 * 1024));
    EXPECT_EQ(result.error, QStringLiteral("warn\n"));
    const QList<QByteArray> lines = result.outputBytes.split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[2], QByteArray("a\xD6") + "b");
    EXPECT_EQ(lines[3], QByteArray(300000, 'x'));
}

TEST(ProcessRunnerDecoding, ValidOutputKeepsNoSecondCopy) {
    const ProcessResult result = ProcessRunner::run(
        QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("printf '\\344\\270\\255'")},
        std::nullopt, 30, {}, {});
    EXPECT_EQ(result.output, QStringLiteral(u"中"));
    EXPECT_TRUE(result.outputBytes.isEmpty());
}

// A name kept with ToolText::escapedName reaches the program as the bytes it was printed as.
TEST(ProcessRunnerDecoding, EscapedArgumentGoesOutAsItsBytes) {
    const QByteArray gbk("\xD6\xD0\xCE\xC4/\xE4\xB8\xAD.txt");
    const ProcessResult result = ProcessRunner::run(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("printf %s \"$0\""), ToolText::escapedName(gbk)}, std::nullopt,
        30, {}, {});
    EXPECT_EQ(result.outputBytes, gbk);
}

// Output of many reads grows one text; a byte that is not UTF-8 after megabytes of valid text keeps
// everything printed before it too, and the handler still sees each part once.
TEST(ProcessRunnerDecoding, LongOutputDecodesWholeAcrossManyReads) {
    QByteArray valid;
    for (int line = 0; line < 120000; ++line)
        valid += QStringLiteral(u"%1 文档/报告.txt\n").arg(line).toUtf8();
    const QByteArray lossy = valid + QByteArray("\xD6\xD0\n") + valid;
    QTemporaryDir folder;
    for (const QByteArray& printed : {valid, lossy}) {
        const QString path = folder.filePath(QStringLiteral("out.txt"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(printed);
        file.close();
        QString handled;
        const ProcessResult result = ProcessRunner::run(QStringLiteral("/bin/cat"), {path}, std::nullopt, 60,
                                                        [&](const QString& chunk) { handled += chunk; }, {});
        EXPECT_EQ(result.output, ToolText::decode(printed));
        EXPECT_EQ(handled, result.output);
        EXPECT_EQ(result.outputBytes, printed == lossy ? lossy : QByteArray());
    }
}
