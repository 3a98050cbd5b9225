#include "platform/ByteCountFormatter.h"

#include <gtest/gtest.h>
#include <QList>

#include <limits>

namespace {

TEST(ByteCountFormatter, DecimalUnitsWithOneDecimal) {
    const QList<std::pair<qint64, QString>> cases{
        {0, "0 字节"},          {999, "999 字节"},  {1000, "1.0 KB"},
        {999949, "999.9 KB"},   {999950, "1.0 MB"}, {1234567, "1.2 MB"},
        {3000000000, "3.0 GB"}, {-1500, "-1.5 KB"}, {std::numeric_limits<qint64>::max(), "9.2 EB"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(ByteCountFormatter::fileStyle(bytes), text) << bytes;
}

TEST(ByteCountFormatter, BinaryUnitsAsVolumeSizesAreTyped) {
    const QList<std::pair<qint64, QString>> cases{
        {1023, "1023 字节"},       {1024, "1 KB"},          {31457280, "30 MB"},
        {524288000, "500 MB"},     {2147483648, "2 GB"},    {1610612736, "1.5 GB"},
        {1048524, "1023.9 KB"},    {1048525, "1 MB"},       {-1536, "-1.5 KB"},
        {std::numeric_limits<qint64>::max(), "8 EB"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(ByteCountFormatter::binaryStyle(bytes), text) << bytes;
}

}  // namespace
