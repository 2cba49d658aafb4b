// Writes the fuzzer's seed inputs for the end-to-end rig fuzzer: the default
// rig and the reliability tests' reference rig, each whole and each device
// alone, in the fuzzer's rig encoding.
//   rig_seeds FOLDER
#include "rig_encoder.h"

#include "reliability/reference_rig.h"
#include "vexcam/vexcam.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

void writeSeed(const std::filesystem::path& path, const vexcam::Rig& rig)
{
    const auto bytes = orx::fuzz::encodeRig(rig);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

int writeSeeds(const std::filesystem::path& folder, const std::string& stem, const vexcam::Rig& rig)
{
    writeSeed(folder / (stem + "-whole"), rig);
    int written = 1;
    for (std::size_t i = 0; i < rig.devices.size(); ++i, ++written) {
        vexcam::Rig single;
        single.devices.push_back(rig.devices[i]);
        writeSeed(folder / (stem + "-device-" + std::to_string(i + 1)), single);
    }
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: rig_seeds FOLDER\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        int written = writeSeeds(folder, "default", vexcam::defaultRig());
        written += writeSeeds(folder, "reference", orx::test::referenceRig());
        std::cout << written << " seeds in " << folder.string() << "\n";
    } catch (const std::exception& error) {
        std::cerr << "rig_seeds: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
