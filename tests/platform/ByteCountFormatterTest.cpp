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
        {157286400, "157.3 MB"}, {50000000, "50.0 MB"}, {52428800, "52.4 MB"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(ByteCountFormatter::fileStyle(bytes), text) << bytes;
}

}  // namespace
