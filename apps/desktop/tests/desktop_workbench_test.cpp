// The desktop workbench end to end on the Qt backend: its main window, menus, accelerators
// and option dialogs, and the corelith program itself.
#include "apps/desktop/desktop_workbench.h"

#include "corelith_version.h"
#include "platform/qt/main_window.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/tests/qt_test_support.h"
#include "resources/dialog_templates.h"
#include "shell/command_table.h"
#include "shell/settings.h"
#include "workbench.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <vector>

namespace corelith {
namespace {

using testing::TestFolder;
using testing::WhenModal;

class DesktopWorkbenchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wb_ = std::make_unique<Workbench>(platform_);
        StartWorkbench(*wb_);
        wb_->workingFolder = folder_.Path();
        dispatch_ = std::make_unique<CommandDispatch>(*wb_, platform_);
        window_ = &platform_.OpenMainWindow(WorkbenchWindowLayout(),
                                            [this](int id) { (*dispatch_)(id); });
    }

    // Replaces the commands by a recorder.
    std::vector<int>& RecordCommands() {
        dispatch_->SetRunner([this](int id) {
            commands_.push_back(id);
            return 0;
        });
        return commands_;
    }

    void ShowActive() {
        window_->show();
        QApplication::setActiveWindow(window_);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
    }
    int LastResult() const { return dispatch_->LastResult(); }

    std::string SettingsLine(int number) const {
        return testsupport::LineOf(testsupport::ReadFile(folder_.SettingsFile()), number);
    }

    TestFolder folder_;
    QtPlatform platform_{FindDialogTemplate};
    std::unique_ptr<Workbench> wb_;
    std::unique_ptr<CommandDispatch> dispatch_;
    MainWindow* window_ = nullptr;
    std::vector<int> commands_;
};

// (The client area, status bar and icon of any main window: the backend's tests.)
TEST_F(DesktopWorkbenchTest, HasItsTitleAndSize) {
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Corelith"));
    EXPECT_EQ(window_->size(), QSize(400, 200));
}

// (How a main window builds its menus from the description: the backend's tests.)
TEST_F(DesktopWorkbenchTest, MenusFollowTheMenuTable) {
    const MainWindowLayout layout = WorkbenchWindowLayout();
    const std::vector<Menu> table = MainMenu();
    ASSERT_EQ(layout.menus.size(), table.size());
    const QList<QAction*> bar = window_->menuBar()->actions();
    ASSERT_EQ(bar.size(), static_cast<qsizetype>(table.size()));
    qsizetype m = 0;
    for (const Menu& menu : table) {
        EXPECT_EQ(bar.at(m++)->text().toStdString(), menu.title);
        for (const MenuItem& item : menu.items) {
            if (item.id == 0)
                continue;
            QAction* action = window_->MenuAction(item.id);
            ASSERT_NE(action, nullptr) << item.text;
            EXPECT_EQ(action->text().toStdString(), item.text);
            EXPECT_EQ(action->isEnabled(), !item.grayed) << item.text;
        }
    }
    EXPECT_EQ(bar.back()->text(), QStringLiteral("&?"));
    EXPECT_FALSE(window_->MenuAction(35)->isEnabled());
    EXPECT_TRUE(window_->MenuAction(36)->isEnabled());
}

TEST_F(DesktopWorkbenchTest, EveryMenuItemReachesItsCommand) {
    std::vector<int>& commands = RecordCommands();
    std::vector<int> expected;
    for (const Menu& menu : MainMenu()) {
        for (const MenuItem& item : menu.items) {
            if (item.id == 0 || item.grayed || item.id == 18)
                continue;
            window_->MenuAction(item.id)->trigger();
            expected.push_back(item.id);
        }
    }
    EXPECT_EQ(commands, expected);
}

