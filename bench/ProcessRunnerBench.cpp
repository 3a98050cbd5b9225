// Cost of collecting a tool's output through ProcessRunner, against the same program writing to
// /dev/null. Prints the median of several runs of each and their ratio.

#include "BenchSupport.h"
#include "core/engine/ProcessRunner.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

constexpr qint64 kOutputBytes = 30 * 1024 * 1024;
constexpr int kRounds = 9;
const char* const kCat = "/bin/cat";

using BenchSupport::Clock;
using BenchSupport::median;
using BenchSupport::millisecondsSince;

QString writeTextFile(const QString& folder) {
    const QString path = folder + QStringLiteral("/output.txt");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    const QByteArray line = QByteArrayLiteral("  42% 1234 + velmora/文档/报告 2026.txt\n");
    for (qint64 written = 0; written < kOutputBytes; written += line.size()) file.write(line);
    return path;
}

double throughRunner(const QString& input) {
    const auto start = Clock::now();
    const ProcessResult result =
        ProcessRunner::run(QString::fromLatin1(kCat), {input}, std::nullopt, 600, {}, {});
    const double elapsed = millisecondsSince(start);
    if (result.output.isEmpty()) std::fprintf(stderr, "runner collected nothing\n");
    return elapsed;
}

// The part of the runner's time that goes into turning the bytes into text, which callers need.
double decodeOnly(const QString& input) {
    QFile file(input);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    const auto start = Clock::now();
    const QString text = QString::fromUtf8(bytes);
    const double elapsed = millisecondsSince(start);
    if (text.isEmpty()) std::fprintf(stderr, "nothing decoded\n");
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    BenchSupport::useToolEnvironment();
    QTemporaryDir folder;
    const QString input = writeTextFile(folder.path());

    std::vector<double> direct;
    std::vector<double> runner;
    std::vector<double> decode;
    for (int round = 0; round < kRounds; ++round) {
        direct.push_back(BenchSupport::timeDirectRun(QString::fromLatin1(kCat), {input}));
        runner.push_back(throughRunner(input));
        decode.push_back(decodeOnly(input));
    }
    const double directMs = median(direct);
    const double runnerMs = median(runner);
    std::printf("30 MiB of output, median of %d runs\n", kRounds);
    std::printf("  cat > /dev/null          %8.1f ms\n", directMs);
    std::printf("  cat via ProcessRunner    %8.1f ms (collected and decoded)\n", runnerMs);
    std::printf("  of which UTF-8 decoding  %8.1f ms\n", median(decode));
    std::printf("  ratio runner / direct    %8.2f\n", runnerMs / directMs);
    return 0;
}
