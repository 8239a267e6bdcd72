#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace vo::test
{
namespace
{
namespace fs = std::filesystem;

std::vector<char> bytesOf (const fs::path& file)
{
    std::ifstream in (file, std::ios::binary);
    return { std::istreambuf_iterator<char> (in), std::istreambuf_iterator<char>() };
}

// The committed pictures are what the generator makes from this source: a
// change to the renderer must come with refreshed images (scripts/refresh-artwork).
TEST (Generator, StillMakesExactlyTheCommittedImages)
{
    const auto out = fs::temp_directory_path() / ("zel-artwork-check-" + std::to_string (::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all (out);
    fs::create_directories (out);
    const auto resources = fs::path (ZEL_RESOURCE_DIR);
    const auto command = std::string (ZEL_ARTWORK_PATH) + " --fonts '" + (resources / "fonts").string() + "' --out '"
                         + out.string() + "' > /dev/null";
    ASSERT_EQ (std::system (command.c_str()), 0);

    auto compared = 0;
    for (const auto& made : fs::directory_iterator (out))
    {
        const auto committed = resources / "images" / made.path().filename();
        ASSERT_TRUE (fs::exists (committed)) << made.path().filename() << " is not committed";
        EXPECT_TRUE (bytesOf (made.path()) == bytesOf (committed)) << made.path().filename() << " differs";
        ++compared;
    }
    EXPECT_EQ (compared, 20);
    fs::remove_all (out);
}
} // namespace

} // namespace vo::test
