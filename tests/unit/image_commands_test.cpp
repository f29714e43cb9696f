// The viewer's picture and texture commands: save, print, the numbered textures and the
// load-texture dialog.
#include <GL/gl.h>

#include <filesystem>
#include <memory>

#include "ImageSupport.h"
#include "ViewerProbe.h"
#include "app/ViewerDlg.h"
#include "image/JpegFile.h"

namespace orx {
namespace {

const char* const kFilter =
    "Jpeg Files (*.jpg)|*.jpg|Windows Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||";
const char* const kSaveFilter =
    "Jpeg Files (*.jpg)|*.jpg|Windows Bitmap Files (*.bmp)|*.bmp|PNG (*.png)|*.png|"
    "All Files (*.*)|*.*||";

// A viewer on an 800 x 600 headless window that shows plain green.
class ImageCommandsTest : public test::ImageTest {
protected:
    void SetUp() override {
        ImageTest::SetUp();
        ASSERT_TRUE(platform.SetupPixelFormat());
        ASSERT_TRUE(platform.CreateGLContext());
        rig.Construct();
        Probe(*dlg).m_strProgramDir = dir.path + "/";
        // A one-block model, so that every rebuild finds something to load.
        test::WriteText(File("block3d.gl"),
                        "header\n8,1,8, 0,0,0, 1,0,0, 1,1,0, 0,1,0, 0,0,1, 1,0,1, 1,1,1, 0,1,1\n");
        Probe(*dlg).m_strModelPath = File("block3d.gl");
        Paint(0, 1, 0);
    }
    void TearDown() override {
        dlg.reset();
        ImageTest::TearDown();
    }
    static void Paint(float r, float g, float b) {
        glClearColor(r, g, b, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    std::string Magic(const std::string& path) const { return test::ReadText(path).substr(0, 2); }
    // A numbered texture of one colour in the program folder.
    void MakeNumberedTexture(int n, uint8_t r, uint8_t g, uint8_t b) {
        std::filesystem::create_directories(dir.path + "/texturen");
        std::vector<uint8_t> rgb(8 * 8 * 3);
        for (size_t i = 0; i < rgb.size(); i += 3) rgb[i] = r, rgb[i + 1] = g, rgb[i + 2] = b;
        ASSERT_TRUE(
            JpegFile::EncodeFromRgb(dir.path + "/texturen/textur" + std::to_string(n) + ".jpg",
                                    rgb.data(), 8, 8, true, 100));
    }
    int StoredTexture() { return Probe(*dlg).m_pProfile->ReadInt("common", "TexturNr", 0); }
    int StoredShading() { return Probe(*dlg).m_pProfile->ReadInt("common", "shading", 0); }
};

TEST_F(ImageCommandsTest, SaveWithoutExtensionWritesJpegWithTheTimerPaused) {
    int timerDuringDialog = -1;
    const double angleBefore = Probe(*dlg).m_dAngle[1];
    platform.whileModal = [&] {
        timerDuringDialog = Probe(*dlg).m_bTimerActive;
        dlg->OnTimer(0);  // a tick that arrives while the dialog is open
        Paint(1, 1, 1);   // the dialog covers the window
    };
    platform.saveFileAnswers.push_back(File("picture"));
    const int invalidations = platform.invalidations;
    dlg->OnSavePicture();

    EXPECT_EQ(timerDuringDialog, 0);
    EXPECT_EQ(Probe(*dlg).m_dAngle[1], angleBefore);
    EXPECT_EQ(Probe(*dlg).m_bTimerActive, 1);
    EXPECT_GT(platform.invalidations, invalidations);
    ASSERT_EQ(platform.saveDialogs.size(), 1u);
    EXPECT_EQ(platform.saveDialogs[0].defaultExt, "jpg");
    EXPECT_EQ(platform.saveDialogs[0].initialName, "*.jpg");
    EXPECT_EQ(platform.saveDialogs[0].filter, kSaveFilter);

    // JPEG, and the picture from before the dialog: green, not the dialog's white.
    ASSERT_EQ(Magic(File("picture.jpg")), "\xFF\xD8");
    uint32_t w = 0, h = 0;
    std::unique_ptr<uint8_t[]> rgb(JpegFile::DecodeToRgb(File("picture.jpg"), w, h));
    ASSERT_TRUE(rgb);
    EXPECT_EQ(w, 800u);
    EXPECT_EQ(h, 600u);
    EXPECT_LT(rgb[0], 20);
    EXPECT_GT(rgb[1], 235);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ImageCommandsTest, SaveChoosesTheFormatByExtension) {
    platform.saveFileAnswers.push_back(File("shot.BMP"));
    dlg->OnSavePicture();
    EXPECT_EQ(Magic(File("shot.BMP")), "BM");
    EXPECT_EQ(std::filesystem::file_size(File("shot.BMP")), 54u + 800u * 600u * 4u);

    // PNG as the command-line renderer writes it: 800 x 600 in the header.
    platform.saveFileAnswers.push_back(File("shot.png"));
    dlg->OnSavePicture();
    const std::string png = test::ReadText(File("shot.png"));
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 4), "\x89PNG");
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x03\x20\0\0\x02\x58", 8));
    EXPECT_TRUE(platform.messages.empty());

