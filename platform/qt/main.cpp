// corelith: the desktop workbench; "corelith --batch COMMAND [ANSWER ...]" runs one menu
// command without any window.
#include "platform/qt/main_window.h"
#include "platform/qt/qt_platform.h"
#include "resources/dialog_templates.h"
#include "apps/batch/batch.h"
#include "shell/commands.h"
#include "workbench.h"

#include <QApplication>

#include <clocale>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    try {
        if (argc >= 2 && std::strcmp(argv[1], "--batch") == 0)
            return corelith::RunBatch(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                      std::cerr);

        QApplication app(argc, argv);
        // QApplication takes the user's locale; numbers are read and written in the C one.
        std::setlocale(LC_NUMERIC, "C");

        corelith::QtPlatform platform(corelith::FindDialogTemplate);
        corelith::Workbench wb(platform);
        corelith::StartWorkbench(wb);
        // QApplication has taken its own options out of argv.
        std::string commandLine;
        for (int i = 1; i < argc; ++i)
            commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
        corelith::TakeCommandLinePath(wb, commandLine);

        corelith::MainWindow window(wb);
        platform.SetOwner(&window);
        window.show();
        const int status = app.exec();
        platform.SetOwner(nullptr);
        return status;
    } catch (const std::bad_alloc&) {
        std::cerr << "corelith: not enough memory\n";
        return 1;
    }
}
