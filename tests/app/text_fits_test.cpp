// Every visible control of every window (the main window for every device
// model, and each popup) lies inside its window, and its text, drawn in its
// font, fits its rectangle: at buckets 0 and 4, in English and Chinese.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/aboutdlg.h"
#include "app/control_ids.h"
#include "app/paint.h"
#include "dialogs/dialogchinputvol.h"
#include "dialogs/dialogdelaycale.h"
#include "dialogs/dialogfile.h"
#include "dialogs/dialogfiltersetup.h"
#include "dialogs/dialogsetup.h"
#include "dialogs/importmodedsp.h"
#include "dialogs/inputaudiosource.h"
#include "dialogs/loadpercent.h"
#include "dialogs/popuplook.h"
#include "dialogs/savechannelname.h"
#include "dialogs/savemodetodsp.h"
#include "model/codecs.h"
#include "model/params.h"
#include "platform/app.h"
#include "platform/fonts.h"
#include "platform/look.h"
#include "platform/resources.h"
#include "tests/app/main_window_fixture.h"

namespace {

std::string Narrow(const std::wstring& w)
{
    std::string out;
    for (wchar_t ch : w) {
        const auto c = static_cast<uint32_t>(ch);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// A font as the window's drawing creates it.
struct OwnFont {
    CFont font;
    OwnFont(int height, const wchar_t* face)
    {
        font.CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0x20, face);
    }
};

struct Fit {
    std::wstring text;
    CFont* font = nullptr;
    int spare = 0;       // pixels of the width the control keeps for itself
    bool wraps = false;  // a static that breaks its text into lines
};

class Walker {
public:
    explicit Walker(std::string where) : m_where(std::move(where)) {}

    // Checks one control: inside the window's client, each text within.
    void Check(CWnd& window, int id, const std::vector<Fit>& fits)
    {
        CWnd* item = window.GetDlgItem(id);
        if (!item || !item->IsWindowVisible()) return;
        CRect client, rc;
        window.GetClientRect(&client);
        item->GetWindowRect(&rc);
        window.ScreenToClient(&rc);
        if (rc.left < 0 || rc.top < 0 || rc.right > client.right || rc.bottom > client.bottom)
            Fault(id, "lies outside its window", rc);
        for (const Fit& f : fits) {
            if (f.text.empty() || !f.font) continue;
            LOGFONTW lf{};
            f.font->GetLogFont(&lf);
            const int em = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
            if (f.wraps) {
                // Lines of text, the last one counted by its font's em.
                const CSize lines = Wrapped(f.text, f.font, rc.Width());
                const int height = lines.cy - Wrapped(L"X", f.font, rc.Width()).cy + em;
                if (lines.cx > rc.Width() || height > rc.Height())
                    Fault(id,
                          "\"" + Narrow(f.text) + "\" takes " + std::to_string(lines.cx) + "x" +
                              std::to_string(lines.cy) + " px in lines",
                          rc);
                continue;
            }
            const CSize extent = Extent(f.text, f.font);
            if (extent.cx > rc.Width() - f.spare)
                Fault(id,
                      "\"" + Narrow(f.text) + "\" is " + std::to_string(extent.cx) + " px wide for " +
                          std::to_string(rc.Width() - f.spare),
                      rc);
            if (em > rc.Height()) Fault(id, "font of " + std::to_string(em) + " px in a control that high", rc);
        }
        ++m_checked;
    }

    int Checked() const { return m_checked; }
    const std::vector<std::string>& Faults() const { return m_faults; }

private:
    CSize Extent(const std::wstring& text, CFont* font)
    {
        CBitmap bmp;
        bmp.CreateCompatibleBitmap(nullptr, 4, 4);
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bmp);
        dc.SelectObject(font);
        return dc.GetTextExtent(text);
    }
    CSize Wrapped(const std::wstring& text, CFont* font, int width)
    {
        CBitmap bmp;
        bmp.CreateCompatibleBitmap(nullptr, 4, 4);
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bmp);
        dc.SelectObject(font);
        CRect r(0, 0, width, 0);
        dc.DrawText(text, &r, DT_CALCRECT | DT_WORDBREAK);
        return {r.Width(), r.Height()};
    }
    void Fault(int id, const std::string& what, const CRect& rc)
    {
        m_faults.push_back(m_where + ": control " + std::to_string(id) + " at " + std::to_string(rc.left) + "," +
                           std::to_string(rc.top) + " " + std::to_string(rc.Width()) + "x" +
                           std::to_string(rc.Height()) + " " + what);
    }

