#include "dialogs/dialogchinputvol.h"

#include <algorithm>
#include <string>

#include "fields/field_messages.h"
#include "model/codecs.h"
#include "model/device_state.h"
#include "model/ports.h"
#include "platform/look.h"
#include "platform/resources.h"
#include "platform/skin_palette.h"
#include "res/resource.h"

namespace {

constexpr COLORREF kPanel = kSkinPanelColour;
constexpr COLORREF kNearWhite = kSkinTextColour;
constexpr COLORREF kGrey = RGB(153, 153, 153);
constexpr int kCellFontHeight = 11;     // before ScaleForDpi
constexpr int kChannelFontHeight = 14;  // before ScaleForDpi

// A cell's slider as the model's slider.
class CellSliderPort final : public ISlider {
public:
    explicit CellSliderPort(CNewSliderCtrl& slider) : m_slider(slider) {}
    int GetPos() const override { return m_slider.GetPos(); }
    void SetPos(int pos) override { m_slider.SetPos(pos); }
    void Invalidate() override { m_slider.Invalidate(TRUE); }

private:
    CNewSliderCtrl& m_slider;
};

PopupLook MixerLook()
{
    PopupLook look;
    look.closeButton = CloseButtonSize::ToBitmap;
    return look;
}

uint32_t BitValue(int b) { return 1u << b; }

}  // namespace

BEGIN_MESSAGE_MAP(CDialogChInputVol, PopupDialog)
    ON_BN_CLICKED(IDOK, &CDialogChInputVol::OnClickedOk)
    ON_MESSAGE(WM_EDIT_STEP, &CDialogChInputVol::OnRefreshCell)
    ON_MESSAGE(WM_EDIT_COMMIT, &CDialogChInputVol::OnCommitCell)
    ON_WM_HSCROLL()
    ON_MESSAGE(WM_EDIT_NAVIGATE, &CDialogChInputVol::OnNavigateCell)
END_MESSAGE_MAP()

CDialogChInputVol::CDialogChInputVol(UINT templateId, CWnd* parent) : PopupDialog(templateId, parent, MixerLook()) {}

CDialogChInputVol::~CDialogChInputVol() = default;

void CDialogChInputVol::DoDataExchange(CDataExchange* dx)
{
    PopupDialog::DoDataExchange(dx);
    for (int c = 0; c < kMixerChannels; ++c) {
        for (int b = 0; b < kMixerInputs; ++b) {
            DDX_Control(dx, g_mixerEditId[c][b], m_editCell[c][b]);
            DDX_Control(dx, g_mixerSliderId[c][b], m_sliderCell[c][b]);
        }
    }
}

BOOL CDialogChInputVol::OnInitDialog()
{
    m_model = g_deviceModel.load();
    m_noAux34 = g_noAux34;
    m_source = g_inputSource.load();
    m_look.backgroundBitmap = MixerBackground(m_model, m_noAux34);
    PopupDialog::OnInitDialog();

    const MixerSize size = MixerWindowSize(m_model, m_noAux34, DpiBucket(g_screenDpi));
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy ? size.cy : m_bmBackground.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
    m_brushEdit.CreateSolidBrush(kPanel);
    PlaceCloseButton();
    SetupLabels();
    SetupCellEdits();
    SetupCellSliders();
    m_sliderCell[0][0].SetFocus();
    return FALSE;
}

// Top right, half a button width from the right edge, centred in the band.
void CDialogChInputVol::PlaceCloseButton()
{
    const int bucket = DpiBucket(g_screenDpi);
    CBitmap picture;
    if (!picture.LoadBitmap(static_cast<UINT>(SkinBitmap(SKIN_POPUP_CLOSE_PRESSED, bucket)))) return;
    const CSize size = picture.GetSize();
    picture.DeleteObject();
    CRect client;
    GetClientRect(&client);
    if (CWnd* close = GetDlgItem(IDCANCEL))
        close->SetWindowPos(nullptr, client.Width() - (size.cx / 2) * 3, (MixerCloseBand(bucket) - size.cy + 1) / 2,
                            size.cx, size.cy, SWP_NOZORDER);
}

