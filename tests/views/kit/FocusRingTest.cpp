#include "views/main/MainWindowFixture.h"
#include "views/kit/FocusRing.h"
#include "views/main/CompressPage.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace {

using FocusRingTest = MainWindowFixture;

TEST(FocusRingRuleTest, OnlyKeyboardFocusIsShown) {
    const QList<std::pair<Qt::FocusReason, bool>> cases{
        {Qt::TabFocusReason, true},           {Qt::BacktabFocusReason, true}, {Qt::ShortcutFocusReason, true},
        {Qt::MouseFocusReason, false},        {Qt::OtherFocusReason, false},  {Qt::MenuBarFocusReason, false},
        {Qt::ActiveWindowFocusReason, false},
    };
    for (const auto& [reason, shown] : cases) EXPECT_EQ(FocusRing::showsFor(reason), shown) << reason;
    // Just outside the control on every side.
    EXPECT_EQ(FocusRing::ringGeometry(QRect(10, 20, 100, 30)), QRect(7, 17, 106, 36));
}

TEST_F(FocusRingTest, TabShowsTheRingAroundEachControlAndAClickRemovesIt) {
    page<CompressPage>(WorkbenchSection::compress);
    window().show();
    QApplication::setActiveWindow(&window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));

    QSet<QWidget*> visited;
    for (int step = 0; step < 12; ++step) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        FocusRing* ring = FocusRing::shown();
        ASSERT_NE(ring, nullptr) << focused->metaObject()->className();
        EXPECT_EQ(ring->control(), focused);
        EXPECT_EQ(QRect(ring->mapToGlobal(QPoint()), ring->size()),
                  FocusRing::ringGeometry(QRect(focused->mapToGlobal(QPoint()), focused->size())));
        visited.insert(focused);
    }
    EXPECT_GT(visited.size(), 3);

    auto* compress = &page<CompressPage>(WorkbenchSection::compress);
    QTest::mouseClick(compress->startButton(), Qt::LeftButton);
    EXPECT_EQ(FocusRing::shown(), nullptr);
}

}  // namespace
