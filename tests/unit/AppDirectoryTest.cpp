#include <gtest/gtest.h>

#include <string>

#include "app/AppDirectory.h"

namespace {
std::string DirectoryOf(const std::string& modulePath, bool* ok = nullptr) {
    char dir[kAppDirSize];
    const bool result = AppDirectoryFromModulePath(modulePath.c_str(), dir);
    if (ok) *ok = result;
    return dir;
}

TEST(AppDirectory, DriveRootUncAndNestedPaths) {
    EXPECT_EQ(DirectoryOf("C:\\Vorlund.exe"), "C:\\");
    EXPECT_EQ(DirectoryOf("\\\\server\\share\\Vorlund.exe"), "\\\\server\\share\\");
    EXPECT_EQ(DirectoryOf("D:\\Program Files\\Vorlund\\Vorlund.exe"), "D:\\Program Files\\Vorlund\\");
}

TEST(AppDirectory, TrailByte5CIsNotASeparator) {
    // The file name ソ.exe ends its first character with 0x5C.
    EXPECT_EQ(DirectoryOf("C:\\Tools\\ソ.exe"), "C:\\Tools\\");
    EXPECT_EQ(DirectoryOf("C:\\表示\\Vorlund.exe"), "C:\\表示\\");
}

TEST(AppDirectory, NoDirectoryOrTooLongGivesEmpty) {
    bool ok = true;
    EXPECT_EQ(DirectoryOf("Vorlund.exe", &ok), "");
    EXPECT_FALSE(ok);
    const std::string tooLong = "C:\\" + std::string(300, 'x') + "\\Vorlund.exe";
    EXPECT_EQ(DirectoryOf(tooLong, &ok), "");
    EXPECT_FALSE(ok);
    const std::string fits = "C:\\" + std::string(256, 'x') + "\\";  // 260 bytes
    EXPECT_EQ(DirectoryOf(fits + "a.exe", &ok), fits);
    EXPECT_TRUE(ok);
}

TEST(AppDirectory, OfTheRunningModuleEndsWithBackslash) {
    char dir[kAppDirSize];
    ASSERT_TRUE(AppDirectoryOfModule(nullptr, dir));
    const std::string text = dir;
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\\');
}
}  // namespace
