// orx-render's command line, case by case: what each argument list asks for, or the
// usage error it gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Options.h"

namespace orx::render {
namespace {

struct Case {
    std::vector<std::string> args;
    Parsed parsed;
    std::string errorPart;  // for a usage error: a part of the message
};

TEST(RenderOptions, ArgumentTable) {
    const std::vector<Case> cases = {
        {{"m3d.gl", "o.bmp"}, Parsed::Run, ""},
        {{"m3d.gl", "o.JPEG"}, Parsed::Run, ""},
        {{"m3d.gl", "o.png", "--thumbnail", "64"}, Parsed::Run, ""},
        {{"m3d.gl", "o.png", "--help"}, Parsed::Help, ""},
        {{}, Parsed::UsageError, ""},
        {{"m3d.gl"}, Parsed::UsageError, "the picture file is missing"},
        {{"m3d.gl", "o.bmp", "x.bmp"}, Parsed::UsageError, "one model file and one picture"},
        {{"m3d.gl", "o.gif"}, Parsed::UsageError, "must end in .bmp, .jpg, .jpeg, .png, .glb or"},
        {{"m3d.gl", "o.HTML", "--mode", "3", "--angles", "1,2,3", "--origin", "0,0,-3"},
         Parsed::Run,
         ""},
        {{"m3d.gl", "o.html", "--size", "9x9"}, Parsed::UsageError, "not with an .html file"},
        {{"m3d.gl", "o.glb", "--angles", "1,2,3"}, Parsed::UsageError, "not with a .glb file"},
        {{"m3d.gl", "o.html", "--mode", "1"}, Parsed::UsageError, "takes mode 3 or 4"},
        {{"m3d.gl", "o.glb", "--coloured", "--mode", "3", "--part", "2"}, Parsed::Run, ""},
        {{"m3d.gl", "o.glb", "--size", "9x9"}, Parsed::UsageError, "--size: for pictures only"},
        {{"m3d.gl", "o.glb", "--mode", "2"}, Parsed::UsageError, "takes mode 3 or 4"},
        {{"m3d.gl", "dir.jpeg/o"}, Parsed::UsageError, "must end in"},
        {{"m3d.gl", "o.bmp", "--size"}, Parsed::UsageError, "--size: a value is missing"},
        {{"m3d.gl", "o.bmp", "--size", "0x10"}, Parsed::UsageError, "--size: 0 is below 1"},
        {{"m3d.gl", "o.bmp", "--mode", "5"}, Parsed::UsageError, "--mode: 5 is above 4"},
        {{"m3d.gl", "o.bmp", "--part", "0"}, Parsed::UsageError, "--part: 0 is below 1"},
        {{"m3d.gl", "o.bmp", "--bogus"}, Parsed::UsageError, "--bogus: unknown option"},
        {{"m3d.gl", "o.jpg", "--thumbnail", "8"}, Parsed::UsageError, "must end in .png"},
        {{"m3d.gl", "o.png", "--thumbnail", "8", "--size", "9x9"},
         Parsed::UsageError,
         "not with --size"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& a : c.args) joined += " " + a;
        SCOPED_TRACE(joined);
        Request request;
        std::string error;
        EXPECT_EQ(ParseArguments(c.args, request, error), c.parsed);
        if (c.parsed == Parsed::UsageError) {
            EXPECT_NE(error.find(c.errorPart), std::string::npos) << error;
        }
        if (c.parsed == Parsed::Run) {
            EXPECT_EQ(request.model, c.args[0]);
            EXPECT_EQ(request.output, c.args[1]);
        }
    }
}

TEST(RenderOptions, ValuesReachTheRequest) {
    Request r;
    std::string error;
    ASSERT_EQ(ParseArguments(
                  {"--size", "64x48", "t2d.gl", "--mode", "3", "--light", "--part", "2", "o.png",
                   "--texture", "7", "--background", "1,2,3", "--angles", "10,-20,30", "--walls"},
                  r, error),
              Parsed::Run)
        << error;
    EXPECT_EQ(r.width, 64);
    EXPECT_EQ(r.height, 48);
    EXPECT_EQ(r.view.mode, kModeSolid);
    EXPECT_TRUE(r.view.light);
    EXPECT_TRUE(r.view.walls);
    EXPECT_FALSE(r.view.axes);
    EXPECT_EQ(r.part, 2);
    EXPECT_EQ(r.view.textureNumber, 7);
    EXPECT_TRUE(r.view.textureFile.empty());
    EXPECT_EQ(r.view.background.b, 3);
    EXPECT_DOUBLE_EQ(r.view.angles[1], -20.0);
    EXPECT_TRUE(r.viewGiven);
    // Every option of the table is in the usage text.
    const std::string usage = Usage();
    for (const Option& o : Options()) EXPECT_NE(usage.find(o.name), std::string::npos) << o.name;
}

}  // namespace
}  // namespace orx::render
