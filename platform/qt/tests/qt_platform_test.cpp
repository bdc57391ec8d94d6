#include "platform/qt/qt_platform.h"

#include "platform/qt/console_window.h"
#include "qt_test_support.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace corelith {
namespace {

using testing::TestFolder;
using testing::WhenModal;

void WriteFile(const QString& path, const QByteArray& content, bool executable = false) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Types `name` into the open file dialog and presses Return.
void TypeName(QWidget* dialog, const QString& name) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setText(name);
    QTest::keyClick(edit, Qt::Key_Return);
}

FileDialogRequest Request(bool save, const std::string& folder) {
    FileDialogRequest request;
    request.save = save;
    request.title = save ? "Save as" : "Open";
    request.filters = {{"Text files (*.txt)", "*.txt"}, {"All files (*.*)", "*.*"}};
    request.currentFolder = folder;
    return request;
}

TEST(QtPlatform, MessagesHaveTheirIconCaptionAndText) {
    QtPlatform platform;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString caption, text;
    WhenModal(QStringLiteral("message"), [&](QWidget* box) {
        auto* message = qobject_cast<QMessageBox*>(box);
        icon = message->icon();
        caption = message->windowTitle();
        text = message->text();
        message->button(QMessageBox::Ok)->click();
    });
    platform.ShowMessage(138, "Corelith", "The names of species are not equal:\n>a<\n><b>x<",
                         MessageIcon::Stop, true);
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(caption, QStringLiteral("Corelith"));
    EXPECT_EQ(text, QStringLiteral("The names of species are not equal:\n>a<\n><b>x<"));
}

TEST(QtPlatform, ASaveDialogAddsTheDefaultExtensionAndAsksBeforeOverwriting) {
    TestFolder folder;
    QtPlatform platform;
    WriteFile(folder.File("old.csv"), "x");
    FileDialogRequest request = Request(true, folder.Path());
    request.initialPath = "proposal.txt";
    QString proposed;
    int prompts = 0;
    WhenModal(QStringLiteral("fileDialog"), [&](QWidget* dialog) {
        proposed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        // "old" becomes old.csv, which exists: refuse once, then accept.
        WhenModal(QStringLiteral("fileDialogPrompt"), [&](QWidget* box) {
            ++prompts;
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
        });
        TypeName(dialog, QStringLiteral("old"));
        EXPECT_TRUE(dialog->isVisible()) << "No keeps the dialog open";
        WhenModal(QStringLiteral("fileDialogPrompt"), [&](QWidget* box) {
            ++prompts;
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
        });
        TypeName(dialog, QStringLiteral("old"));
    });
    std::string chosen = "unchanged";
    EXPECT_TRUE(platform.SelectFile(request, chosen));
    EXPECT_EQ(proposed, QStringLiteral("proposal.txt"));
    EXPECT_EQ(prompts, 2);
    EXPECT_EQ(chosen, folder.Path() + "old.csv");
}

TEST(QtPlatform, ASaveDialogTakesANewNameWithoutAsking) {
    TestFolder folder;
    QtPlatform platform;
    WhenModal(QStringLiteral("fileDialog"),
              [&](QWidget* dialog) { TypeName(dialog, QStringLiteral("new.dat")); });
    std::string chosen;
    EXPECT_TRUE(platform.SelectFile(Request(true, folder.Path()), chosen));
    EXPECT_EQ(chosen, folder.Path() + "new.dat");
}

TEST(QtPlatform, AnOpenDialogAsksToCreateAMissingFile) {
    TestFolder folder;
    QtPlatform platform;
    QString question;
    WhenModal(QStringLiteral("fileDialog"), [&](QWidget* dialog) {
        WhenModal(QStringLiteral("fileDialogPrompt"), [&](QWidget* box) {
            question = qobject_cast<QMessageBox*>(box)->text();
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
        });
        TypeName(dialog, QStringLiteral("missing"));
    });
    std::string chosen;
    EXPECT_TRUE(platform.SelectFile(Request(false, folder.Path()), chosen));
    EXPECT_EQ(chosen, folder.Path() + "missing.csv");
    EXPECT_EQ(question, QStringLiteral("missing.csv\nThis file does not exist.\nCreate the file?"));
}