    platform.saveFileAnswers.push_back(File("shot.jpeg"));
    dlg->OnSavePicture();
    EXPECT_FALSE(std::filesystem::exists(File("shot.jpeg")));
    EXPECT_EQ(Texts(), std::vector<std::string>{"Extension unusable from " + File("shot.jpeg")});
    EXPECT_EQ(Probe(*dlg).m_bTimerActive, 1);

    // Cancel writes nothing and still restarts the timer.
    platform.messages.clear();
    dlg->OnSavePicture();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(Probe(*dlg).m_bTimerActive, 1);
}

TEST_F(ImageCommandsTest, PrintSpansThePrintableWidth) {
    int timerDuringDialog = -1;
    platform.whileModal = [&] {
        timerDuringDialog = Probe(*dlg).m_bTimerActive;
        Paint(1, 0, 0);
    };
    auto job = std::make_shared<MemoryPrintJob>(4800, 6000, 600, 600);
    platform.printAnswers.push_back(job);
    const int invalidations = platform.invalidations;
    dlg->OnPrintPicture();

    EXPECT_EQ(timerDuringDialog, 1);
    EXPECT_EQ(platform.invalidations, invalidations);
    EXPECT_EQ(job->documentName, "test");
    EXPECT_EQ(job->calls,
              (std::vector<std::string>{"StartDoc", "StartPage", "Draw", "EndPage", "EndDoc"}));
    EXPECT_EQ(job->page.lastDest, (Rect{0, 0, 4800, 3600}));
    EXPECT_EQ(job->page.lastSrc, (Rect{0, 0, 800, 600}));
    // The window's green from before the dialog, at the page's top left, nothing below.
    EXPECT_EQ(job->page.PixelAt(0, 0), 0x00FF00u);
    EXPECT_EQ(job->page.PixelAt(4799, 3599), 0x00FF00u);
    EXPECT_EQ(job->page.PixelAt(0, 3600), 0xFFFFFFu);
}

TEST_F(ImageCommandsTest, PrintCorrectsNonSquarePrinterPixels) {
    auto job = std::make_shared<MemoryPrintJob>(4800, 2000, 600, 300);
    platform.printAnswers.push_back(job);
    dlg->OnPrintPicture();
    EXPECT_EQ(job->page.lastDest, (Rect{0, 0, 4800, 1800}));
    EXPECT_EQ(job->page.PixelAt(4799, 1799), 0x00FF00u);
    EXPECT_EQ(job->page.PixelAt(4799, 1800), 0xFFFFFFu);
}

TEST_F(ImageCommandsTest, HighResolutionPrintersKeepTheProportions) {
    // Height times resolution times printable width passes 32 bits on these printers.
    const struct {
        int horzRes, dpiX, dpiY, printedHeight;
    } printers[] = {
        {9600, 1200, 1200, 7200}, {9600, 1200, 2400, 14400}, {19200, 2400, 2400, 14400}};
    for (const auto& p : printers) {
        SCOPED_TRACE(p.horzRes);
        // A page strip of 50 rows is enough to see the top of the picture.
        auto job = std::make_shared<MemoryPrintJob>(p.horzRes, 50, p.dpiX, p.dpiY);
        platform.printAnswers.push_back(job);
        dlg->OnPrintPicture();
        EXPECT_EQ(job->page.lastDest, (Rect{0, 0, p.horzRes, p.printedHeight}));
        EXPECT_EQ(job->page.PixelAt(0, 0), 0x00FF00u);
        EXPECT_EQ(job->page.PixelAt(p.horzRes - 1, 49), 0x00FF00u);
    }
}

TEST_F(ImageCommandsTest, TallWindowIsCutOffAtThePageBottom) {
    dlg.reset();
    platform.Resize(100, 1000);
    rig.Construct();
    Paint(0, 0, 1);
    auto job = std::make_shared<MemoryPrintJob>(1000, 1200, 300, 300);
    platform.printAnswers.push_back(job);
    dlg->OnPrintPicture();
    EXPECT_EQ(job->page.lastDest, (Rect{0, 0, 1000, 10000}));
    EXPECT_EQ(job->page.PixelAt(999, 1199), 0x0000FFu);
    EXPECT_EQ(job->calls.back(), "EndDoc");
}

TEST_F(ImageCommandsTest, CancelledPrintDoesNothing) {
    platform.printAnswers.push_back(nullptr);
    dlg->OnPrintPicture();
    dlg->OnPrintPicture();  // no scripted answer: cancel as well
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(Probe(*dlg).m_bTimerActive, 1);
}

TEST_F(ImageCommandsTest, SelectTextureStoresAndLoadsTheNumberedFile) {
    MakeNumberedTexture(1, 250, 10, 10);
    MakeNumberedTexture(5, 10, 10, 250);
    Probe(*dlg).m_nShading = 2;

    dlg->SelectTexture(5, true);
    EXPECT_EQ(Probe(*dlg).m_nShading, 4);
    EXPECT_EQ(StoredShading(), 4);
    EXPECT_EQ(StoredTexture(), 5);
    EXPECT_EQ(Probe(*dlg).m_texture.fileName, dir.path + "/texturen/textur5.jpg");
    ASSERT_TRUE(Probe(*dlg).m_texture.HasImage());
    EXPECT_GT(Probe(*dlg).m_texture.pixels[2], 235);  // red, green, blue after the swap: blue
    for (int outOfRange : {0, 10}) {
        dlg->SelectTexture(outOfRange, true);
        EXPECT_EQ(StoredTexture(), 1);
        EXPECT_EQ(Probe(*dlg).m_texture.fileName, dir.path + "/texturen/textur1.jpg");
        ASSERT_TRUE(Probe(*dlg).m_texture.HasImage());
        EXPECT_GT(Probe(*dlg).m_texture.pixels[0], 235);
    }
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ImageCommandsTest, SelectTextureForTheDemoKeepsTheMode) {
    Probe(*dlg).m_nShading = 1;
    dlg->SelectTexture(7, false);  // textur7.jpg does not exist here
    EXPECT_EQ(Probe(*dlg).m_nShading, 1);
    EXPECT_EQ(StoredTexture(), 7);
    EXPECT_FALSE(Probe(*dlg).m_texture.HasImage());
    EXPECT_EQ(Texts(), std::vector<std::string>{"JPEG :\nCan't open " + dir.path +
                                                "/texturen/textur7.jpg\n"});
}

TEST_F(ImageCommandsTest, LoadTextureReadsTheFullPathAndKeepsSettings) {
    MakeNumberedTexture(3, 0, 0, 0);
    dlg->SelectTexture(3, false);
    Probe(*dlg).m_nShading = 0;
    std::filesystem::create_directories(dir.path + "/elsewhere");
    test::WriteBytes(File("elsewhere/wood.bmp"), test::MakeBmp(test::Gradient(6, 4)));
    platform.openFileAnswers.push_back(File("elsewhere/wood.bmp"));
    dlg->OnLoadTexture();

    ASSERT_EQ(platform.openDialogs.size(), 1u);
    EXPECT_EQ(platform.openDialogs[0].defaultExt, "*.jpg");
    EXPECT_EQ(platform.openDialogs[0].initialName, "*.jpg");
    EXPECT_EQ(platform.openDialogs[0].filter, kFilter);
    EXPECT_TRUE(platform.openDialogs[0].overwritePrompt);
    EXPECT_EQ(Probe(*dlg).m_texture.fileName, File("elsewhere/wood.bmp"));
    EXPECT_EQ(Probe(*dlg).m_texture.width, 6u);
    EXPECT_EQ(Probe(*dlg).m_nShading, 0);
    EXPECT_EQ(StoredTexture(), 3);
    EXPECT_TRUE(platform.messages.empty());

    // Cancel keeps the texture; an unknown ending empties it with the reader's message.
    dlg->OnLoadTexture();
    EXPECT_EQ(Probe(*dlg).m_texture.width, 6u);
    platform.openFileAnswers.push_back(File("elsewhere/wood.png"));
    dlg->OnLoadTexture();
    EXPECT_FALSE(Probe(*dlg).m_texture.HasImage());
    // The messages name the chosen file without its folder.
    platform.openFileAnswers.push_back(File("elsewhere/gone.jpg"));
    dlg->OnLoadTexture();
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "CTexture::ReadFile : invalid file redirection : wood.png\n",
                           "JPEG :\nCan't open gone.jpg\n"}));
}

}  // namespace
}  // namespace orx
