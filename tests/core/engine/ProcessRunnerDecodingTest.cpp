#include "core/engine/ProcessRunner.h"

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

TEST(ProcessRunnerDecoding, CharacterLeftUnfinishedMakesTheTextInvalid) {
    const ProcessResult result = ProcessRunner::run(
        QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("printf 'ok\\344\\270'")},
        std::nullopt, 30, {}, {});
    EXPECT_TRUE(result.output.isEmpty());
}