TEST(QtPlatform, AnOpenDialogTakesAnExistingNameWithoutExtensionAsItIs) {
    TestFolder folder;
    QtPlatform platform;
    WriteFile(folder.File("marvane"), "#!/bin/sh\n", true);
    FileDialogRequest request = Request(false, folder.Path());
    request.filters = {{"Program files (*.EXE)", "*.exe"}, {"All files (*.*)", "*.*"}};
    request.initialPath = folder.Path() + "marvane";
    QStringList shownTypes;
    WhenModal(QStringLiteral("fileDialog"), [&](QWidget* dialog) {
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; types != nullptr && i < types->count(); ++i)
            shownTypes << types->itemText(i);
        // The proposed name is confirmed as it stands: one OK suffices.
        QTest::keyClick(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                        Qt::Key_Return);
    });
    std::string chosen;
    EXPECT_TRUE(platform.SelectFile(request, chosen));
    EXPECT_EQ(chosen, folder.Path() + "marvane");
    EXPECT_EQ(shownTypes, (QStringList{QStringLiteral("Program files (*.EXE)"),
                                       QStringLiteral("All files (*.*)")}));
}

TEST(QtPlatform, AllFilesShowsNamesWithoutADot) {
    TestFolder folder;
    QtPlatform platform;
    QStringList filters;
    WhenModal(QStringLiteral("fileDialog"), [&](QWidget* dialog) {
        filters = qobject_cast<QFileDialog*>(dialog)->nameFilters();
        dialog->close();
    });
    std::string chosen = "unchanged";
    EXPECT_FALSE(platform.SelectFile(Request(false, folder.Path()), chosen));
    EXPECT_EQ(chosen, "unchanged") << "Cancel leaves the path alone";
    EXPECT_EQ(filters, (QStringList{QStringLiteral("Text files (*.txt) (*.txt)"),
                                    QStringLiteral("All files (*.*) (*)")}));
}

TEST(QtPlatform, PatternsMatchWithoutRegardToCase) {
    TestFolder folder;
    QtPlatform platform;
    WriteFile(folder.File("QUILLON.EXE"), "");
    WriteFile(folder.File("notes.txt"), "");
    FileDialogRequest request = Request(false, folder.Path());
    request.filters = {{"Program files (*.EXE)", "*.exe"}, {"All files (*.*)", "*.*"}};
    QStringList shown;
    WhenModal(QStringLiteral("fileDialog"), [&](QWidget* dialog) {
        auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) > 0; }, 20000));
        for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
            shown << list->model()->index(row, 0, list->rootIndex()).data().toString();
        dialog->close();
    });
    std::string chosen;
    platform.SelectFile(request, chosen);
    EXPECT_TRUE(shown.contains(QStringLiteral("QUILLON.EXE")));
    EXPECT_FALSE(shown.contains(QStringLiteral("notes.txt")));
}

