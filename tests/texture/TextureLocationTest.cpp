#include "texture/TextureLocation.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "TestImages.h"

namespace {

namespace fs = std::filesystem;

// A scratch tree: an installation under prefix/ (program in bin/, texture in
// share/zelk-tunnel/), a bare one under bare/, and two folders to start in,
// one with its own Demo.jpg. The test runs in each folder in turn.
class TextureLocation : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir_.Path("prefix/bin"));
        fs::create_directories(dir_.Path("prefix/share/zelk-tunnel"));
        fs::create_directories(dir_.Path("bare/bin"));
        fs::create_directories(dir_.Path("with-texture"));
        fs::create_directories(dir_.Path("empty"));
        WriteBytes(dir_.Path("prefix/share/zelk-tunnel/Demo.jpg"), {1});
        WriteBytes(dir_.Path("with-texture/Demo.jpg"), {1});
        previous_ = fs::current_path();
    }
    void TearDown() override { fs::current_path(previous_); }

    std::string Program(const char* prefix) const
    {
        return dir_.Path(std::string(prefix) + "/bin/zelk-tunnel");
    }

    TempDir dir_;
    fs::path previous_;
};

TEST_F(TextureLocation, InstalledCopyIsInTheDataFolderBesideTheProgramsFolder)
{
    EXPECT_EQ("/opt/zelk/share/zelk-tunnel/Demo.jpg",
              InstalledTexturePath("/opt/zelk/bin/zelk-tunnel", "Demo.jpg"));
    EXPECT_EQ("/usr/share/zelk-tunnel/Demo.jpg",
              InstalledTexturePath("/usr/bin/zelk-tunnel", "Demo.jpg"));
    EXPECT_EQ("", InstalledTexturePath("", "Demo.jpg"));
}

TEST_F(TextureLocation, CurrentFolderFirstThenTheInstallationThenTheNameAsGiven)
{
    fs::current_path(dir_.Path("with-texture"));
    EXPECT_EQ("Demo.jpg", TextureFileToLoad("Demo.jpg", Program("prefix")));

    fs::current_path(dir_.Path("empty"));
    EXPECT_EQ(fs::path(dir_.Path("prefix/share/zelk-tunnel/Demo.jpg")).lexically_normal().string(),
              TextureFileToLoad("Demo.jpg", Program("prefix")));
    // Nowhere: the name as given, so the loader fails and shows its checker as it always has.
    EXPECT_EQ("Demo.jpg", TextureFileToLoad("Demo.jpg", Program("bare")));
    EXPECT_EQ("Demo.jpg", TextureFileToLoad("Demo.jpg", ""));
}

TEST_F(TextureLocation, RunningExecutableIsThisTest)
{
    EXPECT_EQ("texture_location_tests", fs::path(RunningExecutable()).filename().string());
}

}  // namespace