    std::string m_where;
    std::vector<std::string> m_faults;
    int m_checked = 0;
};

// The control's own font, else the one of its dialog's template.
CFont* FontOf(CDialog& window, CWnd* item)
{
    if (CFont* f = item ? item->GetFont() : nullptr) return f;
    if (CFont* f = window.GetFont()) return f;
    static auto& fonts = *new std::map<std::pair<std::wstring, int>, std::unique_ptr<CFont>>;  // kept to the end
    const DialogTemplate* t = window.GetTemplate();
    const int px = PointsToPixels(t->fontPointSize, g_screenDpi);
    auto& font = fonts[{t->fontFace, px}];
    if (!font) {
        font = std::make_unique<CFont>();
        font->CreateFont(-px, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, t->fontFace.c_str());
    }
    return font.get();
}

// A static that breaks its text into lines (left, centred, right).
bool Wraps(uint32_t style)
{
    const uint32_t type = style & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
}

// The widest texts each kind of entry field shows.
std::vector<std::wstring> FieldTexts(int id)
{
    if (IndexOfId(g_bandFreqEditId, kBands, id) >= 0 || id == IDC_HP_FREQ || id == IDC_LP_FREQ) return {L"20000"};
    if (IndexOfId(g_bandQEditId, kBands, id) >= 0) return {FormatDecimal(10.0, 2), FormatDecimal(0.1, 2)};
    if (IndexOfId(g_bandGainEditId, kBands, id) >= 0) return {L"-15.0", L"15.0"};
    const int gain = IndexOfId(g_gainEditId, kChannels, id);
    if (gain >= 0) {
        std::vector<std::wstring> out;
        const int saved = g_channelGain[gain];
        for (int v : {599, 600, 0}) {
            g_channelGain[gain] = v;
            std::wstring t;
            FormatChannelGain(t, gain);
            out.push_back(t);
        }
        g_channelGain[gain] = saved;
        return out;
    }
    if (IndexOfId(g_delayEditId, kChannels, id) >= 0) {
        std::wstring ms, cm;
        const int samples = kMaxDelaySamples;
        FormatDelay(&samples, ms, 0);
        FormatDelay(&samples, cm, 1);
        return {ms, cm};
    }
    if (id == IDC_SYSTEM_VOL) return {WholeDbText(60)};
    return {};
}

// The main window as it is laid out now.
void WalkMainWindow(CTarvelDlg& dlg, Walker& w)
{
    OwnFont button(ScaleForDpi(12), L"宋体"), channel(ScaleForDpi(16), L"黑体"), combo(ScaleForDpi(12), L"宋体");
    for (const DialogControl& c : dlg.GetTemplate()->controls) {
        CWnd* item = dlg.GetDlgItem(c.id);
        std::vector<Fit> fits;
        if (c.kind == "BUTTON") {
            const ButtonFace face = dlg.FaceOfButton(c.id, false);
            if (face.channel >= 0) fits.push_back({ChannelStrips::ChannelCaption(face.channel), &channel.font});
            else if (face.stringId) fits.push_back({LoadResString(face.stringId), &button.font});
            // Both captions of the GEQ/PEQ and 0°/180° buttons.
            if (c.id == IDC_PEQ_MODE) fits.push_back({LoadResString(IDS_MODE_GEQ), &button.font});
            if (IndexOfId(g_phaseButtonId, kChannels, c.id) >= 0)
                fits.push_back({LoadResString(IDS_PHASE_180), &button.font});
            if (IndexOfId(g_delayUnitButtonId, kChannels, c.id) >= 0)
                fits.push_back({LoadResString(IDS_DELAY_UNIT_CM), &button.font});
        } else if (c.kind == "COMBOBOX") {
            if (auto* box = dynamic_cast<CMyComboBox*>(item)) {
                for (const tagITEMLIST& it : box->Items()) fits.push_back({it.strText, &combo.font, 27});
            }
        } else if (c.kind == "EDIT") {
            for (const std::wstring& t : FieldTexts(c.id)) fits.push_back({t, FontOf(dlg, item), 2});
            if (item) fits.push_back({item->GetWindowTextString(), FontOf(dlg, item), 2});
        } else if (c.kind == "STATIC" && (c.style & SS_TYPEMASK) != SS_BITMAP && item) {
            fits.push_back({item->GetWindowTextString(), FontOf(dlg, item), 0, Wraps(c.style)});
        }
        w.Check(dlg, c.id, fits);
    }
}

