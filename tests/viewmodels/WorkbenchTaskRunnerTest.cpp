#include "viewmodels/WorkbenchTaskRunner.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(WorkbenchTaskRunnerTest, percentageIsTruncatedAndNeverFails) {
    struct Case {
        double fraction;
        int percentage;
    };
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {0.4567, 45},    {0.999, 99},
        {1.0, 100},      {0.0, 0},
        {-0.5, 0},       {3.0, 100},
        {1e300, 100},    {kInfinity, 0},
        {-kInfinity, 0}, {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(WorkbenchTaskRunner::percentage(test.fraction), test.percentage) << test.fraction;
    }
}

}  // namespace
