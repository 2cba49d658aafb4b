// Simulated devices and the texts that show them carry invented names: no
// catalogue-style model number (letters, digits, letters, digits, as real
// camera makers number their products) may appear in the default rig's device
// names, the README or docs/.
#include "camera_fixture.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace vexcam::test {
namespace {

const std::regex& modelNumber()
{
    static const std::regex pattern(R"(\b[A-Z]{2,4}[ /-]?[0-9]{2}[A-Z]{1,4}[0-9]{2,4}\b|\b[A-Z]{3}/USB)");
    return pattern;
}

bool looksLikeModelNumber(const std::string& text)
{
    return std::regex_search(text, modelNumber());
}

[[maybe_unused]] std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class InventedNamesTest : public orx::test::LeakCheckedTest {};

// The pattern itself: it must catch the shapes it is meant for and let the
// rig's own names and format texts through, or the checks below prove nothing.
TEST_F(InventedNamesTest, PatternTellsModelNumbersFromInventedNames)
{
    // Split so that a search of the sources for model numbers does not find these.
    for (const char* bad : {"XYZ 12" "AB345", "ABC-34" "CD5678", "QR12" "X99", "ABCD/56" "EF123", "ABC/" "USB2"})
        EXPECT_TRUE(looksLikeModelNumber(bad)) << bad;
    for (const char* good : {"ORX Colour 2448", "ORX Mono ROI 1280", "Y800 (640x480)", "NTSC_M:RGB24 (720x480)",
                             "ABC12XY3", "xyz 12AB345", "AB12CD34567"})
        EXPECT_FALSE(looksLikeModelNumber(good)) << good;
}

TEST_F(InventedNamesTest, DefaultRigDeviceNamesAreInvented)
{
    const Rig rig = defaultRig();
    ASSERT_FALSE(rig.devices.empty());
    for (const auto& device : rig.devices)
        EXPECT_FALSE(looksLikeModelNumber(device.name)) << device.name;
}

TEST_F(InventedNamesTest, ReadmeAndDocsNameNoModelNumbers)
{
#ifndef ORX_SOURCE_DIR
    GTEST_SKIP() << "the source tree is not reachable from this build";
#else
    const std::filesystem::path root(ORX_SOURCE_DIR);
    std::vector<std::filesystem::path> texts{root / "README.md"};
    for (const auto& entry : std::filesystem::directory_iterator(root / "docs"))
        if (entry.path().extension() == ".md") texts.push_back(entry.path());
    ASSERT_GT(texts.size(), 1u);
    for (const auto& path : texts) {
        const std::string text = readFile(path);
        ASSERT_FALSE(text.empty()) << path;
        std::smatch found;
        EXPECT_FALSE(std::regex_search(text, found, modelNumber())) << path << ": " << found.str();
    }
#endif
}

} // namespace
} // namespace vexcam::test
