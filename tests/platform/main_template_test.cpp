// The main window's template 102: frame, control set per language, the
// control families' ids, kinds and styles, the generated ids, and the
// template built as a dialog.
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "platform/resources_styles.h"
#include "res/resource.h"
#include "tests/platform/ui_test.h"

namespace {

constexpr int kMainTemplate = 102;
constexpr uint16_t kLanguages[] = {LANG_ENGLISH_US, LANG_CHINESE_PRC};

// Style masks of the families (value = the bits under the mask that must be set).
constexpr uint32_t kButtonMask = BS_TYPEMASK | WS_VISIBLE | WS_DISABLED | WS_TABSTOP;
constexpr uint32_t kOwnerDrawn = BS_OWNERDRAW | WS_VISIBLE | WS_TABSTOP;
constexpr uint32_t kFieldMask = ES_CENTER | ES_RIGHT | ES_AUTOHSCROLL | ES_NUMBER | ES_MULTILINE | ES_READONLY |
                                WS_BORDER | WS_TABSTOP | WS_VISIBLE | WS_DISABLED;
constexpr uint32_t kField = ES_CENTER | ES_AUTOHSCROLL | WS_VISIBLE;
constexpr uint32_t kSliderMask = TBS_VERT | TBS_BOTH | TBS_NOTICKS | WS_VISIBLE;
constexpr uint32_t kSlider = kSliderMask;
constexpr uint32_t kComboMask = CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE | WS_VSCROLL;
constexpr uint32_t kCombo = CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | WS_VSCROLL;
constexpr uint32_t kShownMask = WS_VISIBLE | WS_DISABLED;

const DialogTemplate& MainTemplate(uint16_t lang)
{
    const DialogTemplate* t = FindDialogTemplate(kMainTemplate, lang);
    if (!t) throw std::runtime_error("template 102 missing");
    return *t;
}

// Controls of the CH11 and CH12 strips and matrix rows: a 10-output layout
// puts them past the right edge.
bool BeyondTenOutputs(const std::string& name)
{
    return name.find("CH11") != std::string::npos || name.find("CH12") != std::string::npos;
}

TEST(MainTemplateTest, FrameAndControlSetInBothLanguages)
{
    // Expected count per kind; 1233 is the graph's own window class.
    // clang-format off
    const std::map<std::string, int> expected = {
        {"EDIT", 120}, {"BUTTON", 338}, {"COMBOBOX", 4}, {"SLIDER", 44}, {"STATIC", 328}, {"SPECTRUMCLASS", 1},
    };
    // clang-format on
    const DialogTemplate& en = MainTemplate(LANG_ENGLISH_US);
    for (uint16_t lang : kLanguages) {
        SCOPED_TRACE(lang);
        const DialogTemplate& t = MainTemplate(lang);
        EXPECT_EQ(t.language, lang);
        EXPECT_EQ(t.name, "IDD_TARVEL_DIALOG");
        EXPECT_EQ(t.cx, 727);
        EXPECT_EQ(t.cy, 386);
        EXPECT_EQ(t.style, WS_POPUP | WS_VISIBLE | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS);  // no caption, no border
        EXPECT_EQ(t.exStyle, WS_EX_APPWINDOW);
        EXPECT_TRUE(t.caption.empty());
        EXPECT_EQ(t.fontFace, L"MS Shell Dlg");
        EXPECT_EQ(t.fontPointSize, 9);

        std::map<std::string, int> counts;
        std::set<int> ids;
        for (const DialogControl& c : t.controls) {
            ++counts[c.kind];
            if (c.id != -1) {
                EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id " << c.id;
            }
        }
        EXPECT_EQ(counts, expected);

        // The same controls, in the same order, with the same styles and places.
        ASSERT_EQ(t.controls.size(), en.controls.size());
        for (size_t i = 0; i < t.controls.size(); ++i) {
            const DialogControl& a = t.controls[i];
            const DialogControl& b = en.controls[i];
            EXPECT_EQ(std::tie(a.id, a.name, a.kind, a.style, a.x, a.y, a.cx, a.cy),
                      std::tie(b.id, b.name, b.kind, b.style, b.x, b.y, b.cx, b.cy))
                << a.name;
        }
    }
}

TEST(MainTemplateTest, FamiliesHaveTheirIdsKindsAndStyles)
{
    struct Row {
        int id;
        const char* name;
        const char* kind;
        uint32_t mask;
        uint32_t value;
    };
    // clang-format off
    const Row rows[] = {
        // Channel strips.
        {1008, "IDC_SELECT_CH1", "BUTTON", kButtonMask, kOwnerDrawn},
        {1469, "IDC_SELECT_CH12", "BUTTON", kButtonMask, kOwnerDrawn},
        {1040, "IDC_PHASE_CH6", "BUTTON", kButtonMask, kOwnerDrawn},
        {1481, "IDC_PHASE_CH12", "BUTTON", kButtonMask, kOwnerDrawn},
        {1283, "IDC_MUTE_CH7", "BUTTON", kButtonMask, kOwnerDrawn},
        {1285, "IDC_DELAY_UNIT_CH4", "BUTTON", kButtonMask, kOwnerDrawn},
        {1290, "IDC_LINK_CH5", "BUTTON", kButtonMask, kOwnerDrawn},
        {1732, "IDC_CURVE_CH9", "BUTTON", kButtonMask, kOwnerDrawn},
        {1007, "IDC_DELAY_CH5", "EDIT", kFieldMask, kField},
        {1006, "IDC_DELAY_CH6", "EDIT", kFieldMask, kField},
        {1250, "IDC_DELAY_CH12", "EDIT", kFieldMask, kField},
        {1245, "IDC_GAIN_CH12", "EDIT", kFieldMask, kField},
        {1192, "IDC_GAIN_SLIDER_CH1", "SLIDER", kSliderMask, kSlider},
        {1053, "IDC_GAIN_SLIDER_CH9", "SLIDER", kSliderMask, kSlider},
        {1789, "IDC_GAIN_SCALE_CH7_0DB", "STATIC", kShownMask, WS_VISIBLE},
        {1806, "IDC_GAIN_SCALE_CH12_OFF", "STATIC", kShownMask, WS_VISIBLE},
        {1461, "IDC_DELAY_LABEL_CH7", "STATIC", kShownMask, 0},  // only CH1's caption shows
        // Bands.
        {1083, "IDC_FRE_BAND20", "EDIT", kFieldMask, kField},
        {1087, "IDC_FRE_BAND21", "EDIT", kFieldMask, kField},
        {1143, "IDC_Q_BAND30", "EDIT", kFieldMask, kField},
        {1152, "IDC_Q_BAND31", "EDIT", kFieldMask, kField},
        {1153, "IDC_Q_BAND23", "EDIT", kFieldMask, kField},
        {1128, "IDC_FREQGAIN_BAND31", "EDIT", kFieldMask, kField},
        {1213, "IDC_FREQGAIN_SLIDER_BAND11", "SLIDER", kSliderMask, kSlider},
        {1229, "IDC_FREQGAIN_SLIDER_BAND27", "SLIDER", kSliderMask, kSlider},
        {1160, "IDC_BYPASS_BAND1", "BUTTON", kButtonMask, kOwnerDrawn},
        {1190, "IDC_BYPASS_BAND31", "BUTTON", kButtonMask, kOwnerDrawn},
        // Routing matrix and its captions.
        {1299, "IDC_ROUTE_CH1_IN1", "BUTTON", kButtonMask, kOwnerDrawn},
        {1310, "IDC_ROUTE_CH1_IN11", "BUTTON", kButtonMask, kOwnerDrawn},
        {1850, "IDC_ROUTE_CH2_IN18", "BUTTON", kButtonMask, kOwnerDrawn},
        {1770, "IDC_ROUTE_CH1_IN16", "BUTTON", kButtonMask, kOwnerDrawn},
        {1892, "IDC_ROUTE_CH12_IN18", "BUTTON", kButtonMask, kOwnerDrawn},
        {1751, "IDC_ROUTE_LABEL_CH1_IN18", "STATIC", kShownMask, WS_VISIBLE},
        {1815, "IDC_ROUTE_LABEL_CH1_IN15", "STATIC", kShownMask, WS_VISIBLE},
        // Bridge buttons start hidden and disabled.
        {1309, "IDC_BTL12", "BUTTON", kButtonMask, BS_OWNERDRAW | WS_DISABLED | WS_TABSTOP},
        {1535, "IDC_BTL1112", "BUTTON", kButtonMask, BS_OWNERDRAW | WS_DISABLED | WS_TABSTOP},
        // Crossover, master volume, frame, labels.
        {1051, "IDC_HP_FREQ", "EDIT", kFieldMask, kField},
        {1052, "IDC_LP_FREQ", "EDIT", kFieldMask, kField},
        {1054, "IDC_HP_TYPE", "COMBOBOX", kComboMask, kCombo},
        {1057, "IDC_LP_SLOPE", "COMBOBOX", kComboMask, kCombo},
        {1059, "IDC_SYSTEM_VOL", "EDIT", kFieldMask, kField},
        {1200, "IDC_SYSTEM_VOL_SLIDER", "SLIDER", kSliderMask, kSlider},
        {1060, "IDC_SYS_MUTE", "BUTTON", kButtonMask, kOwnerDrawn},
        {1235, "IDC_PEQ_MODE", "BUTTON", kButtonMask, kOwnerDrawn},
        {1411, "IDC_DELAY_CALE", "BUTTON", kButtonMask, kOwnerDrawn},
        {1267, "IDC_MINIMIZE", "BUTTON", kButtonMask, kOwnerDrawn},
        {1268, "IDC_CLOSE", "BUTTON", kButtonMask, kOwnerDrawn},
        {1276, "IDC_VERSION", "STATIC", kShownMask, WS_VISIBLE},
        {1260, "IDC_CURRENT_MODE_LABEL", "STATIC", kShownMask, WS_VISIBLE},
        {1266, "IDC_USB_PIC", "STATIC", kShownMask, WS_VISIBLE},
        {1233, "IDC_SPECTRUM", "SPECTRUMCLASS", kShownMask, WS_VISIBLE},
    };
    // clang-format on
    for (uint16_t lang : kLanguages) {
        const DialogTemplate& t = MainTemplate(lang);
        for (const Row& r : rows) {
            SCOPED_TRACE(r.name);
            const DialogControl* c = t.FindControl(r.id);
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(c->name, r.name);
            EXPECT_EQ(c->kind, r.kind);
            EXPECT_EQ(c->style & WS_CHILD, WS_CHILD);
            EXPECT_EQ(c->style & r.mask, r.value);
        }
    }

    // Texts the window relies on before its code rewrites them.
    struct Text {
        int id;
        const wchar_t* english;
        const wchar_t* chinese;
    };
    // clang-format off
    const Text texts[] = {
        {1412, L"频率", L"频率"},  // the default-button id and initial focus holder
        {1035, L"  0°", L"正相"},
        {1041, L"非静音", L"非静音"},
        {1235, L"PEQ", L"参数均衡"},
        {1552, L" Hi.1", L"高电平1"},
        {1299, L"", L""},
    };
    // clang-format on
    for (const Text& x : texts) {
        const DialogControl* en = MainTemplate(LANG_ENGLISH_US).FindControl(x.id);
        const DialogControl* zh = MainTemplate(LANG_CHINESE_PRC).FindControl(x.id);
        ASSERT_TRUE(en && zh) << x.id;
        EXPECT_EQ(en->text, x.english) << x.id;
        EXPECT_EQ(zh->text, x.chinese) << x.id;
    }
}

TEST(MainTemplateTest, OnlyTheFirstRowOfCaptionsAndTheFirstDelayCaptionShow)
{
    const DialogTemplate& t = MainTemplate(LANG_ENGLISH_US);
    int routeButtons = 0, shownCaptions = 0, hiddenCaptions = 0, shownDelayCaptions = 0;
    for (const DialogControl& c : t.controls) {
        const bool shown = (c.style & WS_VISIBLE) != 0;
        if (c.name.starts_with("IDC_ROUTE_CH")) {
            ++routeButtons;
            EXPECT_TRUE(shown && c.text.empty()) << c.name;
        } else if (c.name.starts_with("IDC_ROUTE_LABEL_CH1_")) {
            shownCaptions += shown;
        } else if (c.name.starts_with("IDC_ROUTE_LABEL_CH")) {
            hiddenCaptions += !shown;
        } else if (c.name.starts_with("IDC_DELAY_LABEL_CH")) {
            shownDelayCaptions += shown;
        }
    }
    EXPECT_EQ(routeButtons, 216);
    EXPECT_EQ(shownCaptions, 18);
    EXPECT_EQ(hiddenCaptions, 198);
    EXPECT_EQ(shownDelayCaptions, 1);
}

TEST(MainTemplateTest, ShownControlsStayInsideTheFrameAndApart)
{
    const DialogTemplate& t = MainTemplate(LANG_CHINESE_PRC);
    std::vector<const DialogControl*> shown;
    for (const DialogControl& c : t.controls) {
        if (!(c.style & WS_VISIBLE)) continue;
        if (!BeyondTenOutputs(c.name)) {
            EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.x + c.cx <= t.cx && c.y + c.cy <= t.cy) << c.name;
        }
        // A combo box's height is that of its dropped list.
        if (c.kind != "COMBOBOX") shown.push_back(&c);
    }
    for (size_t i = 0; i < shown.size(); ++i) {
        for (size_t j = i + 1; j < shown.size(); ++j) {
            const DialogControl& a = *shown[i];
            const DialogControl& b = *shown[j];
            const bool overlap = a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
            EXPECT_FALSE(overlap) << a.name << " and " << b.name;
        }
    }
}

