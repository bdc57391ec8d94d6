// Every dialog of the workbench and its main window as the Qt backend shows them. With
// CORELITH_SCREENSHOT_DIR set, each one is saved there as a PNG file for a look.
#include "apps/desktop/desktop_workbench.h"
#include "platform/qt/main_window.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/template_dialog.h"
#include "platform/qt/tests/qt_test_support.h"
#include "resources/dialog_templates.h"
#include "workbench.h"

#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace corelith {
namespace {

// A model that only opens its dialog.
class SilentModel : public DialogModel {
  public:
    explicit SilentModel(std::string resource) : resource_(std::move(resource)) {}
    std::string Resource() const override { return resource_; }
    void OnInit(DialogControls&) override {}
    void OnCommand(DialogControls&, int, Notification) override {}

  private:
    std::string resource_;
};

QString ScreenshotPath(const QString& name) {
    const std::filesystem::path folder = testsupport::ScreenshotFolder();
    return folder.empty() ? QString() : QString::fromStdString(folder.string()) + "/" + name;
}

TEST(DialogViews, EveryTemplateBuildsWithEachControlInsideTheDialog) {
    for (const auto* group : {&ShellDialogTemplates(), &TfProjectDialogTemplates(),
                              &RankingDialogTemplates(), &CountingDialogTemplates()}) {
        for (const DialogTemplate& t : *group) {
            SilentModel model(t.resource);
            TemplateDialog dialog(t, model, nullptr);
            dialog.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
            const QPixmap image = dialog.grab();
            EXPECT_EQ(image.size(), dialog.size()) << t.resource;
            for (const ControlTemplate& c : t.controls) {
                if (c.id >= 0) {
                    EXPECT_NE(dialog.Control(c.id), nullptr) << t.resource << " " << c.id;
                }
                EXPECT_LE(c.x + c.width, t.width) << t.resource << " " << c.text;
                EXPECT_LE(c.y + c.height, t.height) << t.resource << " " << c.text;
            }
            const QString path = ScreenshotPath(QString::fromStdString(t.resource) + ".png");
            if (!path.isEmpty())
                image.save(path);
        }
    }
}

// The main window, an option dialog and a message box opened from its menu, and each menu
// open, as pictures.
TEST(DialogViews, TheMainWindowItsMenusAndItsDialogs) {
    if (testsupport::ScreenshotFolder().empty())
        GTEST_SKIP() << "set CORELITH_SCREENSHOT_DIR for the pictures";
    testing::TestFolder folder;
    QtPlatform platform(FindDialogTemplate);
    Workbench wb(platform);
    StartWorkbench(wb);
    CommandDispatch dispatch(wb, platform);
    MainWindow& window =
        platform.OpenMainWindow(WorkbenchWindowLayout(), [&dispatch](int id) { dispatch(id); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.grab().save(ScreenshotPath("MainWindow.png"));
    window.windowIcon().pixmap(64).save(ScreenshotPath("Icon.png"));
    for (const char* name : {"FORMATSPECIES", "message"}) {
        testing::WhenModal(QString::fromLatin1(name), [&](QWidget* open) {
            open->grab().save(ScreenshotPath("Open" + open->objectName() + ".png"));
            QTest::keyClick(open, Qt::Key_Escape);
        });
    }
    window.MenuAction(31)->trigger();
    window.MenuAction(72)->trigger();
    int index = 0;
    for (QAction* action : window.menuBar()->actions()) {
        QMenu* menu = action->menu();
        menu->popup(QPoint(0, 0));
        QTest::qWait(20);
        menu->grab().save(ScreenshotPath(QStringLiteral("Menu%1.png").arg(++index)));
        menu->hide();
    }
}

} // namespace
} // namespace corelith