void CDialogChInputVol::SetupLabels()
{
    const MixerPlacement& at = MixerPlacementAt(DpiBucket(g_screenDpi));
    m_fontChannel.CreateFont(ScaleForDpi(kChannelFontHeight), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"黑体");
    const int outputs = MixerOutputs(m_model);
    for (int c = 0; c < kMixerChannels; ++c) {
        CWnd* caption = GetDlgItem(g_mixerChannelLabelId[c]);
        if (!caption) continue;
        if (c >= outputs) {
            caption->ShowWindow(SW_HIDE);
            continue;
        }
        caption->SetFont(&m_fontChannel, TRUE);
        // Its template height is less than the font's on some screens: it
        // grows about the same middle line.
        CRect r;
        caption->GetClientRect(&r);
        const int height = std::max<int>(r.Height(), ScaleForDpi(kChannelFontHeight) + 2);
        caption->SetWindowPos(nullptr, at.channelX + c * at.columnStep, at.channelY - (height - r.Height()) / 2,
                              r.Width(), height, 0);
    }
    // m_fontLabel is the popup's label font, made by the base.
    for (int b = 0; b < kMixerInputs; ++b) {
        CWnd* caption = GetDlgItem(g_mixerSourceLabelId[b]);
        if (!caption) continue;
        const int row = MixerRowOf(m_model, m_noAux34, b);
        if (row < 0) caption->ShowWindow(SW_HIDE);
        else caption->SetWindowPos(nullptr, at.inputX, at.inputY0 + row * at.rowStep, 0, 0, SWP_NOSIZE);
        caption->SetFont(&m_fontLabel, TRUE);
        caption->SetWindowText(LoadResString(MixerLabelString(m_model, m_source, b)));
    }
    if (CWnd* title = GetDlgItem(IDC_MIXER_TITLE)) title->SetFont(&m_fontLabel, TRUE);
}

void CDialogChInputVol::SetupCellEdits()
{
    const MixerPlacement& at = MixerPlacementAt(DpiBucket(g_screenDpi));
    // The template's font would not leave "-60dB" whole in the field's width.
    m_fontCell.CreateFont(ScaleForDpi(kCellFontHeight), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, kPopupFontFace);
    std::wstring text;
    for (int c = 0; c < kMixerChannels; ++c) {
        for (int b = 0; b < kMixerInputs; ++b) m_editCell[c][b].SetChannel(c, BitValue(b));
        for (int b = 0; b < kMixerInputs; ++b) m_editCell[c][b].SetFont(&m_fontCell, FALSE);
        for (int b = 0; b < kMixerInputs; ++b) {
            FormatInputVolume(text, c, BitValue(b));
            m_editCell[c][b].SetWindowText(text);
        }
    }
    for (int c = 0; c < kMixerChannels; ++c) {
        for (int b = 0; b < kMixerInputs; ++b) {
            CEditGain& edit = m_editCell[c][b];
            if (!MixerCellShown(m_model, m_noAux34, c, b)) {
                edit.ShowWindow(SW_HIDE);
            } else {
                const int row = MixerRowOf(m_model, m_noAux34, b);
                edit.SetWindowPos(nullptr, at.editX0 + c * at.columnStep, at.editY0 + row * at.rowStep, at.editWidth,
                                  ScaleForDpi(16), SWP_NOZORDER);
            }
            if (const auto enabled = MixerCellEnabled(m_model, m_noAux34, m_source, MixerControl::Edit, c, b))
                edit.EnableWindow(*enabled);
        }
    }
}

void CDialogChInputVol::SetupCellSliders()
{
    const int bucket = DpiBucket(g_screenDpi);
    const MixerPlacement& at = MixerPlacementAt(bucket);
    const int thumbId = SkinBitmap(SKIN_MIXER_SLIDER_THUMB, bucket);
    const int afterId = SkinBitmap(SKIN_MIXER_SLIDER_TRACK_LIT, bucket);
    const int beforeId = SkinBitmap(SKIN_MIXER_SLIDER_TRACK_DIM, bucket);
    CSize thumb, track;
    {
        CBitmap picture;
        if (picture.LoadBitmap(static_cast<UINT>(thumbId))) thumb = picture.GetSize();
        CBitmap back;
        if (back.LoadBitmap(static_cast<UINT>(afterId))) track = back.GetSize();
    }
    const int offset = MixerThumbOffset(bucket);
    for (int c = 0; c < kMixerChannels; ++c) {
        for (int b = 0; b < kMixerInputs; ++b)
            m_sliderCell[c][b].SetPos(static_cast<int>(GetInputVolume(c, BitValue(b))));
        for (int b = 0; b < kMixerInputs; ++b) {
            CNewSliderCtrl& slider = m_sliderCell[c][b];
            slider.SetRange(0, 60, FALSE);
            slider.SetLineSize(1);
            slider.SetThumbOffset(offset);
            slider.SetThumb(thumbId, thumb.cx, thumb.cy);
            slider.SetBitmaps(MixerCellLit(m_source, b) ? afterId : beforeId, beforeId);
        }
    }
    for (int c = 0; c < kMixerChannels; ++c) {
        for (int b = 0; b < kMixerInputs; ++b) {
            CNewSliderCtrl& slider = m_sliderCell[c][b];
            if (!MixerCellShown(m_model, m_noAux34, c, b)) {
                slider.ShowWindow(SW_HIDE);
            } else {
                const int row = MixerRowOf(m_model, m_noAux34, b);
                slider.SetWindowPos(nullptr, at.sliderX0 + c * at.columnStep, at.sliderY0 + row * at.rowStep, track.cx,
                                    track.cy, SWP_NOZORDER);
            }
            if (const auto enabled = MixerCellEnabled(m_model, m_noAux34, m_source, MixerControl::Slider, c, b))
                slider.EnableWindow(*enabled);
        }
    }
}

