#include "engine/dialog.h"

#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace marvane {
namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

struct Dialog {
    std::string path;
    std::string transcript;
};

Dialog RunDialog(const TempDir& dir, const std::string& replies, const PathStyle& style) {
    std::istringstream in(replies);
    std::ostringstream out;
    Dialog dialog;
    dialog.path = LocateProject(in, out, dir.File("Marvane.ini"), style);
    dialog.transcript = out.str();
    return dialog;
}

std::string IniLine(const std::string& path) {
    return path + std::string(512 - path.size(), ' ') + "\n";
}

TEST(dialog_test, without_ini_file_two_returns_run_the_default_project) {
    TempDir dir;
    const Dialog d = RunDialog(dir, "\n\n", kPosixPathStyle);
    EXPECT_EQ(d.path, "./Velmar_Project1.pro");
    EXPECT_EQ(d.transcript, "\n"
                            " Velmar (marvane@corelith.example)\n"
                            " ========================================\n"
                            "\n"
                            " Default path: ./" +
                                std::string(62, ' ') +
                                "\n"
                                " Path ? "
                                " Default Filename: Velmar_Project1.pro" +
                                std::string(41, ' ') +
                                "\n"
                                " Filename ? "
                                "\n");
    EXPECT_EQ(ReadFile(dir.File("Marvane.ini")), IniLine("./Velmar_Project1.pro"));
}

TEST(dialog_test, windows_form_proposes_the_root_of_drive_c) {
    TempDir dir;
    const Dialog d = RunDialog(dir, "", kWindowsPathStyle);
    EXPECT_EQ(d.path, "C:\\Velmar_Project1.pro");
    EXPECT_NE(d.transcript.find(" Default path: C:\\" + std::string(61, ' ') + "\n"),
              std::string::npos);
    EXPECT_EQ(ReadFile(dir.File("Marvane.ini")), IniLine("C:\\Velmar_Project1.pro"));
}

TEST(dialog_test, a_drive_letter_reply_gives_the_root_of_that_drive) {
    TempDir dir;
    EXPECT_EQ(RunDialog(dir, "D:\n\n", kWindowsPathStyle).path, "D:\\Velmar_Project1.pro");
    EXPECT_EQ(RunDialog(dir, "E:\\cores\\\nrun.pro\n", kWindowsPathStyle).path,
              "E:\\cores\\run.pro");
}

TEST(dialog_test, a_reply_of_one_character_is_ignored) {
    TempDir dir;
    EXPECT_EQ(RunDialog(dir, ".\nx\n", kPosixPathStyle).path, "./Velmar_Project1.pro");
}

TEST(dialog_test, a_new_folder_keeps_the_remembered_file_name) {
    TempDir dir;
    WriteFile(dir.File("Marvane.ini"), IniLine("/old/place/cores.pro"));
    const Dialog d = RunDialog(dir, "/new/place   \n\n", kPosixPathStyle);
    EXPECT_EQ(d.path, "/new/place/cores.pro");
    EXPECT_NE(d.transcript.find(" Default path: /old/place/" + std::string(53, ' ') + "\n"),
              std::string::npos);
    EXPECT_NE(d.transcript.find(" Default Filename: cores.pro" + std::string(51, ' ') + "\n"),
              std::string::npos);
}

TEST(dialog_test, an_ini_line_without_separator_is_all_file_name) {
    TempDir dir;
    WriteFile(dir.File("Marvane.ini"), "cores.pro   \r\nsecond line is ignored\n");
    const Dialog d = RunDialog(dir, "\n\n", kPosixPathStyle);
    EXPECT_EQ(d.path, "cores.pro");
    EXPECT_NE(d.transcript.find(" Default path: " + std::string(64, ' ') + "\n"),
              std::string::npos);
}

TEST(dialog_test, the_ini_file_is_rewritten_on_every_run) {
    TempDir dir;
    RunDialog(dir, "/first/\nfirst.pro\n", kPosixPathStyle);
    EXPECT_EQ(ReadFile(dir.File("Marvane.ini")), IniLine("/first/first.pro"));
    const Dialog second = RunDialog(dir, "\n\n", kPosixPathStyle);
    EXPECT_EQ(second.path, "/first/first.pro");
    EXPECT_EQ(ReadFile(dir.File("Marvane.ini")), IniLine("/first/first.pro"));
}

TEST(dialog_test, long_replies_are_kept_whole) {
    TempDir dir;
    const std::string folder = "/" + std::string(300, 'f');
    const std::string name = std::string(300, 'n') + ".pro";
    const Dialog d = RunDialog(dir, folder + "\n" + name + "\n", kPosixPathStyle);
    EXPECT_EQ(d.path, folder + "/" + name);
    EXPECT_EQ(ReadFile(dir.File("Marvane.ini")), d.path + "\n");
}

TEST(dialog_test, an_ini_file_that_cannot_be_written_is_reported_and_the_run_goes_on) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "Marvane.ini");
    const Dialog d = RunDialog(dir, "\n\n", kPosixPathStyle);
    EXPECT_EQ(d.path, "./Velmar_Project1.pro");
    EXPECT_NE(d.transcript.find(
                  " Filename ?  (Marvane.ini cannot be written; this path is not remembered)\n\n"),
              std::string::npos);
}

TEST(dialog_test, a_closed_console_counts_as_empty_replies) {
    TempDir dir;
    std::istringstream in;
    in.setstate(std::ios::eofbit);
    std::ostringstream out;
    EXPECT_EQ(LocateProject(in, out, dir.File("Marvane.ini"), kPosixPathStyle),
              "./Velmar_Project1.pro");
    EXPECT_EQ(ReadReply(in), "");
}

TEST(dialog_test, replies_lose_a_carriage_return_before_the_line_feed) {
    std::istringstream in("folder\r\n");
    EXPECT_EQ(ReadReply(in), "folder");
}

} // namespace
} // namespace marvane
