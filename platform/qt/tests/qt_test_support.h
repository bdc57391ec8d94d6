// Helpers for driving the desktop backend in tests: answering modal windows as they open,
// temporary folders, and a settings folder of the test's own.
#pragma once

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace corelith::testing {

// Calls `handle` with the modal window named `objectName` once it is the active modal
// window (polling the event loop the modal window runs). A window that never appears is a
// test failure; the modal windows then open are rejected so the test cannot hang.
inline void WhenModal(const QString& objectName, std::function<void(QWidget*)> handle,
                      int attempts = 2000) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    auto left = std::make_shared<int>(attempts);
    QObject::connect(timer, &QTimer::timeout, [timer, objectName, handle, left] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->objectName() == objectName && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            handle(modal);
            return;
        }
        if (--*left == 0) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window " << objectName.toStdString() << " appeared";
            while (QWidget* open = QApplication::activeModalWidget())
                open->close();
        }
    });
    timer->start();
}

// A temporary folder, and XDG_CONFIG_HOME pointing into it for the test's lifetime, so the
// settings file lands in Config() + "corelith/".
class TestFolder {
  public:
    TestFolder() {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        hadConfig_ = old != nullptr;
        if (hadConfig_)
            oldConfig_ = old;
        QDir(dir_.path()).mkpath(QStringLiteral("config"));
        setenv("XDG_CONFIG_HOME", (Path() + "config").c_str(), 1);
    }
    ~TestFolder() {
        if (hadConfig_)
            setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // With a trailing separator.
    std::string Path() const { return dir_.path().toStdString() + "/"; }
    QString File(const QString& name) const { return dir_.filePath(name); }
    std::string SettingsFile() const { return Path() + "config/corelith/Corelith.INI"; }

  private:
    QTemporaryDir dir_;
    bool hadConfig_ = false;
    std::string oldConfig_;
};

} // namespace corelith::testing
