// The main job (scripts/demo.sh) installs only what the program and the
// adaptor need to build: no test, benchmark, Octave, Aravis or GStreamer package.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {

const std::filesystem::path kRepository =
    std::filesystem::path(ORX_DECODE_FRAME).parent_path().parent_path().parent_path().parent_path();

#if !defined(_WIN32)
struct PipeCloser {
    void operator()(std::FILE* pipe) const { ::pclose(pipe); }
};

std::string packageList(const std::string& options)
{
    // scripts/test.sh asks for the fuzzers' and the Windows build's packages
    // through the environment; the lists here are those of a plain call.
    const std::string command = "env -u ORX_WITH_CLANG -u ORX_WITH_WINDOWS '" +
                                (kRepository / "scripts/install-deps.sh").string() + "' " + options + " --list";
    std::unique_ptr<std::FILE, PipeCloser> pipe(::popen(command.c_str(), "r"));
    std::string text;
    char buffer[256];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr)
        text += buffer;
    return text;
}
#endif

TEST(InstallDepsTest, MinimalListHoldsOnlyTheBuildOfTheProgram)
{
#if defined(_WIN32)
    GTEST_SKIP() << "runs a bash script of the build host";
#else
    const std::string minimal = packageList("--minimal");
    for (const char* needed : {"cmake\n", "ninja-build\n", "g++\n", "libcli11-dev\n", "libpng-dev\n", "libtiff-dev\n"})
        EXPECT_NE(minimal.find(needed), std::string::npos) << needed << " missing from:\n" << minimal;
    for (const char* unneeded : {"octave", "aravis", "gstreamer", "gtest", "gmock", "benchmark", "clang"})
        EXPECT_EQ(minimal.find(unneeded), std::string::npos) << unneeded << " in:\n" << minimal;
    const std::string full = packageList("");
    for (const char* all : {"octave", "libaravis-dev", "libgtest-dev"})
        EXPECT_NE(full.find(all), std::string::npos) << all;
#endif
}

TEST(InstallDepsTest, DemoAsksForTheMinimalSet)
{
    std::ifstream script(kRepository / "scripts/demo.sh");
    std::stringstream text;
    text << script.rdbuf();
    EXPECT_NE(text.str().find("scripts/install-deps.sh --minimal\n"), std::string::npos);
    EXPECT_EQ(text.str().find("scripts/install-deps.sh\n"), std::string::npos);
}

} // namespace
