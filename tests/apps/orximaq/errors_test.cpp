#include "cli_fixture.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace orx::cli_test {
namespace {

struct BadInput {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> mentions;
};

void PrintTo(const BadInput& input, std::ostream* out)
{
    *out << input.name;
}

class BadInputTest : public CliTest, public ::testing::WithParamInterface<BadInput> {};

// Bad input gives one clear error line naming what is wrong, a non-zero exit,
// nothing on standard output and no files: no frame folder is left behind.
TEST_P(BadInputTest, OneErrorLineAndNothingWritten)
{
    const CliRun result = runSmall(GetParam().arguments);
    expectOneError(result, GetParam().mentions);
    EXPECT_EQ(filesIn(folder()), std::vector<std::string>{"small-rig.json"});
}

// With --json the same failures are one JSON document on standard output
// that names the failure and its kind; the error line and exit code stay.
TEST_P(BadInputTest, JsonErrorDocument)
{
    auto arguments = GetParam().arguments;
    if (arguments.front() == "demo")
        GTEST_SKIP() << "demo prints no JSON";
    arguments.push_back("--json");
    const CliRun result = runSmall(arguments);
    EXPECT_EQ(result.exitCode, 1) << result.transcript();
    ASSERT_EQ(result.errLines().size(), 1u) << result.transcript();
    const auto document = nlohmann::json::parse(result.out, nullptr, false);
    ASSERT_TRUE(document.is_object()) << result.transcript();
    ASSERT_EQ(document.size(), 1u) << result.transcript();
    const auto& error = document["error"];
    EXPECT_EQ("orximaq: error: " + error.value("message", std::string()), result.errLines()[0]);
    EXPECT_TRUE(error["kind"].is_string()) << result.transcript();
    EXPECT_NE(error.value("kind", std::string()), "error") << "a kind a script can act on: " << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, BadInputTest,
    ::testing::Values(
        BadInput{"UnknownDeviceId", {"acquire", "9", "1"}, {"9"}},
        BadInput{"UnknownDeviceName", {"acquire", "No Such Camera", "1"}, {"No Such Camera"}},
        BadInput{"UnknownFormat", {"acquire", "1", "Y800 (1x1)"}, {"Test Colour", "Y800 (1x1)"}},
        BadInput{"UnknownFormatId", {"acquire", "1", "7"}, {"7"}},
        BadInput{"ZeroFrames", {"acquire", "1", "1", "-n", "0"}, {"frame count", "0"}},
        BadInput{"NegativeFrames", {"acquire", "1", "1", "-n", "-2"}, {"frame count", "-2"}},
        BadInput{"FramesBeyondTheMaximum", {"acquire", "1", "1", "-n", "1000000001"}, {"at most 1000000000", "1000000001"}},
        BadInput{"FramesBeyondAnyNumber", {"acquire", "1", "1", "-n", "99999999999999999999"}, {"at most 1000000000"}},
        BadInput{"DemoFramesBeyondTheMaximum", {"demo", "-n", "5000000000"}, {"at most 1000000000"}},
        BadInput{"RegionBeyondSmallestRegion", {"acquire", "2", "Y800 (128x96)", "--roi", "127,95,1,1"},
                 {"--roi", "128x96", "X+W at most 128", "at least 16x4", "X may be at most 112", "Y at most 92"}},
        BadInput{"UnknownProperty", {"acquire", "1", "1", "--set", "Focus=3"}, {"Focus"}},
        BadInput{"OutOfRange", {"acquire", "1", "1", "--set", "Brightness=999"}, {"Brightness", "999"}},
        BadInput{"WrongType", {"acquire", "1", "1", "--set", "Brightness=0.5"}, {"Brightness", "0.5"}},
        BadInput{"NotANumber", {"acquire", "1", "1", "--set", "Exposure=bright"}, {"Exposure", "bright"}},
        BadInput{"NotAnEnumerationValue", {"acquire", "1", "1", "--set", "StrobeMode=Sometimes"},
                 {"StrobeMode", "Sometimes"}},
        BadInput{"ReadOnly", {"acquire", "1", "1", "--set", "SerialNo=1"}, {"SerialNo", "read-only"}},
        BadInput{"SettingWithoutValue", {"acquire", "1", "1", "--set", "Brightness"}, {"NAME=VALUE"}},
        BadInput{"RegionNotFourNumbers", {"acquire", "2", "Y800 (128x96)", "--roi", "1,2,3"}, {"--roi"}},
        BadInput{"RegionEmpty", {"acquire", "2", "Y800 (128x96)", "--roi", "0,0,0,10"}, {"--roi"}},
        BadInput{"RegionOutsideImage", {"acquire", "2", "Y800 (128x96)", "--roi", "100,90,64,40"}, {"--roi"}},
        BadInput{"PropertiesOfUnknownDevice", {"properties", "Nobody"}, {"Nobody"}},
        BadInput{"PropertiesWithBadSetting", {"properties", "1", "--set", "Brightness=-1"}, {"Brightness"}},
        BadInput{"DemoWithoutFrames", {"demo", "-n", "0"}, {"frame count"}}),
    [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

using ErrorTest = CliTest;

// An output folder that cannot be created is reported before anything is
// acquired.
TEST_F(ErrorTest, UnwritableOutputFolder)
{
    writeFile("blocker", "a file, not a folder");
    const CliRun result = runSmall({"acquire", "1", "1", "-n", "2", "-o", "blocker/frames"});
    expectOneError(result, {"output folder", "blocker/frames"});
}

// A rig that cannot be read or is malformed is one error naming the file and
// the place in it.
TEST_F(ErrorTest, MalformedRigs)
{
    const struct {
        const char* file;
        const char* text;
        const char* place;
    } rigs[] = {
        {"syntax.json", "{ \"devices\": [\n", "syntax.json:"},
        {"wrong-type.json", R"({"devices": [{"name": 3}]})", "/devices/0/name"},
        {"unknown-key.json", R"({"devices": [{"name": "A", "colour": true}]})", "/devices/0"},
        {"twice.json", "{\"devices\": [],\n \"devices\": [{\"name\": \"A\"}]}", "twice.json:2:10: at /devices: the key"},
        {"huge-number.json", R"({"devices": [{"name": "A", "serial": 1e999999}]})", "huge-number.json:1:"},
    };
    for (const auto& rig : rigs) {
        SCOPED_TRACE(rig.file);
        const auto path = writeFile(rig.file, rig.text);
        expectOneError(run({"--rig", path.string(), "devices"}), {rig.file, rig.place});
    }
    expectOneError(run({"--rig", "missing.json", "devices"}), {"missing.json"});
    expectOneError(run({"--rig", "", "devices"}), {"--rig", "empty"});
}

// A rig that is not a regular file, or is too large, is refused by kind
// before anything is read: no hang on a FIFO, no endless read of a device.
TEST_F(ErrorTest, RigsThatAreNotRegularFiles)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no FIFOs or /dev/zero";
#else
    const auto fifo = folder() / "pipe.json";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto huge = writeFile("huge.json", "{}");
    std::filesystem::resize_file(huge, 16u * 1024u * 1024u + 1u);
    const struct {
        std::string path;
        const char* kind;
    } rigs[] = {
        {"/dev/zero", "a character device"},
        {fifo.string(), "a FIFO"},
        {folder().string(), "a folder"},
        {huge.string(), "larger than 16777216 bytes"},
    };
    for (const auto& rig : rigs) {
        SCOPED_TRACE(rig.path);
        expectOneError(run({"--rig", rig.path, "devices"}), {"rig " + rig.path + ": ", rig.kind});
    }
#endif
}

// A module that is not there is named in the error.
TEST_F(ErrorTest, MissingAdaptorModule)
{
    const CliRun result = run({"--adaptor", "/nonexistent/ORXImaq.so", "devices"}, {.nameAdaptor = false});
    expectOneError(result, {"/nonexistent/ORXImaq.so"});
}

// Usage errors exit with 2 and one line.
TEST_F(ErrorTest, UsageErrors)
{
    const std::vector<std::vector<std::string>> usages{{}, {"frob"}, {"acquire", "1", "1", "-n", "many"},
                                                       {"acquire", "1"}};
    for (const auto& arguments : usages) {
        const CliRun result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << result.transcript();
        ASSERT_EQ(result.errLines().size(), 1u) << result.transcript();
        EXPECT_EQ(result.errLines()[0].rfind("orximaq: error: ", 0), 0u);
    }
    EXPECT_NE(run({"frob"}).err.find("unknown command \"frob\""), std::string::npos);
}

// --help describes every command and exits with success.
TEST_F(ErrorTest, HelpListsCommands)
{
    const CliRun result = run({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* command : {"devices", "properties", "acquire", "demo", "--rig", "--adaptor"})
        EXPECT_NE(result.out.find(command), std::string::npos) << command;
    EXPECT_EQ(result.out.find("--check-leaks"), std::string::npos);
}

} // namespace
} // namespace orx::cli_test