TEST_F(DesktopWorkbenchTest, AcceleratorsReachTheirCommands) {
    std::vector<int>& commands = RecordCommands();
    ShowActive();
    QTest::keyClick(window_, Qt::Key_Backspace, Qt::AltModifier);
    QTest::keyClick(window_, Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(window_, Qt::Key_F1);
    QTest::keyClick(window_, Qt::Key_Insert, Qt::ControlModifier);
    QTest::keyClick(window_, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(window_, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(window_, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(window_, Qt::Key_R, Qt::ControlModifier);
    QTest::keyClick(window_, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(window_, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(window_, Qt::Key_Q, Qt::ControlModifier); // no accelerator
    EXPECT_EQ(commands, (std::vector<int>{21, 22, 73, 23, 24, 23, 11, 12, 22, 21}));
}

TEST_F(DesktopWorkbenchTest, ExitClosesTheWindow) {
    RecordCommands();
    ShowActive();
    window_->MenuAction(18)->trigger();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_TRUE(commands_.empty());
}

TEST_F(DesktopWorkbenchTest, F1ShowsTheHelpMessage) {
    ShowActive();
    QString text;
    int code = 0;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModal(QStringLiteral("message"), [&](QWidget* box) {
        auto* message = qobject_cast<QMessageBox*>(box);
        ASSERT_NE(message, nullptr);
        text = message->text();
        code = message->property("messageCode").toInt();
        icon = message->icon();
        EXPECT_EQ(message->windowTitle(), QStringLiteral("Corelith"));
        message->button(QMessageBox::Ok)->click();
    });
    QTest::keyClick(window_, Qt::Key_F1);
    EXPECT_EQ(text, QStringLiteral("Help not yet implemented!"));
    EXPECT_EQ(code, 146);
    EXPECT_EQ(icon, QMessageBox::Information);
}

TEST_F(DesktopWorkbenchTest, FormatOfSpeciesStoresAndSavesOnOk) {
    QString caption, first, second;
    bool firstChecked = false;
    WhenModal(QStringLiteral("FORMATSPECIES"), [&](QWidget* dialog) {
        caption = dialog->windowTitle();
        auto* radio1 = dialog->findChild<QRadioButton*>(QStringLiteral("1164"));
        auto* radio2 = dialog->findChild<QRadioButton*>(QStringLiteral("1165"));
        ASSERT_TRUE(radio1 && radio2);
        first = radio1->text();
        second = radio2->text();
        firstChecked = radio1->isChecked() && !radio2->isChecked();
        QTest::mouseClick(radio2, Qt::LeftButton);
        EXPECT_FALSE(radio1->isChecked());
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
    });
    window_->MenuAction(31)->trigger();
    EXPECT_EQ(caption, QStringLiteral("Format of species"));
    EXPECT_EQ(first, QStringLiteral("Species names in column"));
    EXPECT_EQ(second, QStringLiteral("Species names in line"));
    EXPECT_TRUE(firstChecked);
    EXPECT_EQ(LastResult(), 1);
    EXPECT_EQ(wb_->settings.slots[1].speciesFormat, 1);
    EXPECT_EQ(SettingsLine(2).substr(0, 4), "0\t1\t");
}

TEST_F(DesktopWorkbenchTest, EscapeAndTheCloseBoxCancelTheOptionDialogs) {
    // The settings file of the first start holds the defaults.
    const std::string before = SettingsLine(2);
    WhenModal(QStringLiteral("FORMATDATA"), [](QWidget* dialog) {
        QTest::mouseClick(dialog->findChild<QRadioButton*>(QStringLiteral("1165")), Qt::LeftButton);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    window_->MenuAction(32)->trigger();
    EXPECT_EQ(LastResult(), 0);
    WhenModal(QStringLiteral("USEDTOOLS"), [](QWidget* dialog) {
        QTest::mouseClick(dialog->findChild<QCheckBox*>(QStringLiteral("1161")), Qt::LeftButton);
        dialog->close();
    });
    window_->MenuAction(37)->trigger();
    EXPECT_EQ(LastResult(), 0);
    EXPECT_EQ(wb_->settings.slots[1].dataFormat, 0);
    EXPECT_EQ(wb_->settings.slots[1].usedCapFac, 1);
    EXPECT_EQ(SettingsLine(2), before);
}

TEST_F(DesktopWorkbenchTest, EnterConfirmsUsedTools) {
    bool allTicked = false;
    QString caption;
    WhenModal(QStringLiteral("USEDTOOLS"), [&](QWidget* dialog) {
        caption = dialog->windowTitle();
        auto* capFac = dialog->findChild<QCheckBox*>(QStringLiteral("1161"));
        auto* regress = dialog->findChild<QCheckBox*>(QStringLiteral("1162"));
        auto* thread = dialog->findChild<QCheckBox*>(QStringLiteral("1163"));
        ASSERT_TRUE(capFac && regress && thread);
        allTicked = capFac->isChecked() && regress->isChecked() && thread->isChecked();
        QTest::mouseClick(regress, Qt::LeftButton);
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    window_->MenuAction(37)->trigger();
    EXPECT_EQ(caption, QStringLiteral("Used tools"));
    EXPECT_TRUE(allTicked);
    EXPECT_EQ(LastResult(), 1);
    EXPECT_EQ(wb_->settings.slots[1].usedRegress, 0);
    EXPECT_EQ(SettingsLine(2).substr(0, 10), "0\t0\t1\t0\t1\t");
}

TEST_F(DesktopWorkbenchTest, TheAboutBoxClosesOnlyWithOk) {
    bool stayedOpen = false;
    bool frameless = false;
    QStringList texts;
    WhenModal(QStringLiteral("AboutBox"), [&](QWidget* dialog) {
        frameless = dialog->windowFlags().testFlag(Qt::FramelessWindowHint);
        for (QLabel* label : dialog->findChildren<QLabel*>())
            texts << label->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
        dialog->close();
        stayedOpen = dialog->isVisible();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
    });
    window_->MenuAction(74)->trigger();
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(frameless);
    ASSERT_EQ(texts.size(), 4);
    EXPECT_EQ(texts[0], QStringLiteral("Corelith"));
}

TEST_F(DesktopWorkbenchTest, SettingsAreWrittenInTheCLocaleUnderAGermanLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "no de_DE.UTF-8 locale here (localedef -i de_DE -f UTF-8 de_DE.UTF-8)";
    WhenModal(QStringLiteral("FORMATDATA"), [](QWidget* dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
    });
    window_->MenuAction(32)->trigger();
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(SettingsLine(2), "0\t0\t1\t1\t1\t5\t1\t5\t10.000000\t1");
}

// The batch front end of the corelith program runs without any display: it never
// constructs the QApplication.
TEST(CorelithProgram, BatchRunsWithoutADisplay) {
    testing::TestFolder folder;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       QString::fromStdString(folder.Path() + "config"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QString::fromStdString(folder.Path()));
    program.start(QStringLiteral(CORELITH_EXE), {QStringLiteral("--batch"), QStringLiteral("72")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(program.readAllStandardOutput().toStdString(), "result 0\n");
    EXPECT_EQ(program.readAllStandardError().toStdString(),
              "message 134: Version number:\\n1.08 - Build: 07.10.2003\n");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(folder.SettingsFile())));

    // Without a stored engine path the executable dialog proposes the engine installed
    // beside the workbench, so one OK suffices.
    const QString engine = QFileInfo(QStringLiteral(CORELITH_EXE)).absolutePath() + "/marvane";
    ASSERT_TRUE(QFileInfo(engine).isExecutable());
    program.start(QStringLiteral(CORELITH_EXE),
                  {QStringLiteral("--batch"), QStringLiteral("39"), QStringLiteral(":ok")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.readAllStandardOutput().toStdString(), "result 1\n");
    const std::string line = testsupport::LineOf(testsupport::ReadFile(folder.SettingsFile()), 5);
    // (The scripted file dialog still adds the default extension to the proposed name.)
    const std::string proposed = QDir::cleanPath(engine).toStdString();
    EXPECT_EQ(line.substr(0, proposed.size()), proposed);

    program.start(QStringLiteral(CORELITH_EXE), {QStringLiteral("--batch")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 2);
}

TEST(CorelithProgram, TellsItsVersionWithoutADisplay) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(CORELITH_EXE), {QStringLiteral("--version")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(program.readAllStandardOutput().toStdString(),
              std::string("corelith ") + CORELITH_VERSION + "\n");
}

} // namespace
} // namespace corelith
