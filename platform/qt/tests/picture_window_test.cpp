#include "platform/qt/picture_window.h"
#include "platform/qt/qt_platform.h"

#include "qt_test_support.h"

#include <QApplication>
#include <QImage>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace corelith {
namespace {

using testing::TestFolder;

// A plot as the workbench writes it, when this checkout has one; else a small picture.
std::string SomePicture() {
    const std::string plot = testsupport::ReadFile(std::filesystem::path(CORELITH_SOURCE_ROOT) /
                                                   "workbench/plotting/tests/golden/small.svg");
    if (!plot.empty())
        return plot;
    return "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"300\" "
           "height=\"200\" viewBox=\"0 0 300 200\"><rect width=\"300\" height=\"200\" "
           "fill=\"white\"/><path d=\"M20 20L280 180\" stroke=\"#1f6fb4\" "
           "stroke-width=\"4\"/></svg>\n";
}

std::vector<PictureWindow*> OpenPictures() {
    std::vector<PictureWindow*> open;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = dynamic_cast<PictureWindow*>(widget);
        if (window != nullptr && window->isVisible())
            open.push_back(window);
    }
    return open;
}

// Pixels that are not white: something was drawn.
int DrawnPixels(const QImage& image) {
    int drawn = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2)
            drawn += image.pixelColor(x, y) != QColor(Qt::white) ? 1 : 0;
    }
    return drawn;
}

TEST(PictureWindow, ThePlatformShowsAPictureInAWindowOfItsOwn) {
    TestFolder folder;
    const std::string path = folder.Path() + "core_plot.svg";
    ASSERT_TRUE(testsupport::WriteFile(testsupport::PathOf(path), SomePicture()));
    QtPlatform platform;
    ASSERT_TRUE(platform.ShowPicture(path, "core_plot.svg"));
    ASSERT_EQ(OpenPictures().size(), 1u);
    PictureWindow* window = OpenPictures()[0];
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("core_plot.svg"));
    EXPECT_FALSE(window->isModal());
    auto* view = window->findChild<QSvgWidget*>();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->renderer()->isValid());
    // As large as the picture, or smaller with the same proportions where the screen is.
    const QSize picture = view->renderer()->defaultSize();
    EXPECT_LE(window->width(), picture.width());
    EXPECT_NEAR(double(window->width()) / window->height(),
                double(picture.width()) / picture.height(), 0.01);
    const QImage image = window->grab().toImage();
    EXPECT_GT(DrawnPixels(image), 100);
    const std::filesystem::path shots = testsupport::ScreenshotFolder();
    if (!shots.empty())
        image.save(QString::fromStdString((shots / "PictureWindow.png").string()));

    // Showing the same file again reuses its window; another file gets one of its own.
    ASSERT_TRUE(platform.ShowPicture(path, "again"));
    ASSERT_EQ(OpenPictures().size(), 1u);
    EXPECT_EQ(OpenPictures()[0]->windowTitle(), QStringLiteral("again"));
    const std::string other = folder.Path() + "other.svg";
    ASSERT_TRUE(testsupport::WriteFile(testsupport::PathOf(other), SomePicture()));
    ASSERT_TRUE(platform.ShowPicture(other, "other.svg"));
    EXPECT_EQ(OpenPictures().size(), 2u);
    for (PictureWindow* open : OpenPictures())
        open->close(); // deletes itself
}

TEST(PictureWindow, AFileThatIsNoPictureOpensNothing) {
    TestFolder folder;
    const std::string path = folder.Path() + "table.svg";
    ASSERT_TRUE(testsupport::WriteFile(testsupport::PathOf(path), "Sample\tDepth\n"));
    QtPlatform platform;
    EXPECT_FALSE(platform.ShowPicture(path, "table.svg"));
    EXPECT_FALSE(platform.ShowPicture(folder.Path() + "missing.svg", "missing.svg"));
    EXPECT_TRUE(OpenPictures().empty());
}

} // namespace
} // namespace corelith