bool CDialogChInputVol::CellOf(WPARAM channel, LPARAM sourceBit, int& c, int& b)
{
    if (channel >= static_cast<WPARAM>(kMixerChannels)) return false;
    for (int bit = 0; bit < kMixerInputs; ++bit) {
        if (static_cast<uint64_t>(sourceBit) == BitValue(bit)) {
            c = static_cast<int>(channel);
            b = bit;
            return true;
        }
    }
    return false;
}

// Escape ends the dialog without moving the focus: a cell field that has it
// commits its text first, as leaving it would.
void CDialogChInputVol::OnCancel()
{
    CWnd* focus = CWnd::GetFocus();
    for (int c = 0; focus && c < kMixerChannels; ++c)
        for (int b = 0; b < kMixerInputs; ++b)
            if (focus == &m_editCell[c][b]) OnCommitCell(static_cast<WPARAM>(c), static_cast<LPARAM>(BitValue(b)));
    PopupDialog::OnCancel();
}

// Enter: the field has committed; the dialog stays open.
void CDialogChInputVol::OnClickedOk() {}

LRESULT CDialogChInputVol::OnRefreshCell(WPARAM channel, LPARAM sourceBit)
{
    int c = 0, b = 0;
    if (!CellOf(channel, sourceBit, c, b)) return 0;
    CellSliderPort slider(m_sliderCell[c][b]);
    std::wstring text;
    ShowInputVolume(&slider, text, c, BitValue(b));
    m_editCell[c][b].SetWindowText(text);
    return 0;
}

LRESULT CDialogChInputVol::OnCommitCell(WPARAM channel, LPARAM sourceBit)
{
    int c = 0, b = 0;
    if (!CellOf(channel, sourceBit, c, b)) return 0;
    CEditGain& edit = m_editCell[c][b];
    std::wstring text = edit.GetWindowTextString();
    if (ParseGainText(nullptr, text, c, BitValue(b)) == 1) {
        CellSliderPort slider(m_sliderCell[c][b]);
        ShowInputVolume(&slider, text, c, BitValue(b));
    } else {
        FormatInputVolume(text, c, BitValue(b));
    }
    edit.SetWindowText(text);
    edit.SetSel(0, -1, TRUE);
    return 0;
}

void CDialogChInputVol::OnHScroll(UINT code, UINT pos, CWnd* scrollBar)
{
    const int id = scrollBar ? scrollBar->GetDlgCtrlID() : 0;
    for (int c = 0; c < kMixerChannels && id; ++c) {
        for (int b = 0; b < kMixerInputs; ++b) {
            if (g_mixerSliderId[c][b] != id) continue;
            SetInputVolume(c, BitValue(b), static_cast<uint32_t>(m_sliderCell[c][b].GetPos()));
            std::wstring text;
            FormatInputVolume(text, c, BitValue(b));
            m_editCell[c][b].SetWindowText(text);
            c = kMixerChannels;
            break;
        }
    }
    PopupDialog::OnHScroll(code, pos, scrollBar);
}

LRESULT CDialogChInputVol::OnNavigateCell(WPARAM key, LPARAM)
{
    if (key != VK_LEFT && key != VK_RIGHT && key != VK_PRIOR && key != VK_NEXT) return 0;
    CWnd* focus = CWnd::GetFocus();
    if (!focus || focus->GetParent() != this) return 0;
    const int id = focus->GetDlgCtrlID();
    for (int c = 0; c < kMixerChannels; ++c) {
        for (int b = 0; b < kMixerInputs; ++b) {
            if (g_mixerEditId[c][b] != id) continue;
            const auto to =
                MixerNavigate(g_deviceModel.load(), g_noAux34, g_inputSource.load(), c, b, static_cast<unsigned>(key));
            if (to) m_editCell[to->channel][to->bit].SendMessage(WM_EDIT_NAVIGATE, 0, 0);
            return 0;
        }
    }
    return 0;
}

HBRUSH CDialogChInputVol::PopupCtlColor(CDC* dc, CWnd* wnd, UINT kind, HBRUSH framework)
{
    if (kind == CTLCOLOR_EDIT || kind == CTLCOLOR_LISTBOX) {
        dc->SetTextColor(RGB(255, 255, 255));
        dc->SetBkColor(kPanel);
        return &m_brushEdit;
    }
    if (kind != CTLCOLOR_STATIC && kind != CTLCOLOR_BTN) return framework;
    if (wnd && !wnd->IsWindowEnabled()) {
        dc->SetTextColor(kGrey);
        dc->SetBkColor(RGB(0, 0, 0));
        return &m_brushEdit;
    }
    const int group = wnd ? GetLabelSourceGroup(wnd->GetDlgCtrlID()) : 10;
    const bool bright = group == 10 || group == MixerSelectedGroup(g_inputSource.load());
    dc->SetTextColor(bright ? kNearWhite : kGrey);
    dc->SetBkMode(TRANSPARENT);
    return static_cast<CBrush*>(GetStockObject(NULL_BRUSH));
}
