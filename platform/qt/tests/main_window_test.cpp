#include "platform/qt/main_window.h"

#include "platform/qt/qt_platform.h"
#include "qt_test_support.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace corelith {
namespace {

MainWindowLayout TestSpec() {
    MainWindowLayout layout;
    layout.title = "Test program";
    layout.menus = {{"&File", {{1, "&Open\tCtrl+O"}, {}, {2, "E&xit"}}},
                    {"&Edit", {{3, "&Undo\tCtrl+Z", true}, {4, "&Paste"}}},
                    {"&?", {{5, "&Help"}}}};
    layout.accelerators = {{"Ctrl+O", 1}, {"F1", 5}, {"Alt+Backspace", 3}, {"Shift+Ins", 4}};
    layout.width = 320;
    layout.height = 150;
    return layout;
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ =
            &platform_.OpenMainWindow(TestSpec(), [this](int id) { commands_.push_back(id); });
    }
    void ShowActive() {
        window_->show();
        QApplication::setActiveWindow(window_);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
    }

    QtPlatform platform_;
    MainWindow* window_ = nullptr;
    std::vector<int> commands_;
};

TEST_F(MainWindowTest, HasItsTitleSizeABlankWhiteClientAreaAndAnEmptyStatusBar) {
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Test program"));
    EXPECT_EQ(window_->size(), QSize(320, 150));
    QWidget* client = window_->centralWidget();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(client->autoFillBackground());
    EXPECT_TRUE(client->findChildren<QWidget*>().isEmpty()) << "nothing is shown in it";
    ASSERT_NE(window_->statusBar(), nullptr);
    EXPECT_TRUE(window_->statusBar()->isSizeGripEnabled());
    EXPECT_TRUE(window_->statusBar()->currentMessage().isEmpty());
    EXPECT_FALSE(window_->windowIcon().isNull());
}

TEST_F(MainWindowTest, MenusFollowTheSpecAndSendTheirCommands) {
    const MainWindowLayout layout = TestSpec();
    const QList<QAction*> bar = window_->menuBar()->actions();
    ASSERT_EQ(bar.size(), static_cast<qsizetype>(layout.menus.size()));
    std::vector<int> expected;
    qsizetype m = 0;
    for (const Menu& menu : layout.menus) {
        QAction* title = bar.at(m++);
        EXPECT_EQ(title->text().toStdString(), menu.title);
        const QList<QAction*> items = title->menu()->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(menu.items.size()));
        qsizetype i = 0;
        for (const MenuItem& item : menu.items) {
            QAction* action = items.at(i++);
            EXPECT_EQ(action->isSeparator(), item.id == 0);
            if (item.id == 0)
                continue;
            EXPECT_EQ(action->text().toStdString(), item.text);
            EXPECT_EQ(action->isEnabled(), !item.grayed) << item.text;
            EXPECT_EQ(action->data().toInt(), item.id);
            EXPECT_EQ(window_->MenuAction(item.id), action);
            action->trigger();
            if (!item.grayed)
                expected.push_back(item.id);
        }
    }
    EXPECT_EQ(commands_, expected) << "grayed items send nothing";
    EXPECT_EQ(window_->MenuAction(99), nullptr);
}

TEST_F(MainWindowTest, AcceleratorsSendTheirCommands) {
    ShowActive();
    QTest::keyClick(window_, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(window_, Qt::Key_F1);
    QTest::keyClick(window_, Qt::Key_Backspace, Qt::AltModifier);
    QTest::keyClick(window_, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(window_, Qt::Key_Q, Qt::ControlModifier); // no accelerator
    EXPECT_EQ(commands_, (std::vector<int>{1, 5, 3, 4}));
}

TEST_F(MainWindowTest, TheWindowOwnsTheBoxesAndCloseMainWindowClosesIt) {
    ShowActive();
    QWidget* parent = nullptr;
    testing::WhenModal(QStringLiteral("message"), [&](QWidget* box) {
        parent = box->parentWidget();
        qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    platform_.ShowMessage(135, "Test", "text", MessageIcon::Information, false);
    EXPECT_EQ(parent, window_);
    platform_.CloseMainWindow();
    EXPECT_FALSE(window_->isVisible());
}

} // namespace
} // namespace corelith