// A popup of the shared look, or any other dialog; its selectors draw their
// items in comboFont (height before ScaleForDpi, face).
void WalkPopup(CDialog& dlg, Walker& w, std::pair<int, const wchar_t*> comboFont = {kPopupFontHeight, kPopupFontFace})
{
    OwnFont popupFont(ScaleForDpi(kPopupFontHeight), kPopupFontFace);
    OwnFont combo(ScaleForDpi(comboFont.first), comboFont.second);
    auto* popup = dynamic_cast<PopupDialog*>(&dlg);
    for (const DialogControl& c : dlg.GetTemplate()->controls) {
        CWnd* item = dlg.GetDlgItem(c.id);
        std::vector<Fit> fits;
        bool drawn = false;
        if (popup) {
            for (const PopupTextButton& b : popup->Look().textButtons) {
                if (b.controlId != c.id) continue;
                fits.push_back({LoadResString(b.stringId), &popupFont.font});
                drawn = true;
            }
        }
        if (auto* box = dynamic_cast<CMyComboBox*>(item)) {
            // Every item, as the face draws it: from x 5, the arrow's 22 px kept.
            for (const tagITEMLIST& it : box->Items()) fits.push_back({it.strText, &combo.font, 27});
            drawn = true;
        }
        // The mixer's cells at their widest values.
        if (dynamic_cast<CEditGain*>(item) && dynamic_cast<CDialogChInputVol*>(&dlg))
            for (int v : {60, 48}) fits.push_back({WholeDbText(v), FontOf(dlg, item), 2});
        const bool ownerDrawn = c.kind == "BUTTON" && (c.style & BS_TYPEMASK) == BS_OWNERDRAW;
        if (!drawn && !ownerDrawn && item && c.kind != "PROGRESS" && (c.style & SS_TYPEMASK) != SS_ICON)
            fits.push_back({item->GetWindowTextString(), FontOf(dlg, item), c.kind == "BUTTON" ? 6 : 0,
                            c.kind == "STATIC" && Wraps(c.style)});
        w.Check(dlg, c.id, fits);
    }
}

// Opens a popup from the script's thread, walks it, closes it.
void OpenAndWalk(
    Walker& w, const std::function<std::unique_ptr<CDialog>()>& make,
    const std::function<void(CDialog&)>& close = [](CDialog& d) { d.EndDialog(IDCANCEL); },
    std::pair<int, const wchar_t*> comboFont = {kPopupFontHeight, kPopupFontFace})
{
    auto slot = std::make_shared<CDialog*>(nullptr);
    PostToUi([slot, make] {
        std::unique_ptr<CDialog> popup = make();
        *slot = popup.get();
        popup->DoModal();
        *slot = nullptr;
    });
    ASSERT_TRUE(WaitOnUi([slot] {
        HWND top = platform_testing::TopModalDialog();
        return *slot && top == (*slot)->m_hWnd && (*slot)->IsWindowVisible();
    }));
    OnUi([&] { WalkPopup(**slot, w, comboFont); });
    OnUi([&] { close(**slot); });
    EXPECT_TRUE(WaitOnUi([slot] { return *slot == nullptr; }));
}

// Every popup of the main window.
void WalkPopups(Walker& w)
{
    static PresetNameRecords names{};
    static const char channelName[kNameRecordBytes] = {};
    OpenAndWalk(w, [] { return std::make_unique<CDialogFile>(); });
    OpenAndWalk(w, [] { return std::make_unique<CAboutDlg>(); });
    OpenAndWalk(w, [] { return std::make_unique<CImportModeDsp>(0, names); });
    OpenAndWalk(w, [] { return std::make_unique<CSaveModeToDsp>(0, names); });
    OpenAndWalk(w, [] { return std::make_unique<CInputAudioSource>(0, 0); });
    OpenAndWalk(w, [] { return std::make_unique<CSaveChannelName>(0, channelName); });
    OpenAndWalk(w, [] { return std::make_unique<CDialogSetup>(60); });
    OpenAndWalk(
        w, [] { return std::make_unique<CLoadPercent>(); }, [](CDialog&) { g_progressPermille = 1000; });
    g_progressPermille = 0;
    // The calculator with the longest distances, for each count of channels.
    static int distances[kDistanceChannels];
    std::fill(std::begin(distances), std::end(distances), kMaxDelaySamples);
    for (int model : {1, 8}) {
        OnUi([model] { g_deviceModel = model; });
        OpenAndWalk(w, [] {
            auto calc = std::make_unique<CDialogDelayCale>();
            calc->SetStoredDistances(distances);
            return calc;
        });
    }
    OpenAndWalk(
        w, [] { return std::make_unique<CDialogFilterSetup>(); }, [](CDialog& d) { d.EndDialog(IDCANCEL); },
        {12, L"黑体"});
}