TEST(QtPlatform, TheWaitCursorIsSetOnceAndGivesWayToDialogs) {
    QtPlatform platform;
    platform.SetCursor(Cursor::Wait);
    platform.SetCursor(Cursor::Wait);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    Qt::CursorShape inBox = Qt::BlankCursor;
    WhenModal(QStringLiteral("message"), [&](QWidget* box) {
        inBox = QApplication::overrideCursor()->shape();
        qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    platform.ShowMessage(135, "Corelith", "Info not yet implemented!", MessageIcon::Information,
                         false);
    EXPECT_EQ(inBox, Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    platform.SetCursor(Cursor::Arrow);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    platform.SetCursor(Cursor::Arrow);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtPlatform, ProgramsStartDetachedInTheGivenFolder) {
    TestFolder folder;
    QtPlatform platform;
    const QString program = folder.File(QStringLiteral("quillon.sh"));
    WriteFile(program, "#!/bin/sh\npwd > started.txt\n", true);
    EXPECT_TRUE(platform.StartProgram(program.toStdString(), folder.Path()));
    const QString marker = folder.File(QStringLiteral("started.txt"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadFile(marker).endsWith('\n'); }, 20000));
    EXPECT_EQ(ReadFile(marker).trimmed().toStdString() + "/", folder.Path());
    EXPECT_FALSE(platform.StartProgram(folder.Path() + "none.sh", folder.Path()));
    EXPECT_FALSE(platform.StartProgram("", folder.Path()));
}

TEST(QtPlatform, AConsoleProgramGetsATerminal) {
    TestFolder folder;
    QtPlatform platform;
    QDir(QString::fromStdString(folder.Path())).mkpath(QStringLiteral("bin"));
    WriteFile(folder.File(QStringLiteral("bin/xterm")),
              "#!/bin/sh\necho \"$PWD|$*\" > \"$PWD/terminal.txt\"\n", true);
    const QString engine = folder.File(QStringLiteral("marvane"));
    WriteFile(engine, "#!/bin/sh\n", true);
    // PATH limited to one folder for the test's lifetime.
    testsupport::ScopedEnv path("PATH", folder.Path() + "bin");
    // The desktop's own choice comes first when there is one; here only xterm is left.
    EXPECT_TRUE(platform.StartConsoleProgram(engine.toStdString(), folder.Path()));
    const QString record = folder.File(QStringLiteral("terminal.txt"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadFile(record).endsWith('\n'); }, 20000));
    EXPECT_EQ(ReadFile(record).toStdString(), folder.Path().substr(0, folder.Path().size() - 1) +
                                                  "|-e " + engine.toStdString() + "\n");
    EXPECT_FALSE(platform.StartConsoleProgram(folder.Path() + "missing", folder.Path()));
    EXPECT_FALSE(platform.StartConsoleProgram(record.toStdString(), folder.Path()))
        << "not executable";
}

TEST(QtPlatform, WithoutATerminalTheWorkbenchOpensItsOwnConsole) {
    TestFolder folder;
    QtPlatform platform;
    const QString engine = folder.File(QStringLiteral("engine.sh"));
    WriteFile(engine,
              "#!/bin/sh\nprintf 'Project file? '\nread answer\necho \"$answer\" > answer.txt\n"
              "echo done\n",
              true);
    QDir(QString::fromStdString(folder.Path())).mkpath(QStringLiteral("empty"));
    testsupport::ScopedEnv path("PATH", folder.Path() + "empty");
    ASSERT_TRUE(platform.StartConsoleProgram(engine.toStdString(), folder.Path()));
    ConsoleWindow* console = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("console") && widget->isVisible())
            console = static_cast<ConsoleWindow*>(widget);
    }
    ASSERT_NE(console, nullptr);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return console->Output()->toPlainText().contains(QStringLiteral("Project file?")); },
        20000));
    QTest::keyClicks(console->Input(), QStringLiteral("velmar.pro"));
    QTest::keyClick(console->Input(), Qt::Key_Return);
    const QString answer = folder.File(QStringLiteral("answer.txt"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadFile(answer).endsWith('\n'); }, 20000));
    EXPECT_EQ(ReadFile(answer), QByteArray("velmar.pro\n"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !console->Running(); }, 20000));
    EXPECT_TRUE(console->Output()->toPlainText().contains(QStringLiteral("done")));
    EXPECT_FALSE(console->Input()->isEnabled());
    console->close(); // deletes itself
}

TEST(QtPlatform, TheSettingsFolderFollowsTheUsersConfigurationFolder) {
    TestFolder folder;
    QtPlatform platform;
    EXPECT_EQ(platform.SettingsFolder(), folder.Path() + "config/corelith/");
}

} // namespace
} // namespace corelith
