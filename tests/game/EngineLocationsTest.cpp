// Where the default engines are found: beside the program first, then in the package's
// engine folder of an installed program.
#include "game/EngineLocations.h"

#include "game/Game.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace qinglan {
namespace {

namespace fs = std::filesystem;

class EngineLocationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path()
            / ("qinglan-locations-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        bin = root / "usr/bin";
        packaged = root / "usr/lib/qinglan";
        fs::create_directories(bin);
    }
    void TearDown() override { fs::remove_all(root); }
    static void touch(const fs::path& path) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "#!/bin/sh\n";
    }

    fs::path root;
    fs::path bin, packaged;
};

TEST_F(EngineLocationsTest, PackageFolderIsBesideTheProgramsFolder) {
    EXPECT_EQ(packageEngineFolder("/usr/bin"), "/usr/lib/qinglan");
    EXPECT_EQ(packageEngineFolder("/opt/qinglan/bin/"), "/opt/qinglan/lib/qinglan");
}

TEST_F(EngineLocationsTest, BesideTheProgramComesFirstThenThePackageFolder) {
    // Nowhere: the path beside the program, which then fails to load as before.
    EXPECT_EQ(defaultEnginePath(bin, true), (bin / DEFAULT_MAIN_ENGINE).string());
    EXPECT_FALSE(isInstalledProgram(bin));

    touch(packaged / DEFAULT_MAIN_ENGINE);
    EXPECT_EQ(defaultEnginePath(bin, true), (packaged / DEFAULT_MAIN_ENGINE).string());
    EXPECT_EQ(defaultEnginePath(bin, false), (bin / DEFAULT_SECONDARY_ENGINE).string())
        << "each slot looks for its own name";
    EXPECT_TRUE(isInstalledProgram(bin));

    touch(bin / DEFAULT_MAIN_ENGINE);
    EXPECT_EQ(defaultEnginePath(bin, true), (bin / DEFAULT_MAIN_ENGINE).string());

    fs::create_directories(packaged / DEFAULT_SECONDARY_ENGINE);
    EXPECT_EQ(defaultEnginePath(bin, false), (bin / DEFAULT_SECONDARY_ENGINE).string())
        << "a folder is no engine";
    EXPECT_FALSE(isInstalledProgram(""));
}

} // namespace
} // namespace qinglan
