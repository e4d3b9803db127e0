// dialog_pictures <dir>: pictures of the popups for a look by eye,
// in both languages and at several DPI, saved as PNG files into dir. Run by
// scripts/screenshot-dialogs; not a test of the suite.
#include <cstdio>
#include <string>

#include <cstring>

#include "dialogs/dialogchinputvol.h"
#include "dialogs/dialogdelaycale.h"
#include "dialogs/dialogfile.h"
#include "dialogs/dialogfiltersetup.h"
#include "dialogs/dialoglogo.h"
#include "dialogs/dialogsetup.h"
#include "dialogs/importmodedsp.h"
#include "dialogs/inputaudiosource.h"
#include "dialogs/loadpercent.h"
#include "dialogs/savechannelname.h"
#include "dialogs/savemodetodsp.h"
#include "platform/app.h"
#include "tests/dialogs/dialog_fixture.h"

namespace {

using namespace dialogs_testing;

std::string g_dir;

class DialogPictures : public DialogTest {
protected:
    void Save(CDialog& dlg, const std::string& name)
    {
        platform_testing::PumpEvents();
        const std::string path = g_dir + "/" + name + ".png";
        EXPECT_TRUE(platform_testing::GrabWindowToPng(dlg.m_hWnd, path)) << path;
        std::printf("wrote %s\n", path.c_str());
    }
};

TEST_F(DialogPictures, SaveAll)
{
    for (uint16_t language : {LANG_ENGLISH_US, LANG_CHINESE_PRC}) {
        g_languageId = language;
        const std::string suffix = language == LANG_ENGLISH_US ? "_en" : "_zh";
        for (int dpi : {96, 144, 192}) {
            // The templates follow the screen, the fonts g_screenDpi: both as
            // the program has them on a screen of that DPI.
            SetScreenDpiForTests(dpi);
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
            PresetNameRecords names = {};
            std::memcpy(names[2], "\xC7\xB0\xD7\xF3 Club", 9);
            CImportModeDsp import(2, names);
            RunModal(import, [&] {
                Save(import, "importmodedsp" + tag);
                import.EndDialog(IDCANCEL);
            });
            CSaveModeToDsp save(2, names);
            RunModal(save, [&] {
                Save(save, "savemodetodsp" + tag);
                save.EndDialog(IDCANCEL);
            });
            CSaveChannelName channel(6, names[0]);
            RunModal(channel, [&] {
                Save(channel, "savechannelname" + tag);
                channel.EndDialog(IDCANCEL);
            });
            CInputAudioSource source(2, 1);
            RunModal(source, [&] {
                Save(source, "inputaudiosource" + tag);
                source.EndDialog(IDCANCEL);
            });
            CDialogSetup setup(12);
            RunModal(setup, [&] {
                Save(setup, "dialogsetup" + tag);
                setup.EndDialog(IDCANCEL);
            });
        }
        SetScreenDpiForTests(96);
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

// The mixer, the calculator and the crossover setup at buckets 0 and 4.
TEST_F(DialogPictures, MixerCalculatorAndCrossoverSetup)
{
    for (int dpi : {96, 192}) {
        for (uint16_t language : {LANG_ENGLISH_US, LANG_CHINESE_PRC}) {
            g_languageId = language;
            SetScreenDpiForTests(dpi);
            g_screenDpi = dpi;
            const std::string tag =
                std::string(language == LANG_ENGLISH_US ? "_en" : "_zh") + "_" + std::to_string(dpi);
            g_inputSource = 2;
            for (int model : {1, 2, 4, 5, 7, 8}) {
                g_deviceModel = model;
                g_inputMixVolume[0][0] = 12;
                g_inputMixVolume[1][0] = 60;
                CDialogChInputVol mixer(static_cast<UINT>(g_inputVolTemplateId[model]));
                RunModal(mixer, [&] {
                    Save(mixer, "mixer_m" + std::to_string(model) + tag);
                    mixer.EndDialog(IDCANCEL);
                });
            }
            g_inputSource = 1;
            g_deviceModel = 4;
            const int distances[12] = {424, 283};
            CDialogDelayCale calc;
            calc.SetStoredDistances(distances);
            RunModal(calc, [&] {
                Save(calc, "dialogdelaycale" + tag);
                calc.EndDialog(IDCANCEL);
            });
            g_selectedChannel = 0;
            g_hpFreq[0] = 80;
            g_lpFreq[0] = 20000;
            g_hpSlope[0] = 3;
            g_lpSlope[0] = kSlopeOff;
            CDialogFilterSetup filter;
            RunModal(filter, [&] {
                Save(filter, "dialogfiltersetup" + tag);
                filter.EndDialog(IDCANCEL);
            });
        }
    }
    g_inputMixVolume[0][0] = 0;
    g_inputMixVolume[1][0] = 0;
    SetScreenDpiForTests(0);
    g_screenDpi = 96;
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialog_pictures <dir>\n");
        return 2;
    }
    g_dir = argv[1];
    return RUN_ALL_TESTS();
}
