// String table, dialog templates, dialog units and the generated id header.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/gdi.h"
#include "platform/graphics.h"
#include "platform/resources.h"
#include "platform/resources_styles.h"
#include "res/resource.h"
#include "res/resource_symbols.h"

namespace {

class ResourcesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(gfx::Startup(), gfx::Ok); }
    void TearDown() override { g_languageId = m_savedLanguage; }
    uint16_t m_savedLanguage = g_languageId;
};

TEST_F(ResourcesTest, EmbeddedDataLoadsWithoutFaults)
{
    const auto errors = ResourceDataErrors();
    for (const auto& e : errors) ADD_FAILURE() << e;
}

TEST_F(ResourcesTest, StringsFollowTheLanguage)
{
    struct Row {
        int id;
        const wchar_t* english;
        const wchar_t* chinese;
    };
    // clang-format off
    const Row rows[] = {
        {IDS_MSG_CAPTION, L"Alert", L"提示"},
        {101, L"About", L"关于"},
        {111, L"   OFF", L"    关"},  // leading blanks kept
        {123, L"  0°", L"正相"},
        {124, L" 180°", L"反相"},
        {137, L"Text(*.txt)|*.txt|All(*.*)|*.*||", L"文本文件(*.txt)|*.txt|所有文件(*.*)|*.*||"},
        {147, L"Save failed! The \"system volume\" can not be set to silence.", L"保存不成功！“总音量”不能设置为静音"},
        {158, L"重启软件后生效(After restarting the software, it takes effect).",
         L"After restarting the software, it takes effect.(重启软件后生效)"},
        {238, L"Hi.9", L"高电平9"},
        {247, L"Sind Sie sicher das Sie die %s Einstellung von EQ und Filter nach %s kopieren?",
         L"确定要将%s的EQ和滤波器设置复制给%s吗？"},
    };
    // clang-format on
    for (const auto& r : rows) {
        EXPECT_EQ(LoadResString(r.id, LANG_ENGLISH_US), r.english) << r.id;
        EXPECT_EQ(LoadResString(r.id, LANG_CHINESE_PRC), r.chinese) << r.id;
    }
}

TEST_F(ResourcesTest, LanguageIdsChooseByPrimaryLanguage)
{
    // Every Chinese variant reads the Chinese table, everything else the English one.
    // clang-format off
    const std::pair<uint16_t, const wchar_t*> rows[] = {
        {0x0409, L"Alert"}, {0x0809, L"Alert"}, {0x0407, L"Alert"}, {0x0000, L"Alert"},
        {0x0804, L"提示"},  {0x0404, L"提示"},  {0x0C04, L"提示"},
    };
    // clang-format on
    for (const auto& [lang, text] : rows) {
        g_languageId = lang;
        EXPECT_EQ(LoadResString(IDS_MSG_CAPTION), text) << std::hex << lang;
    }
    EXPECT_EQ(LoadResString(9999, LANG_ENGLISH_US), L"");
}

TEST_F(ResourcesTest, StringTableFallsBackToTheOtherLanguage)
{
    StringTable t;
    std::vector<std::string> errors;
    ASSERT_TRUE(
        ParseStringTable("# comment\n"
                         "1\tIDS_A\tEnglish only\t\n"
                         "2\tIDS_B\t\t只有中文\r\n"
                         "3\tIDS_C\tTab\\there\\\\\tzwei\\nZeilen\n"
                         "0x10\tIDS_D\tHex\n",
                         &t, &errors));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(t.Load(1, LANG_CHINESE_PRC), L"English only");
    EXPECT_FALSE(t.Has(1, LANG_CHINESE_PRC));
    EXPECT_EQ(t.Load(2, LANG_ENGLISH_US), L"只有中文");
    EXPECT_TRUE(t.Has(2, LANG_CHINESE_PRC));
    EXPECT_EQ(t.Load(3, LANG_ENGLISH_US), L"Tab\there\\");
    EXPECT_EQ(t.Load(3, LANG_CHINESE_PRC), L"zwei\nZeilen");
    EXPECT_EQ(t.Load(16, LANG_CHINESE_PRC), L"Hex");
    EXPECT_EQ(t.Load(4, LANG_ENGLISH_US), L"");
}

