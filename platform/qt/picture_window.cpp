#include "platform/qt/picture_window.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QVBoxLayout>

namespace corelith {

namespace {

// The share of the screen a picture may take at most when its window opens.
constexpr double kLargestShareOfScreen = 0.9;

PictureWindow* WindowShowing(const QString& path) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = dynamic_cast<PictureWindow*>(widget);
        if (window != nullptr && window->Path() == path)
            return window;
    }
    return nullptr;
}

} // namespace

PictureWindow::PictureWindow(const QString& path, QWidget* owner)
    : QWidget(owner, Qt::Window), path_(path), view_(new QSvgWidget(this)) {
    setObjectName(QStringLiteral("picture"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    // The plot's own background is white; so is the margin a differently shaped window
    // leaves around it.
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
}

bool PictureWindow::Load() {
    view_->load(path_);
    QSvgRenderer* renderer = view_->renderer();
    if (!renderer->isValid())
        return false;
    renderer->setAspectRatioMode(Qt::KeepAspectRatio);
    return true;
}

PictureWindow* PictureWindow::Show(const QString& path, const QString& title, QWidget* owner) {
    const QString canonical = QFileInfo(path).absoluteFilePath();
    PictureWindow* window = WindowShowing(canonical);
    const bool opened = window == nullptr;
    if (opened)
        window = new PictureWindow(canonical, owner);
    if (!window->Load()) {
        if (opened)
            delete window;
        else
            window->close(); // the file it showed is no picture any more
        return nullptr;
    }
    window->setWindowTitle(title);
    if (opened) {
        QSize size = window->view_->renderer()->defaultSize();
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QSize room = screen->availableGeometry().size() * kLargestShareOfScreen;
            if (size.width() > room.width() || size.height() > room.height())
                size.scale(room, Qt::KeepAspectRatio);
        }
        window->resize(size);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace corelith
