#include "app/ExternalOperationProgressModel.h"
#include "app/ExternalOperationProgressWindowController.h"
#include "views/kit/CapsuleProgressBar.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QPushButton>
#include <cmath>

namespace {

TEST(ProgressWindowTest, UpdatesStayBetweenOneAndNinetyEightPercent) {
    struct Case {
        double reported;
        QString shown;
    };
    const QList<Case> cases = {{0.0, "1%"},    {1.0, "98%"}, {0.456, "45%"}, {-3.0, "1%"},
                               {0.999, "98%"}, {0.5, "50%"}, {NAN, "50%"},   {INFINITY, "50%"}};
    ExternalOperationProgressModel model;
    EXPECT_EQ(ExternalOperationProgressModel::percentText(model.progress()), "8%");
    for (const Case& c : cases) {
        model.update(c.reported, "m");
        EXPECT_EQ(ExternalOperationProgressModel::percentText(model.progress()), c.shown) << c.reported;
    }
}

TEST(ProgressWindowTest, FinishFillsOnSuccessKeepsOnFailureAndIgnoresLateProgress) {
    ExternalOperationProgressModel model;
    model.update(0.4, "m");
    model.finish(QStringLiteral(u"压缩失败"), QStringLiteral(u"压缩失败"), true);
    EXPECT_DOUBLE_EQ(model.progress(), 0.4);
    model.update(0.9, "late");
    EXPECT_DOUBLE_EQ(model.progress(), 0.4);
    EXPECT_EQ(model.message(), QStringLiteral(u"压缩失败"));

    model.start(QStringLiteral(u"正在压缩文件"), QStringLiteral(u"正在压缩 1 个项目..."));
    EXPECT_DOUBLE_EQ(model.progress(), 0.08);
    EXPECT_FALSE(model.isFinished());
    EXPECT_FALSE(model.isError());
    model.finish(QStringLiteral(u"压缩完成"), QStringLiteral(u"已压缩：a.zip"), false);
    EXPECT_DOUBLE_EQ(model.progress(), 1.0);
}

TEST(ProgressWindowTest, WindowShowsRunningAndFinishedStates) {
    ExternalOperationProgressWindowController controller;
    int cancels = 0;
    controller.onCancel = [&] { ++cancels; };
    controller.show(QStringLiteral(u"正在压缩文件"), QStringLiteral(u"正在压缩 3 个项目..."));
    QWidget* window = controller.window();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "velmora");
    EXPECT_EQ(window->size(), QSize(380, 196));

    const auto labelTexts = [&] {
        QStringList texts;
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->isVisible()) texts.append(label->text());
        }
        return texts;
    };
    auto* cancel = window->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_TRUE(labelTexts().contains("8%"));
    EXPECT_TRUE(labelTexts().contains(QStringLiteral(u"正在压缩文件")));
    EXPECT_TRUE(cancel->isVisible());

    cancel->click();
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(labelTexts().contains(QStringLiteral(u"正在取消任务...")));

    controller.finish(QStringLiteral(u"解压完成"), QStringLiteral(u"已解压 2 个压缩包。"), false);
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_FALSE(window->findChild<CapsuleProgressBar*>()->isVisible());
    EXPECT_FALSE(labelTexts().contains("100%"));
    EXPECT_TRUE(labelTexts().contains(QStringLiteral(u"已解压 2 个压缩包。")));
}

}  // namespace
