// Where telvara-send keeps the toggle bit between runs, and what it refuses.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "tools/send/ToggleStore.h"

TEST(ToggleStore, RefusesAStateDirectoryThatIsNotPrivate) {
    const auto base = std::filesystem::temp_directory_path() / ("telvara-store-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(base / "elsewhere");
    ::setenv("XDG_RUNTIME_DIR", base.c_str(), 1);
    std::string error;

    // A link put in place of the directory would send the state file elsewhere.
    std::filesystem::create_directory_symlink(base / "elsewhere", base / "telvara");
    EXPECT_FALSE(sender::ToggleStore::open(error));
    std::filesystem::remove(base / "telvara");

    std::filesystem::create_directory(base / "telvara");
    ::chmod((base / "telvara").c_str(), 0777);
    EXPECT_FALSE(sender::ToggleStore::open(error));
    ::chmod((base / "telvara").c_str(), 0700);

    const auto store = sender::ToggleStore::open(error);
    ASSERT_TRUE(store) << error;
    EXPECT_EQ(store->load("../../etc/passwd"), 0);
    EXPECT_TRUE(store->save("../x", 1, error)) << error;
    EXPECT_EQ(store->load("../x"), 1);
    EXPECT_FALSE(std::filesystem::exists(base / "x"));

    ::unsetenv("XDG_RUNTIME_DIR");
    std::filesystem::remove_all(base);
}