TEST_F(ResourcesTest, StringTableReportsFaultyLinesAndKeepsTheRest)
{
    StringTable t;
    std::vector<std::string> errors;
    EXPECT_FALSE(
        ParseStringTable("1\tIDS_A\tOne\tEins\n"
                         "x\tIDS_B\tbad id\n"
                         "2\tIDS_C\n"
                         "1\tIDS_D\ttwice\n"
                         "3\tIDS_E\t\t\n"
                         "4\t9BAD\tname\n"
                         "5\tIDS_F\tFive\n",
                         &t, &errors));
    ASSERT_EQ(errors.size(), 5u);
    EXPECT_EQ(errors[0].rfind("line 2:", 0), 0u);
    EXPECT_NE(errors[2].find("twice"), std::string::npos);
    EXPECT_EQ(t.entries.size(), 2u);
    EXPECT_EQ(t.Load(1, LANG_ENGLISH_US), L"One");
    EXPECT_EQ(t.Load(5, LANG_ENGLISH_US), L"Five");
}

constexpr const char* kSmallDialog = R"(# a test template
dialog 700 IDD_TEST
style DS_SETFONT | WS_POPUP | WS_CAPTION
exstyle WS_EX_APPWINDOW
rect 0 0 120 60
font 8 MS Shell Dlg
font.zh 9 宋体
caption.en Test
caption.zh 测试

control 1 IDOK BUTTON
style BS_DEFPUSHBUTTON | WS_TABSTOP
rect 60 40 50 14
text.en OK
text.zh 确定

control 1001 IDC_NAME EDIT
style ES_AUTOHSCROLL | NOT WS_VISIBLE | 0x4
rect 10 10 40 12
rect.zh 12 10 44 12

control -1 IDC_STATIC STATIC
style SS_ICON
image 128
rect 4 4 20 20
text  180°
)";

TEST_F(ResourcesTest, TemplateParsesControlsPerLanguage)
{
    ParsedDialog d;
    std::string error;
    ASSERT_TRUE(ParseDialogText(kSmallDialog, &d, &error)) << error;
    ASSERT_TRUE(d.hasEnglish && d.hasChinese);

    const DialogTemplate& en = d.english;
    const DialogTemplate& zh = d.chinese;
    EXPECT_EQ(en.id, 700);
    EXPECT_EQ(en.name, "IDD_TEST");
    EXPECT_EQ(en.style, DS_SETFONT | WS_POPUP | WS_CAPTION);
    EXPECT_EQ(en.exStyle, WS_EX_APPWINDOW);
    EXPECT_EQ(en.language, LANG_ENGLISH_US);
    EXPECT_EQ(zh.language, LANG_CHINESE_PRC);
    EXPECT_EQ(en.caption, L"Test");
    EXPECT_EQ(zh.caption, L"测试");
    EXPECT_EQ(en.fontFace, L"MS Shell Dlg");
    EXPECT_EQ(en.fontPointSize, 8);
    EXPECT_EQ(zh.fontFace, L"宋体");
    EXPECT_EQ(zh.fontPointSize, 9);
    EXPECT_EQ(en.cx, 120);
    EXPECT_EQ(en.cy, 60);

    ASSERT_EQ(en.controls.size(), 3u);
    const DialogControl& ok = en.controls[0];
    EXPECT_EQ(ok.id, 1);
    EXPECT_EQ(ok.name, "IDOK");
    EXPECT_EQ(ok.kind, "BUTTON");
    EXPECT_EQ(ok.style, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP);
    EXPECT_EQ(ok.text, L"OK");
    EXPECT_EQ(zh.controls[0].text, L"确定");

    const DialogControl* edit = en.FindControl(1001);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->kind, "EDIT");
    EXPECT_EQ(edit->style, WS_CHILD | ES_AUTOHSCROLL | ES_MULTILINE);  // NOT removed the default WS_VISIBLE
    EXPECT_EQ(edit->x, 10);
    EXPECT_EQ(edit->cx, 40);
    EXPECT_EQ(zh.FindControl(1001)->x, 12);
    EXPECT_EQ(zh.FindControl(1001)->cx, 44);

    const DialogControl& icon = en.controls[2];
    EXPECT_EQ(icon.id, -1);
    EXPECT_EQ(icon.imageId, 128);
    EXPECT_EQ(icon.text, L" 180°");  // one separator, the rest kept
    EXPECT_EQ(en.FindControl(4242), nullptr);
}

