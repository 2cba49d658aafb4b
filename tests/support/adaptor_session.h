// A fixture that runs the adaptor in-process inside a host session, with
// message boxes and warnings recorded.
#pragma once

#include "engine/orx_adaptor.h"
#include "imaqhost/testing/video_input_inspector.h"
#include "imaqhost/session.h"
#include "imaqhost/warnings.h"
#include "support/box_recorder.h"
#include "support/core_entry_points.h"
#include "support/rig_builders.h"
#include "vexcam/testing/camera_testing.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orx::test {

class AdaptorSessionTest : public RigTest {
protected:
    void SetUp() override
    {
        RigTest::SetUp();
        imaqhost::setWarningEcho(false);
        imaqhost::clearWarnings();
        vexcam::setFreeRunning(true);
    }
    void TearDown() override
    {
        input_.reset();
        session_.reset();
        vexcam::setFreeRunning(false);
        RigTest::TearDown();
    }
    imaqhost::Session& session()
    {
        if (!session_) session_.emplace(coreEntryPoints());
        return *session_;
    }
    // Opens the device in the format like the host does, by name or ID.
    imaqhost::VideoInput& open(const std::string& device, const std::string& format)
    {
        input_.reset();
        session().discover();
        input_ = session().open(imaqhost::parseRef(device), imaqhost::parseRef(format));
        return *input_;
    }
    // Opens from the last discovery, without discovering again.
    imaqhost::VideoInput& openDiscovered(const std::string& device, const std::string& format)
    {
        input_.reset();
        input_ = session().open(imaqhost::parseRef(device), imaqhost::parseRef(format));
        return *input_;
    }
    // Opens with a format name of our own, whether the catalogue offers it or not.
    imaqhost::VideoInput& openWithName(const std::string& device, const std::string& formatName)
    {
        input_.reset();
        session().discover();
        imaqhost::OpenOptions options;
        options.formatNameOverride = formatName;
        input_ = session().open(imaqhost::parseRef(device), imaqhost::FormatRef{std::int32_t{1}}, options);
        return *input_;
    }
    imaqhost::VideoInput& input() { return *input_; }
    void close() { input_.reset(); }
    orx::ORXadaptor& adaptor() { return dynamic_cast<orx::ORXadaptor&>(imaqhost::inspect(*input_).adaptor()); }
    static std::vector<std::string> warningTexts()
    {
        std::vector<std::string> texts;
        for (const auto& warning : imaqhost::warnings()) texts.push_back(warning.message);
        return texts;
    }

    BoxRecorder boxes_;

private:
    std::optional<imaqhost::Session> session_;
    std::unique_ptr<imaqhost::VideoInput> input_;
};

} // namespace orx::test
