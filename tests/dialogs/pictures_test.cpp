// Pictures of the three popups for a look by eye: saved as PNG into
// $TARVEL_SCREENSHOT_DIR when it is set, skipped otherwise.
#include <cstdlib>
#include <string>

#include "dialogs/dialogfile.h"
#include "dialogs/dialoglogo.h"
#include "dialogs/loadpercent.h"
#include "tests/dialogs/dialog_fixture.h"

namespace {

using namespace dialogs_testing;

class DialogPictures : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        const char* dir = std::getenv("TARVEL_SCREENSHOT_DIR");
        if (!dir || !*dir) GTEST_SKIP() << "TARVEL_SCREENSHOT_DIR not set";
        m_dir = dir;
    }
    void Save(CDialog& dlg, const std::string& name)
    {
        platform_testing::PumpEvents();
        EXPECT_TRUE(platform_testing::GrabWindowToPng(dlg.m_hWnd, m_dir + "/" + name + ".png"));
    }
    std::string m_dir;
};

TEST_F(DialogPictures, SaveAll)
{
    for (uint16_t language : {LANG_ENGLISH_US, LANG_CHINESE_PRC}) {
        g_languageId = language;
        const std::string suffix = language == LANG_ENGLISH_US ? "_en" : "_zh";
        for (int dpi : {96, 144}) {
            g_screenDpi = dpi;
            const std::string tag = suffix + "_" + std::to_string(dpi);
            CDialogFile file;
            RunModal(file, [&] {
                Save(file, "dialogfile" + tag);
                file.EndDialog(IDCANCEL);
            });
            CDialogLogo logo;
            RunModal(logo, [&] {
                Save(logo, "dialoglogo" + tag);
                logo.EndDialog(IDCANCEL);
            });
        }
        g_screenDpi = 96;
        g_progressPermille = 500;
        CLoadPercent progress;
        RunModal(progress, [&] {
            platform_testing::PumpUntil([&] { return progress.m_progress.GetPos() == 500; });
            Save(progress, "loadpercent" + suffix);
            g_progressPermille = 1000;
        });
    }
}

}  // namespace