TEST_F(ResourcesTest, TemplateFaultsNameTheLine)
{
    // clang-format off
    const std::pair<const char*, const char*> rows[] = {
        {"", "no dialog line"},
        {"control 1 IDOK BUTTON\n", "line 1: the file must start with a dialog line"},
        {"dialog 5 IDD_X\ndialog 6 IDD_Y\n", "line 2: a second dialog line"},
        {"dialog 5 IDD_X\nstyle WS_NOSUCH\n", "line 2: unknown style 'WS_NOSUCH'"},
        {"dialog 5 IDD_X\nrect 1 2 3\n", "line 2: expected: rect"},
        {"dialog 5 IDD_X\ncontrol 7 IDOK BUTTON\n", "line 2: IDOK must have the id 1"},
        {"dialog 5 IDD_X\ncontrol 7 IDC_A button\n", "line 2: bad control kind"},
        {"dialog 5 IDD_X\ntext hello\n", "line 2: text belongs to a control"},
        {"dialog 5 IDD_X\nrect.fr 1 2 3 4\n", "line 2: unknown language 'fr'"},
        {"dialog 5 IDD_X\nlanguages de\n", "line 2: unknown language 'de'"},
        {"dialog 5 IDD_X\nstyle.zh WS_POPUP\n", "line 2: 'style' has no language variants"},
        {"dialog 5 IDD_X\nfont 8\n", "line 2: expected: font"},
        {"dialog 5 IDD_X\nstyle WS_POPUP | NOT\n", "line 2: NOT without a style"},
        {"dialog 5 IDD_X\nwidth 3\n", "line 2: unknown keyword 'width'"},
    };
    // clang-format on
    for (const auto& [text, expected] : rows) {
        ParsedDialog d;
        std::string error;
        EXPECT_FALSE(ParseDialogText(text, &d, &error)) << text;
        EXPECT_EQ(error.rfind(expected, 0), 0u) << "got: " << error;
    }
}

TEST_F(ResourcesTest, EmbeddedTemplatesFollowTheLanguage)
{
    // The scene menu differs between its languages in geometry and texts.
    const DialogTemplate* en = FindDialogTemplate(IDD_FILE, LANG_ENGLISH_US);
    const DialogTemplate* zh = FindDialogTemplate(IDD_FILE, LANG_CHINESE_PRC);
    ASSERT_TRUE(en && zh);
    EXPECT_EQ(en->language, LANG_ENGLISH_US);
    EXPECT_EQ(zh->language, LANG_CHINESE_PRC);
    const DialogControl* load = en->FindControl(IDC_LOAD_FROM_DEVICE);
    ASSERT_NE(load, nullptr);
    EXPECT_EQ((std::vector<int>{load->x, load->y, load->cx, load->cy}), (std::vector<int>{34, 54, 90, 14}));
    const DialogControl* loadZh = zh->FindControl(IDC_LOAD_FROM_DEVICE);
    EXPECT_EQ((std::vector<int>{loadZh->x, loadZh->y, loadZh->cx, loadZh->cy}), (std::vector<int>{44, 54, 80, 14}));
    EXPECT_EQ(loadZh->text, L"加载 机器预置场景");
    EXPECT_EQ(en->FindControl(1)->style & WS_VISIBLE, 0u);  // the hidden default button
    EXPECT_EQ(en->FindControl(2)->style & BS_TYPEMASK, BS_OWNERDRAW);

    // The channel-name dialog's title is control 1763 in English, 1764 in Chinese.
    const DialogTemplate* nameEn = FindDialogTemplate(IDD_SAVE_CHANNEL_NAME, LANG_ENGLISH_US);
    const DialogTemplate* nameZh = FindDialogTemplate(IDD_SAVE_CHANNEL_NAME, LANG_CHINESE_PRC);
    ASSERT_TRUE(nameEn && nameZh);
    ASSERT_NE(nameEn->FindControl(1763), nullptr);
    EXPECT_EQ(nameEn->FindControl(1764), nullptr);
    EXPECT_EQ(nameEn->FindControl(1763)->text, L"Save Channel Name");
    EXPECT_EQ(nameZh->FindControl(1763), nullptr);
    ASSERT_NE(nameZh->FindControl(1764), nullptr);
    EXPECT_EQ(nameZh->FindControl(1764)->text, L"保存通道名称");
    EXPECT_EQ((std::vector<int>{nameZh->FindControl(1764)->x, nameZh->FindControl(1764)->y}),
              (std::vector<int>{10, 6}));

    // The model picker exists in Chinese only: English asks get it too.
    const DialogTemplate* logo = FindDialogTemplate(IDD_LOGO, LANG_ENGLISH_US);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->language, LANG_CHINESE_PRC);
    EXPECT_EQ(logo->FindControl(IDC_LOGO_ENTER)->text, L"进入");

    g_languageId = LANG_CHINESE_PRC;
    ASSERT_NE(FindDialogTemplate(IDD_ABOUTBOX), nullptr);
    EXPECT_EQ(FindDialogTemplate(IDD_ABOUTBOX)->caption, L"关于");
    g_languageId = LANG_ENGLISH_US;
    EXPECT_EQ(FindDialogTemplate(IDD_ABOUTBOX)->caption, L"About");
    EXPECT_EQ(FindDialogTemplate(IDD_LOAD_PERCENT)->FindControl(IDC_LOAD_PROGRESS)->kind, "PROGRESS");
    EXPECT_EQ(FindDialogTemplate(4321), nullptr);
}

