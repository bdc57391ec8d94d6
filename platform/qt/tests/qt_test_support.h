// Helpers for driving the desktop backend in tests: answering modal windows as they open,
// and a temporary folder with a settings folder of the test's own.
#pragma once

#include "testing/test_support.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

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
// settings file lands in Path() + "config/corelith/".
class TestFolder {
  public:
    // With a trailing separator.
    std::string Path() const { return dir_.Folder(); }
    QString File(const QString& name) const {
        return QString::fromStdString(dir_.File(name.toStdString()));
    }
    std::string SettingsFile() const { return dir_.File("config/corelith/Corelith.INI"); }

  private:
    testsupport::TempDir dir_;
    testsupport::ScopedEnv config_{"XDG_CONFIG_HOME", dir_.File("config")};
};

} // namespace corelith::testing
