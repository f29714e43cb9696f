// The viewer's picture and texture commands: save, print, the numbered textures and the
// load-texture dialog.
#include <GL/gl.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <tuple>

#include "ImageSupport.h"
#include "image/JpegFile.h"

namespace orx {
namespace {

const char* const kFilter =
    "Jpeg Files (*.jpg)|*.jpg|Windows Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||";
const char* const kSaveFilter =
    "Jpeg Files (*.jpg)|*.jpg|Windows Bitmap Files (*.bmp)|*.bmp|PNG (*.png)|*.png|"
    "All Files (*.*)|*.*||";

// The window shows one colour, 0xRRGGBB.
void Paint(uint32_t c) {
    glClearColor(float(c >> 16) / 255, float((c >> 8) & 0xFF) / 255, float(c & 0xFF) / 255, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

// A viewer on an 800 x 600 window with numbered textures 1 (red), 3 (black) and 5 (blue)
// in its program folder, following a one-block model; the window shows plain green.
class ImageCommandsTest : public test::ImageTest {
protected:
    void SetUp() override {
        ImageTest::SetUp();
        for (const auto& [n, colour] : {std::pair{1, 0xFA0A0Au}, {3, 0x000000u}, {5, 0x0A0AFAu}})
            ASSERT_TRUE(rig.WriteNumberedTexture(n, colour));
        rig.StartFollowing("block3d.gl");
        Paint(0x00FF00);
    }
    const CTexture& Texture() const { return Probe(*rig.dlg).m_texture; }
    int Shading() const { return Probe(*rig.dlg).m_nShading; }
    // A display option as the settings file holds it.
    int Stored(const char* key) const {
        return Probe(*rig.dlg).m_pProfile->ReadInt("common", key, 0);
    }
    int TimerActive() const { return Probe(*rig.dlg).m_bTimerActive; }
};

TEST_F(ImageCommandsTest, SaveTakesThePictureFromBeforeTheDialogWithTheTimerPaused) {
    rig.Key(vk::SPACE);
    int timerDuringDialog = -1;
    const double angleBefore = Probe(*rig.dlg).m_dAngle[1];
    platform.whileModal = [&] {
        timerDuringDialog = TimerActive();
        rig.Ticks(1);     // a tick that arrives while the dialog is open
        Paint(0xFFFFFF);  // the dialog covers the window
    };
    platform.saveFileAnswers.push_back(File("picture"));
    const int invalidations = platform.invalidations;
    rig.Key('S');
    platform.whileModal = nullptr;

    EXPECT_EQ(timerDuringDialog, 0);
    EXPECT_EQ(Probe(*rig.dlg).m_dAngle[1], angleBefore);
    EXPECT_EQ(TimerActive(), 1);
    rig.Ticks(1);
    EXPECT_NE(Probe(*rig.dlg).m_dAngle[1], angleBefore) << "turning goes on after the dialog";
    EXPECT_GT(platform.invalidations, invalidations);
    ASSERT_EQ(platform.saveDialogs.size(), 1u);
    const FileDialogSpec& dialog = platform.saveDialogs[0];
    EXPECT_EQ(std::tuple(dialog.defaultExt, dialog.initialName, dialog.filter),
              std::tuple("jpg", "*.jpg", kSaveFilter));

    // A name without extension is JPEG; the picture is green, not the dialog's white.
    ASSERT_EQ(test::ReadText(File("picture.jpg")).substr(0, 2), "\xFF\xD8");
    uint32_t w = 0, h = 0;
    std::unique_ptr<uint8_t[]> rgb(JpegFile::DecodeToRgb(File("picture.jpg"), w, h));
    ASSERT_TRUE(rgb);
    EXPECT_EQ(w, 800u);
    EXPECT_EQ(h, 600u);
    EXPECT_LT(rgb[0], 20);
    EXPECT_GT(rgb[1], 235);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ImageCommandsTest, SaveChoosesTheFormatByExtensionAndCancelWritesNothing) {
    // `head`: the file's first bytes; "" where nothing may be written.
    auto save = [&](const std::string& name, const std::string& head,
                    const std::vector<std::string>& messages) {
        SCOPED_TRACE(name);
        platform.messages.clear();
        platform.saveFileAnswers.push_back(File(name));
        rig.Key('S');
        EXPECT_EQ(test::ReadText(File(name)).substr(0, head.size()), head);
        EXPECT_EQ(std::filesystem::exists(File(name)), !head.empty());
        EXPECT_EQ(Texts(), messages);
        EXPECT_EQ(TimerActive(), 1);
    };
    save("shot.BMP", "BM", {});
    save("shot.png", std::string("\x89PNG\r\n\x1a\n", 8), {});
    save("shot.jpeg", "", {"Extension unusable from " + File("shot.jpeg")});
    EXPECT_EQ(std::filesystem::file_size(File("shot.BMP")), 54u + 800u * 600u * 4u);
    // The PNG header holds 800 x 600, as the command-line renderer writes it.
    EXPECT_EQ(test::ReadText(File("shot.png")).substr(16, 8),
              std::string("\0\0\x03\x20\0\0\x02\x58", 8));

    // Cancelled saves and prints write nothing and leave the timer running.
    platform.messages.clear();
    rig.Key('S');
    platform.printAnswers.push_back(nullptr);
    rig.Key('D');
    rig.Key('D');  // no scripted answer: cancel as well
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(TimerActive(), 1);
}

// The picture spans the printable width; its height follows the window's proportions in
// printer pixels that need not be square, and what lies below the page is cut off.
TEST(ImagePrintTest, PrintSpansThePrintableWidthInTheWindowsProportions) {
    const struct {
        int width, height;  // the window
        uint32_t colour;
        int horzRes, vertRes, dpiX, dpiY;
        int printedHeight;
    } rows[] = {
        {800, 600, 0x00FF00, 4800, 6000, 600, 600, 3600},
        {800, 600, 0x00FF00, 4800, 2000, 600, 300, 1800},
        // Height times resolution times printable width passes 32 bits on these; a page
        // strip of 50 rows is enough to see the top of the picture.
        {800, 600, 0x00FF00, 9600, 50, 1200, 1200, 7200},
        {800, 600, 0x00FF00, 9600, 50, 1200, 2400, 14400},
        {800, 600, 0x00FF00, 19200, 50, 2400, 2400, 14400},
        {100, 1000, 0x0000FF, 1000, 1200, 300, 300, 10000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.horzRes) + " x " + std::to_string(row.vertRes) + " at " +
                     std::to_string(row.dpiX) + "/" + std::to_string(row.dpiY));
        test::ViewerRig rig(row.width, row.height);
        rig.Start();
        const uint32_t c = row.colour;
        Paint(c);
        int timerDuringDialog = -1;
        rig.platform.whileModal = [&] {
            timerDuringDialog = Probe(*rig.dlg).m_bTimerActive;
            Paint(0xFF0000);  // the dialog covers the window
        };
        auto job = std::make_shared<MemoryPrintJob>(row.horzRes, row.vertRes, row.dpiX, row.dpiY);
        rig.platform.printAnswers.push_back(job);
        const int invalidations = rig.platform.invalidations;
        rig.Key('D');

        EXPECT_EQ(timerDuringDialog, 1);
        EXPECT_EQ(rig.platform.invalidations, invalidations);
        EXPECT_EQ(job->documentName, "test");
        EXPECT_EQ(job->calls,
                  (std::vector<std::string>{"StartDoc", "StartPage", "Draw", "EndPage", "EndDoc"}));
        EXPECT_EQ(job->page.lastDest, (Rect{0, 0, row.horzRes, row.printedHeight}));
        EXPECT_EQ(job->page.lastSrc, (Rect{0, 0, row.width, row.height}));
        // The window's colour from before the dialog, from the page's top left to the
        // picture's or the page's bottom right, and nothing below the picture.
        const int bottom = std::min(row.printedHeight, row.vertRes) - 1;
        EXPECT_EQ(job->page.PixelAt(0, 0), c);
        EXPECT_EQ(job->page.PixelAt(row.horzRes - 1, bottom), c);
        if (row.printedHeight < row.vertRes) {
            EXPECT_EQ(job->page.PixelAt(row.horzRes - 1, row.printedHeight), 0xFFFFFFu);
        }
    }
}

TEST_F(ImageCommandsTest, TextureKeyStoresAndLoadsTheNumberedFileInTexturedMode) {
    rig.Key(vk::F2);
    rig.Key('5');
    EXPECT_EQ(Shading(), 4);
    EXPECT_EQ(Stored("shading"), 4);
    EXPECT_EQ(Stored("TexturNr"), 5);
    EXPECT_EQ(Texture().fileName, rig.NumberedTexture(5));
    ASSERT_TRUE(Texture().HasImage());
    EXPECT_GT(Texture().pixels[2], 235);  // red, green, blue after the swap: blue
    EXPECT_TRUE(platform.messages.empty());

    // A stored number outside 1 to 9 starts with texture 1, and stores that.
    for (const char* stored : {"0", "10"}) {
        SCOPED_TRACE(stored);
        rig.Close();
        test::WriteText(File("orx-view.ini"), std::string("[common]\nTexturNr=") + stored);
        rig.Start();
        EXPECT_EQ(Stored("TexturNr"), 1);
        EXPECT_EQ(Texture().fileName, rig.NumberedTexture(1));
        ASSERT_TRUE(Texture().HasImage());
        EXPECT_GT(Texture().pixels[0], 235);
    }
    EXPECT_TRUE(platform.messages.empty());
}

// The demo's texture choice stores the number but leaves the mode it drew.
TEST_F(ImageCommandsTest, TextureForTheDemoKeepsTheMode) {
    rig.Key(vk::F1);
    rig.dlg->SelectTexture(7, false);  // textur7.jpg does not exist here
    EXPECT_EQ(Shading(), 1);
    EXPECT_EQ(Stored("TexturNr"), 1);  // the slideshow's choice is not stored
    EXPECT_FALSE(Texture().HasImage());
    EXPECT_EQ(Texts(),
              std::vector<std::string>{"JPEG :\nCan't open " + rig.NumberedTexture(7) + "\n"});
}

TEST_F(ImageCommandsTest, LoadTextureReadsTheFullPathAndKeepsSettings) {
    rig.Key('3');
    rig.Key(vk::F1);
    const std::string wood = File("elsewhere/wood.bmp");
    test::WriteBytes(wood, test::MakeBmp(test::Gradient(6, 4)));
    rig.LoadTexture(wood);

    ASSERT_EQ(platform.openDialogs.size(), 1u);
    const FileDialogSpec& dialog = platform.openDialogs[0];
    EXPECT_EQ(
        std::tuple(dialog.defaultExt, dialog.initialName, dialog.filter, dialog.overwritePrompt),
        std::tuple("*.jpg", "*.jpg", kFilter, true));
    EXPECT_EQ(Texture().fileName, wood);
    EXPECT_EQ(Texture().width, 6u);
    EXPECT_EQ(Shading(), 1);
    EXPECT_EQ(Stored("TexturNr"), 3);
    EXPECT_TRUE(platform.messages.empty());

    // Cancel keeps the texture; an unknown ending empties it with the reader's message.
    rig.Key('0');
    EXPECT_EQ(Texture().width, 6u);
    rig.LoadTexture(File("elsewhere/wood.png"));
    EXPECT_FALSE(Texture().HasImage());
    // The messages name the chosen file without its folder.
    rig.LoadTexture(File("elsewhere/gone.jpg"));
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "CTexture::ReadFile : invalid file redirection : wood.png\n",
                           "JPEG :\nCan't open gone.jpg\n"}));
}

}  // namespace
}  // namespace orx