TEST_F(ResourcesTest, DialogUnitsScaleByTheBaseUnits)
{
    struct Row {
        DialogBaseUnits units;
        int du;
        int px, py;
    };
    // clang-format off
    const Row rows[] = {
        {{6, 13}, 4, 6, 7},      // 6.5 rounds up
        {{6, 13}, 280, 420, 455},
        {{6, 13}, 1, 2, 2},      // 1.5 and 1.625
        {{7, 16}, 2, 4, 4},      // 3.5 rounds up
        {{7, 16}, 0, 0, 0},
        {{6, 13}, -4, -6, -7},   // symmetric around zero
    };
    // clang-format on
    for (const auto& r : rows) {
        EXPECT_EQ(DluToPixelsX(r.du, r.units), r.px) << r.du;
        EXPECT_EQ(DluToPixelsY(r.du, r.units), r.py) << r.du;
    }
}

TEST_F(ResourcesTest, BaseUnitsAreTheFontsLetterWidthAndHeight)
{
    const DialogTemplate* dlg = FindDialogTemplate(IDD_FILE, LANG_ENGLISH_US);
    ASSERT_NE(dlg, nullptr);
    const DialogBaseUnits u = GetDialogBaseUnits(*dlg, 96);

    // Measured with a drawing context on the same font: 8 points at 96 DPI.
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(nullptr, 8, 8));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bmp);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(80, L"MS Shell Dlg", &dc));
    dc.SelectObject(&font);
    const CSize letters = dc.GetTextExtent(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(u.x, (letters.cx / 26 + 1) / 2);
    EXPECT_EQ(u.y, letters.cy);
    EXPECT_GT(u.x, 3);
    EXPECT_GT(u.y, 8);

    const DialogBaseUnits big = GetDialogBaseUnits(L"MS Shell Dlg", 8, 192);
    EXPECT_NEAR(big.x, 2 * u.x, 1);
    EXPECT_NEAR(big.y, 2 * u.y, 2);
    EXPECT_GT(GetDialogBaseUnits(L"宋体", 9, 96).y, 0);
}

TEST_F(ResourcesTest, GeneratedIdHeaderAgreesWithTheData)
{
    std::map<std::string, int> header;
    for (const auto& s : kResourceSymbols) EXPECT_TRUE(header.emplace(s.name, s.value).second) << s.name;
    std::map<std::string, int> data;
    for (const auto& s : ResourceSymbols()) data.emplace(s.name, s.value);
    EXPECT_EQ(header, data);

    static_assert(IDS_MSG_CAPTION == 0xE000);
    static_assert(IDD_LOGO == 556 && IDC_LOAD_FROM_DEVICE == 1271 && IDM_ABOUTBOX == 0x10);
    for (int id : ResStringIds()) EXPECT_TRUE(HasResString(id, LANG_ENGLISH_US) || HasResString(id, LANG_CHINESE_PRC));
    for (int id : DialogTemplateIds()) EXPECT_NE(FindDialogTemplate(id), nullptr);
}

}  // namespace