TEST(MainTemplateTest, EveryControlNameIsAGeneratedId)
{
    static_assert(IDD_TARVEL_DIALOG == 102);
    static_assert(IDC_FREQ_CAPTION == 1412 && IDC_SPECTRUM == 1233 && IDC_VERSION == 1276);
    static_assert(IDC_ROUTE_CH2_IN18 == 1850 && IDC_DELAY_CH5 == 1007 && IDC_FREQGAIN_SLIDER_BAND11 == 1213);
    std::map<std::string, int> symbols;
    for (const ResSymbol& s : ResourceSymbols()) symbols[s.name] = s.value;
    for (const DialogControl& c : MainTemplate(LANG_ENGLISH_US).controls) {
        const auto it = symbols.find(c.name);
        ASSERT_NE(it, symbols.end()) << c.name;
        EXPECT_EQ(it->second, c.id) << c.name;
    }
}

// The template built as a modal dialog: every control exists with its class
// and the client area is the template's size in pixels.
constexpr UINT WM_END_CHECK = WM_USER + 61;

class MainTemplateDlg : public CDialogEx {
public:
    MainTemplateDlg() : CDialogEx(static_cast<UINT>(kMainTemplate)) {}
    std::function<void(MainTemplateDlg&)> check;
    BOOL OnInitDialog() override
    {
        CDialogEx::OnInitDialog();
        if (check) check(*this);
        PostMessage(WM_END_CHECK);
        return TRUE;
    }
    afx_msg LRESULT OnEndCheck(WPARAM, LPARAM)
    {
        EndDialog(IDOK);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MainTemplateDlg, CDialogEx)
    ON_MESSAGE(WM_END_CHECK, &MainTemplateDlg::OnEndCheck)
END_MESSAGE_MAP()

class MainTemplateDialogTest : public UiTest {
protected:
    void TearDown() override
    {
        g_languageId = m_savedLanguage;
        UiTest::TearDown();
    }
    uint16_t m_savedLanguage = g_languageId;
};

TEST_F(MainTemplateDialogTest, OpensWithEveryControl)
{
    for (uint16_t lang : kLanguages) {
        SCOPED_TRACE(lang);
        g_languageId = lang;
        const DialogTemplate& t = MainTemplate(lang);
        MainTemplateDlg dlg;
        bool checked = false;
        dlg.check = [&](MainTemplateDlg& d) {
            checked = true;
            const DialogBaseUnits bu = d.GetBaseUnits();
            CRect client;
            d.GetClientRect(&client);
            EXPECT_EQ(client.Width(), DluToPixelsX(727, bu));
            EXPECT_EQ(client.Height(), DluToPixelsY(386, bu));
            for (const DialogControl& c : t.controls) {
                CWnd* item = d.GetDlgItem(c.id);
                ASSERT_NE(item, nullptr) << c.name;
                bool classOk = true;
                if (c.kind == "EDIT") classOk = dynamic_cast<CEdit*>(item) != nullptr;
                if (c.kind == "BUTTON") classOk = dynamic_cast<CButton*>(item) != nullptr;
                if (c.kind == "STATIC") classOk = dynamic_cast<CStatic*>(item) != nullptr;
                if (c.kind == "COMBOBOX") classOk = dynamic_cast<CComboBox*>(item) != nullptr;
                if (c.kind == "SLIDER") classOk = dynamic_cast<CSliderCtrl*>(item) != nullptr;
                EXPECT_TRUE(classOk) << c.name;
                EXPECT_EQ(item->GetStyle() & WS_VISIBLE, c.style & WS_VISIBLE) << c.name;
            }
            // The graph's window is a plain one that its class paints itself.
            CWnd* graph = d.GetDlgItem(IDC_SPECTRUM);
            ASSERT_NE(graph, nullptr);
            EXPECT_EQ(dynamic_cast<CStatic*>(graph), nullptr);
            EXPECT_EQ(dynamic_cast<CEdit*>(graph), nullptr);
            EXPECT_EQ(d.GetDlgItem(IDC_FREQ_CAPTION)->GetWindowTextString(), L"频率");
        };
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_TRUE(checked);
    }
}

}  // namespace

// Leak checks under AddressSanitizer: fontconfig keeps the patterns of the
// CJK font fallback (the template's Chinese texts) for the life of the
// process and never frees them.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