// The mixer of every device model, its captions for two input sources.
void WalkMixers(const std::string& where, std::vector<std::string>& faults, int& checked)
{
    const int savedSource = g_inputSource.load();
    for (int model = 1; model <= 8; ++model) {
        for (int source : {1, 9}) {
            Walker w(where + ", mixer of model " + std::to_string(model) + ", source " + std::to_string(source));
            OnUi([&] {
                g_deviceModel = model;
                g_inputSource = source;
            });
            OpenAndWalk(w, [model] { return std::make_unique<CDialogChInputVol>(g_inputVolTemplateId[model]); });
            faults.insert(faults.end(), w.Faults().begin(), w.Faults().end());
            checked += w.Checked();
        }
    }
    OnUi([savedSource] { g_inputSource = savedSource; });
}

class TextFitsTest : public MainWindowTest {
protected:
    void TearDown() override
    {
        SetScreenDpiForTests(0);
        g_screenDpi = 96;
        MainWindowTest::TearDown();
    }
};

TEST_F(TextFitsTest, EveryControlOfEveryWindowInsideAndItsTextWhole)
{
    std::vector<std::string> faults;
    int checked = 0;
    for (int dpi : {96, 192}) {
        for (uint16_t language : {uint16_t(0x0409), uint16_t(0x0804)}) {
            SetScreenDpiForTests(dpi);
            g_languageId = language;
            const std::string where = std::to_string(dpi) + " dpi, " + (language == 0x0409 ? "English" : "Chinese");
            CTarvelDlg dlg;
            // The model picker first (it is up before the window shows).
            Walker picker(where + ", model picker");
            const INT_PTR r = [&] {
                std::thread script([&] {
                    EXPECT_TRUE(WaitOnUi([] {
                        HWND top = platform_testing::TopModalDialog();
                        return top && dynamic_cast<CDialogLogo*>(CWnd::FromHandle(top)) != nullptr;
                    }));
                    OnUi([&] {
                        auto* logo = dynamic_cast<CDialogLogo*>(CWnd::FromHandle(platform_testing::TopModalDialog()));
                        if (logo) WalkPopup(*logo, picker);
                        ::PostMessage(logo->m_hWnd, WM_COMMAND, IDOK, 0);
                    });
                    EXPECT_TRUE(WaitOnUi(
                        [&] { return platform_testing::TopModalDialog() == dlg.m_hWnd && dlg.IsWindowVisible(); }));
                    for (int model = 1; model <= 8; ++model) {
                        Walker w(where + ", model " + std::to_string(model));
                        OnUi([&] {
                            g_deviceModel = model;
                            dlg.RelayoutAll();
                            WalkMainWindow(dlg, w);
                        });
                        faults.insert(faults.end(), w.Faults().begin(), w.Faults().end());
                        checked += w.Checked();
                    }
                    Walker popups(where + ", popups");
                    WalkPopups(popups);
                    faults.insert(faults.end(), popups.Faults().begin(), popups.Faults().end());
                    checked += popups.Checked();
                    WalkMixers(where, faults, checked);
                    OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
                });
                const INT_PTR result = dlg.DoModal();
                script.join();
                return result;
            }();
            EXPECT_EQ(r, IDCANCEL);
            faults.insert(faults.end(), picker.Faults().begin(), picker.Faults().end());
            checked += picker.Checked();
        }
    }
    EXPECT_GT(checked, 4 * 8 * 400);
    for (const std::string& f : faults) ADD_FAILURE() << f;
}

}  // namespace
