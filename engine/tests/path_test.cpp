#include "engine/path.h"

#include <gtest/gtest.h>

namespace marvane {
namespace {

TEST(path_test, splits_a_posix_path_at_its_last_slash) {
    const SplitPath parts =
        SplitAtLastSeparator("/data/cores/Velmar_Project1.pro", kPosixPathStyle);
    EXPECT_EQ(parts.directory, "/data/cores/");
    EXPECT_EQ(parts.fileName, "Velmar_Project1.pro");
    const SplitPath defaults =
        SplitAtLastSeparator(kPosixPathStyle.defaultProjectPath, kPosixPathStyle);
    EXPECT_EQ(defaults.directory, "./");
    EXPECT_EQ(defaults.fileName, "Velmar_Project1.pro");
}

TEST(path_test, splits_a_windows_path_at_its_last_backslash_only) {
    const SplitPath parts = SplitAtLastSeparator("C:\\data/x\\run.pro", kWindowsPathStyle);
    EXPECT_EQ(parts.directory, "C:\\data/x\\");
    EXPECT_EQ(parts.fileName, "run.pro");
    const SplitPath defaults =
        SplitAtLastSeparator(kWindowsPathStyle.defaultProjectPath, kWindowsPathStyle);
    EXPECT_EQ(defaults.directory, "C:\\");
    EXPECT_EQ(defaults.fileName, "Velmar_Project1.pro");
}

TEST(path_test, a_path_without_separator_is_all_file_name) {
    const SplitPath parts = SplitAtLastSeparator("project.pro", kPosixPathStyle);
    EXPECT_EQ(parts.directory, "");
    EXPECT_EQ(parts.fileName, "project.pro");
    EXPECT_EQ(SplitAtLastSeparator("a/b.pro", kWindowsPathStyle).directory, "");
}

TEST(path_test, resolves_relative_paths_against_the_working_directory) {
    EXPECT_EQ(ResolvePath("/tmp/run", "./x.pro", kPosixPathStyle), "/tmp/run/./x.pro");
    EXPECT_EQ(ResolvePath("/tmp/run/", "x.pro", kPosixPathStyle), "/tmp/run/x.pro");
    EXPECT_EQ(ResolvePath("/tmp/run", "/abs/x.pro", kPosixPathStyle), "/abs/x.pro");
    EXPECT_EQ(ResolvePath("", "x.pro", kPosixPathStyle), "x.pro");
    EXPECT_EQ(ResolvePath("C:\\run", "x.pro", kWindowsPathStyle), "C:\\run\\x.pro");
    EXPECT_EQ(ResolvePath("C:\\run", "D:\\x.pro", kWindowsPathStyle), "D:\\x.pro");
    EXPECT_EQ(ResolvePath("C:\\run", "\\\\server\\x.pro", kWindowsPathStyle), "\\\\server\\x.pro");
    EXPECT_FALSE(IsAbsolutePath("", kPosixPathStyle));
    EXPECT_FALSE(IsAbsolutePath("D:x.pro", kPosixPathStyle));
}

TEST(path_test, sibling_paths_replace_the_extension_of_the_file_name_only) {
    struct Case {
        const char* path;
        const PathStyle& style;
        const char* sibling;
    };
    const Case cases[] = {
        {"./cores/run.pro", kPosixPathStyle, "./cores/run_cv.tsv"},
        {"run.pro", kPosixPathStyle, "run_cv.tsv"},
        {"run", kPosixPathStyle, "run_cv.tsv"},
        {"a.b/run", kPosixPathStyle, "a.b/run_cv.tsv"},
        {"v1.2.pro", kPosixPathStyle, "v1.2_cv.tsv"},
        {".pro", kPosixPathStyle, ".pro_cv.tsv"},
        {"C:\\data.x\\Velmar_Project1.pro", kWindowsPathStyle,
         "C:\\data.x\\Velmar_Project1_cv.tsv"},
        {"C:/data.x/run", kWindowsPathStyle, "C:/data.x/run_cv.tsv"},
        {"C:\\data.x/run", kWindowsPathStyle, "C:\\data.x/run_cv.tsv"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SiblingPath(c.path, "_cv.tsv", c.style), c.sibling) << c.path;
    }
}

} // namespace
} // namespace marvane
