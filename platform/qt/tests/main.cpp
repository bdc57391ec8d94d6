// The desktop tests run under the offscreen platform unless a display is asked for.
#include "testing/test_support.h"

#include <QApplication>
#include <QDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        testsupport::SetEnv("QT_QPA_PLATFORM", "offscreen");
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        const std::string runtime = QDir::tempPath().toStdString() + "/corelith-qt-tests-runtime";
        QDir().mkpath(QString::fromStdString(runtime));
        QFile::setPermissions(QString::fromStdString(runtime), QFileDevice::ReadOwner |
                                                                   QFileDevice::WriteOwner |
                                                                   QFileDevice::ExeOwner);
        testsupport::SetEnv("XDG_RUNTIME_DIR", runtime);
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
