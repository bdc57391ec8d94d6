#include "textio/paths.h"

#include "testing/test_support.h"

#include <gtest/gtest.h>

namespace corelith {
namespace {

TEST(PathsTest, PosixSplitsAtTheLastSlash) {
    EXPECT_EQ(FolderOf("/data/cores/core 1.txt", PathStyle::Posix), "/data/cores/");
    EXPECT_EQ(FileNameOf("/data/cores/core 1.txt", PathStyle::Posix), "core 1.txt");
    EXPECT_EQ(FolderOf("core.txt", PathStyle::Posix), "");
    EXPECT_EQ(FileNameOf("core.txt", PathStyle::Posix), "core.txt");
    EXPECT_EQ(FileNameOf("/data/", PathStyle::Posix), "");
    // A backslash is an ordinary name character on POSIX.
    EXPECT_EQ(FileNameOf("/data/a\\b.txt", PathStyle::Posix), "a\\b.txt");
}

TEST(PathsTest, WindowsTakesBothSlashesAndDrives) {
    EXPECT_EQ(FolderOf("C:\\data\\core 1.txt", PathStyle::Windows), "C:\\data\\");
    EXPECT_EQ(FileNameOf("C:\\data\\core 1.txt", PathStyle::Windows), "core 1.txt");
    EXPECT_EQ(FolderOf("C:\\data/sub/x.txt", PathStyle::Windows), "C:\\data/sub/");
    EXPECT_EQ(FolderOf("C:x.txt", PathStyle::Windows), "C:");
    EXPECT_EQ(FileNameOf("C:x.txt", PathStyle::Windows), "x.txt");
}

TEST(PathsTest, AbsolutePaths) {
    EXPECT_TRUE(IsAbsolutePath("/x", PathStyle::Posix));
    EXPECT_FALSE(IsAbsolutePath("x/y", PathStyle::Posix));
    EXPECT_FALSE(IsAbsolutePath("C:\\x", PathStyle::Posix));
    EXPECT_FALSE(IsAbsolutePath("", PathStyle::Posix));
    EXPECT_TRUE(IsAbsolutePath("C:\\x", PathStyle::Windows));
    EXPECT_TRUE(IsAbsolutePath("\\\\server\\share", PathStyle::Windows));
    EXPECT_FALSE(IsAbsolutePath("x\\y", PathStyle::Windows));
}

TEST(PathsTest, JoinTakesRelativeNamesFromTheFolder) {
    EXPECT_EQ(JoinPath("/data/", "HMatrix.tmp", PathStyle::Posix), "/data/HMatrix.tmp");
    EXPECT_EQ(JoinPath("/data", "Temp1.txt", PathStyle::Posix), "/data/Temp1.txt");
    EXPECT_EQ(JoinPath("/data/", "/abs/x", PathStyle::Posix), "/abs/x");
    EXPECT_EQ(JoinPath("", "x", PathStyle::Posix), "x");
    EXPECT_EQ(JoinPath("C:\\data", "x.txt", PathStyle::Windows), "C:\\data\\x.txt");
    EXPECT_EQ(JoinPath("C:", "x.txt", PathStyle::Windows), "C:x.txt");
    EXPECT_EQ(PathSeparator(PathStyle::Windows), '\\');
    EXPECT_EQ(PathSeparator(PathStyle::Posix), '/');
}

} // namespace
} // namespace corelith

namespace corelith {
namespace {

TEST(PathsTest, SameFileUnderEveryNameAndBeforeItExists) {
    testsupport::TempDir folder;
    folder.Write("a.txt", "x");
    std::filesystem::create_directory(folder.path() / "sub");
    const std::string a = folder.File("a.txt");
    EXPECT_TRUE(IsSameFile(a, a));
    EXPECT_TRUE(IsSameFile(a, folder.File("sub/../a.txt")));
    EXPECT_TRUE(IsSameFile(folder.File("new.txt"), folder.File("./new.txt"))) << "not written yet";
    EXPECT_FALSE(IsSameFile(a, folder.File("b.txt")));
    EXPECT_FALSE(IsSameFile(a, ""));
#ifdef __linux__
    std::filesystem::create_symlink(folder.path() / "a.txt", folder.path() / "link.txt");
    EXPECT_TRUE(IsSameFile(a, folder.File("link.txt")));
#endif
}

} // namespace
} // namespace corelith
