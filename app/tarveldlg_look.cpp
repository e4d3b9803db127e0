// The main window's look: the one-time set-up of its controls, their
// placement by screen DPI and device model, the layout of the model, and
// the painting of the background, the owner-drawn buttons, the status
// pictures and the master scale. The tables and choices are in
// placement.*, model_layout.* and paint.*.
#include <cstring>

#include "app/model_layout.h"
#include "app/paint.h"
#include "app/placement.h"
#include "app/tarveldlg.h"
#include "model/device_state.h"
#include "model/params.h"
#include "platform/art.h"
#include "platform/look.h"

namespace {

int Bucket() { return DpiBucket(g_screenDpi); }
int Group() { return LayoutGroupOf(g_deviceModel.load()); }

CSize BitmapSize(int id)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(static_cast<UINT>(id))) return {0, 0};
    return bitmap.GetSize();
}

void SetupSlider(CNewSliderCtrl& slider, int offset, SkinId thumb, SkinId first, SkinId second, int bucket)
{
    const int thumbId = SkinBitmap(thumb, bucket);
    const CSize size = BitmapSize(thumbId);
    slider.SetThumbOffset(offset);
    slider.SetThumb(thumbId, size.cx, size.cy);
    slider.SetBitmaps(SkinBitmap(first, bucket), SkinBitmap(second, bucket));
}

void SetRange(CNewSliderCtrl& slider, int max)
{
    slider.SetRange(0, max, FALSE);
    slider.SetLineSize(1);
    slider.SetPageSize(0);
}

// Matrix input bits of each source group's captions.
constexpr int kHighBits[] = {0, 1, 2, 3, 4, 5, 12, 13, 16, 17};
constexpr int kLowBits[] = {6, 7, 14, 15};
constexpr int kBtBits[] = {10, 11};
constexpr int kOpticalBits[] = {8, 9};

}  // namespace

void CTarvelDlg::MoveControl(int id, int x, int y, int w, int h)
{
    if (CWnd* item = GetDlgItem(id)) item->SetWindowPos(nullptr, x, y, w, h, SWP_NOZORDER);
}

void CTarvelDlg::PlaceFamily(int family)
{
    for (const ControlRect& r : FamilyRects(static_cast<Family>(family), Bucket(), Group()))
        MoveControl(r.id, r.x, r.y, r.w, r.h);
}

void CTarvelDlg::PlaceSingles(SingleGroup group)
{
    for (const SinglePlacement& s : SinglePlacements(Bucket())) {
        if (s.group == group) MoveControl(s.id, s.x.value, s.y.value, s.w.value, s.h.value);
    }
}

// ---------------------------------------------------------------------------
// One-time set-up

void CTarvelDlg::SetupChGainSliders()
{
    const int b = Bucket();
    for (CNewSliderCtrl& s : m_sliderChGain) {
        SetupSlider(s, 1, SKIN_CH_SLIDER_THUMB, SKIN_CH_SLIDER_TRACK_LIT, SKIN_CH_SLIDER_TRACK_DIM, b);
        SetRange(s, kChannelGainOff);
    }
}

void CTarvelDlg::AttachGainEdits()
{
    for (int k = 0; k < 6; ++k) m_editGainCh[static_cast<size_t>(k)].SetChannel(6 + k, 0);
    for (int c = 0; c < 8; ++c) GainField(c).SubclassDlgItem(static_cast<UINT>(g_gainEditId[c]), this);
}

void CTarvelDlg::FillCombos()
{
    // All six pair flags, so that no pair stays bridged from before.
    g_btlPair12 = g_btlPair34 = g_btlPair56 = g_btlPair78 = g_btlPair910 = g_btlPair1112 = 0;
    m_families.crossovers.FillSelectors();
    static constexpr int kFieldHeight[kDpiBuckets] = {18, 23, 30, 30, 40};
    for (CMyComboBox* combo : {&m_comboHpType, &m_comboHpSlope, &m_comboLpType, &m_comboLpSlope}) {
        combo->SetComboFont(ScaleForDpi(12), L"宋体", 1, RGB(255, 255, 255));
        combo->SetArrowImages(IDP_COMBO_ARROW_B0, IDP_COMBO_ARROW_B0);
        combo->SetItemHeight(-1, static_cast<UINT>(kFieldHeight[Bucket()]));
    }
}

void CTarvelDlg::SetupSystemVol()
{
    m_editSystemVol.SubclassDlgItem(IDC_SYSTEM_VOL, this);
    m_editSystemVol.SetControls(&m_sliderSystemVol, static_cast<CButton*>(GetDlgItem(IDC_SYS_MUTE)));
    static constexpr int kThumbOffset[kDpiBuckets] = {1, 0, 1, 1, 1};
    SetupSlider(m_sliderSystemVol, kThumbOffset[Bucket()], SKIN_MASTER_SLIDER_THUMB, SKIN_MASTER_SLIDER_TRACK_LIT,
                SKIN_MASTER_SLIDER_TRACK_DIM, Bucket());
    PlaceSingles(SingleGroup::SystemVol);
    SetRange(m_sliderSystemVol, kMasterVolumeOff);
}

void CTarvelDlg::SetupBandSliders()
{
    static constexpr int kThumbOffset[kDpiBuckets] = {0, 0, 0, 3, 2};
    const int b = Bucket();
    for (CNewSliderCtrl& s : m_sliderFreqGain)
        SetupSlider(s, kThumbOffset[b], SKIN_BAND_SLIDER_THUMB, SKIN_BAND_SLIDER_TRACK, SKIN_BAND_SLIDER_TRACK, b);
    PlaceFamily(static_cast<int>(Family::BandSliders));
    for (CNewSliderCtrl& s : m_sliderFreqGain) SetRange(s, 300);
}

void CTarvelDlg::LayoutFreqEdits()
{
    for (int b = 0; b < kBands; ++b) m_editFre[b].SubclassDlgItem(static_cast<UINT>(g_bandFreqEditId[b]), this);
    LOGFONTW lf{};
    if (CFont* font = m_editFre[0].GetFont()) font->GetLogFont(&lf);
    const int bucket = Bucket();
    lf.lfWidth = ScaleForDpi(lf.lfWidth);
    lf.lfHeight = bucket == 0 ? -10 : bucket == 1 ? -11 : -ScaleForDpi(10);
    m_fontBandEdit.CreateFontIndirect(&lf);
    for (int b = 0; b < kBands; ++b) m_editFre[b].SetFont(&m_fontBandEdit, TRUE);
    PlaceFamily(static_cast<int>(Family::BandFreqFields));
}

void CTarvelDlg::LayoutFreqGainEdits()
{
    for (int b = 0; b < kBands; ++b) {
        m_editFreqGain[b].SubclassDlgItem(static_cast<UINT>(g_bandGainEditId[b]), this);
        m_editFreqGain[b].SetSlider(&m_sliderFreqGain[b]);
        m_editFreqGain[b].SetFont(&m_fontBandEdit, TRUE);
    }
    PlaceFamily(static_cast<int>(Family::BandGainFields));
}

void CTarvelDlg::LayoutQEdits()
{
    for (int b = 0; b < kBands; ++b) {
        m_editQ[b].SubclassDlgItem(static_cast<UINT>(g_bandQEditId[b]), this);
        m_editQ[b].SetFont(&m_fontBandEdit, TRUE);
    }
    PlaceFamily(static_cast<int>(Family::BandQFields));
}

void CTarvelDlg::PlaceActionButtons()
{
    PlaceFamily(static_cast<int>(Family::BypassButtons));
    PlaceSingles(SingleGroup::ActionButtons);
}

void CTarvelDlg::AttachDelayEdits()
{
    for (int c = 0; c < 8; ++c) m_delayFields.Field(c).SubclassDlgItem(static_cast<UINT>(g_delayEditId[c]), this);
}

void CTarvelDlg::PlaceFrameButtons() { PlaceSingles(SingleGroup::FrameButtons); }

void CTarvelDlg::SetupLabels()
{
    auto label = [this](CFont& font, int id, int stringId) {
        CWnd* item = GetDlgItem(id);
        if (!item) return;
        item->SetFont(&font);
        if (stringId) item->SetWindowText(LoadResString(stringId));
    };
    m_fontLabel.CreateFont(ScaleForDpi(12), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 32, L"宋体");
    label(m_fontLabel, IDC_LINK_CAPTION, IDS_LINK_CAPTION);
    label(m_fontLabel, IDC_BAND_ROW_CAPTION1, IDS_CAPTION_ID);
    label(m_fontLabel, IDC_FREQ_CAPTION, IDS_CAPTION_FREQ);
    label(m_fontLabel, IDC_BAND_ROW_CAPTION3, IDS_CAPTION_Q);
    label(m_fontLabel, IDC_BAND_ROW_CAPTION4, IDS_CAPTION_GAIN);
    label(m_fontLabel, IDC_BAND_ROW_CAPTION5, IDS_CAPTION_BYPASS);
    label(m_fontLabel, IDC_VOLUME_CAPTION, IDS_CAPTION_VOLUME);
    label(m_fontLabel, IDC_CH_NAME_CAPTION, IDS_CH_NAME_CAPTION);
    label(m_fontLabel, IDC_PHASE_CAPTION, IDS_PHASE_CAPTION);
    for (int id = IDC_CROSSOVER_CAPTION1; id <= IDC_CROSSOVER_CAPTION8; ++id) label(m_fontLabel, id, 0);
    for (int id : g_bandLabelId) label(m_fontLabel, id, 0);
    PlaceFamily(static_cast<int>(Family::BandLabels));
    PlaceSingles(SingleGroup::Labels);

    m_fontMatrixLabel.CreateFont(ScaleForDpi(12), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 32, L"宋体");
    for (int id : g_delayLabelId) label(m_fontMatrixLabel, id, IDS_CAPTION_DELAY);
    for (int row = 0; row < kChannels; ++row) {
        for (int bit = 0; bit < kInputs; ++bit) {
            label(m_fontMatrixLabel, g_routeLabelId[row][bit], row == 0 ? InputCaptionString(0, 0, bit) : 0);
            if (row == 0) continue;
            if (CWnd* item = GetDlgItem(g_routeLabelId[row][bit])) {
                item->ShowWindow(SW_HIDE);
                item->EnableWindow(FALSE);
            }
        }
    }
    m_fontButton.CreateFont(ScaleForDpi(12), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0x20, L"宋体");
    m_fontChannel.CreateFont(ScaleForDpi(16), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0x20, L"黑体");
}

// The status pictures take their pictures' sizes; the link pictures stand
// left of the settings button.
void CTarvelDlg::SizeStatusPics()
{
    const int b = Bucket();
    const CSize usb = BitmapSize(UsbStatusBitmap(false, b));
    const CSize tcp = BitmapSize(TcpStatusBitmap(0, b));
    const CSize title = BitmapSize(TitleBitmap(b));
    CRect setup;
    if (CWnd* item = GetDlgItem(IDC_SETUP)) {
        item->GetWindowRect(&setup);
        ScreenToClient(&setup);
    }
    const int y = ScaleForDpi(2, BucketDpi(b));
    const int tcpX = setup.left - ScaleForDpi(21, BucketDpi(b)) - tcp.cx;
    MoveControl(IDC_WIFI_PIC, tcpX, y, tcp.cx, tcp.cy);
    MoveControl(IDC_USB_PIC, tcpX - ScaleForDpi(6, BucketDpi(b)) - usb.cx, y, usb.cx, usb.cy);
    if (CWnd* item = GetDlgItem(IDC_TITLE_PIC)) item->SetWindowPos(nullptr, 0, 0, title.cx, title.cy, SWP_NOMOVE);
}

// ---------------------------------------------------------------------------
// Placement by model

int CTarvelDlg::RelayoutAll()
{
    LoadBackground();
    PlaceChannelButtons();
    PlaceGainEdits();
    PlaceMuteButtons();
    PlacePhaseButtons();
    PlaceDelayEdits();
    PlaceDelayLabels();
    PlaceDelayUnitButtons();
    PlaceRouteButtons();
    PlaceMatrixLabels();
    PlaceChGainSliders();
    PlaceLinkButtons();
    PlaceCurveButtons();
    DrawSystemVolScale();
    PlaceMasterScaleLabels();
    PlaceGainScaleLabels();
    PlaceStripCaptions();
    const LRESULT result = ApplyModelLayout(0, 0);
    if (m_spectrum.m_hWnd) {
        CRect rc;
        m_spectrum.GetClientRect(&rc);
        m_spectrum.SetScreenDpi(g_screenDpi);
        m_spectrum.SetPlotRect(rc.left, rc.top, rc.right, rc.bottom);
        m_families.bands.FeedGraph(true);
    }
    return static_cast<int>(result);
}

void CTarvelDlg::PlaceChannelButtons() { PlaceFamily(static_cast<int>(Family::ChannelButtons)); }
void CTarvelDlg::PlaceGainEdits() { PlaceFamily(static_cast<int>(Family::GainFields)); }
void CTarvelDlg::PlaceMuteButtons() { PlaceFamily(static_cast<int>(Family::MuteButtons)); }
void CTarvelDlg::PlacePhaseButtons() { PlaceFamily(static_cast<int>(Family::PhaseButtons)); }
void CTarvelDlg::PlaceDelayEdits() { PlaceFamily(static_cast<int>(Family::DelayFields)); }
void CTarvelDlg::PlaceDelayUnitButtons() { PlaceFamily(static_cast<int>(Family::DelayUnitButtons)); }
void CTarvelDlg::PlaceChGainSliders() { PlaceFamily(static_cast<int>(Family::GainSliders)); }
void CTarvelDlg::PlaceLinkButtons() { PlaceFamily(static_cast<int>(Family::LinkButtons)); }
void CTarvelDlg::PlaceCurveButtons() { PlaceFamily(static_cast<int>(Family::CurveButtons)); }
void CTarvelDlg::PlaceMasterScaleLabels() { PlaceFamily(static_cast<int>(Family::MasterScaleLabels)); }
void CTarvelDlg::PlaceGainScaleLabels() { PlaceFamily(static_cast<int>(Family::GainScaleLabels)); }
void CTarvelDlg::PlaceStripCaptions() { PlaceSingles(SingleGroup::StripCaptions); }

// Only the first "Delay" caption is ever shown.
void CTarvelDlg::PlaceDelayLabels()
{
    PlaceSingles(SingleGroup::DelayLabels);
    for (int c = 1; c < kChannels; ++c) {
        if (CWnd* item = GetDlgItem(g_delayLabelId[c])) {
            item->ShowWindow(SW_HIDE);
            item->EnableWindow(FALSE);
        }
    }
}

void CTarvelDlg::PlaceRouteButtons()
{
    const int model = g_deviceModel.load();
    for (const ControlRect& r : MatrixRects(Bucket(), model, g_noAux34 != 0)) {
        if (IndexOfId(&g_routeButtonId[0][0], kChannels * kInputs, r.id) >= 0) MoveControl(r.id, r.x, r.y, r.w, r.h);
    }
    PlaceFamily(static_cast<int>(Family::BridgeButtons));
}

void CTarvelDlg::PlaceMatrixLabels()
{
    for (const ControlRect& r : MatrixRects(Bucket(), g_deviceModel.load(), g_noAux34 != 0)) {
        if (IndexOfId(g_routeLabelId[0], kInputs, r.id) >= 0) MoveControl(r.id, r.x, r.y, r.w, r.h);
    }
}

void CTarvelDlg::LoadBackground()
{
    m_bmpBackground.DeleteObject();
    m_bmpBackground.LoadBitmap(g_languageId == 0x0409 ? IDB_BACKGROUND_EN : IDB_BACKGROUND);
    m_bmpBackground.GetBitmap(&m_bmBackground);
    const int model = g_deviceModel.load();
    const uint8_t noAux = static_cast<uint8_t>((g_deviceOptions.load() >> 6) & 1);
    if ((model != g_lastDeviceModel && g_lastDeviceModel != 255) || g_noAux34 != noAux) {
        g_noAux34 = noAux;
        Invalidate(TRUE);
    }
    const int source = g_inputSource.load();
    if (model != g_lastDeviceModel || source == kSourceBluetooth || source == kSourceUsb) UpdateInputLabels();
    g_lastDeviceModel = model;
}

void CTarvelDlg::UpdateInputLabels()
{
    const int model = g_deviceModel.load();
    const int source = g_inputSource.load();
    for (int bit : kModelCaptionBits)
        SetDlgItemText(g_routeLabelId[0][bit], LoadResString(InputCaptionString(model, source, bit)));
    for (int bit : kModelCaptionBits) InvalidateControlArea(g_routeLabelId[0][bit]);
}

LRESULT CTarvelDlg::ApplyModelLayout(WPARAM, LPARAM)
{
    const int model = g_deviceModel.load();
    for (const LayoutState& s : ModelLayout(model, g_noAux34 != 0)) {
        CWnd* item = GetDlgItem(s.id);
        if (!item) continue;
        item->ShowWindow(s.shown ? SW_SHOW : SW_HIDE);
        item->EnableWindow(s.enabled ? TRUE : FALSE);
    }
    const int last = LastOutputOf(model);
    if (last < 0) return 0;
    if (g_selectedChannel > last) {
        g_selectedChannel = 0;
        if (CWnd* item = GetDlgItem(IDC_SELECT_CH1)) item->Invalidate(TRUE);
        // The band fields and the graph follow the new selection.
        RefreshEqControls();
    }
    for (int c = last + 1; c < kChannels; ++c) {
        if ((m_spectrum.GetVisibleChannels() >> c) & 1) m_spectrum.ToggleChannelVisible(c);
    }
    return 0;
}

void CTarvelDlg::RepaintSourceLabels()
{
    auto repaint = [this](const int* bits, size_t n) {
        for (int row = 0; row < kChannels; ++row)
            for (size_t k = 0; k < n; ++k) InvalidateControlArea(g_routeLabelId[row][bits[k]]);
    };
    auto group = [&](int source) {
        switch (source) {
        case kSourceLowLevel: repaint(kLowBits, std::size(kLowBits)); break;
        case kSourceBluetooth:
        case kSourceUsb: repaint(kBtBits, std::size(kBtBits)); break;
        case kSourceOptical: repaint(kOpticalBits, std::size(kOpticalBits)); break;
        default: repaint(kHighBits, std::size(kHighBits)); break;
        }
    };
    group(g_lastInputSource);
    const int source = g_inputSource.load();
    if (source == kSourceBluetooth || source == kSourceUsb) {
        for (int row = 0; row < kChannels; ++row) SetBtLabels(static_cast<BYTE>(row), static_cast<BYTE>(source));
    } else if (source == kSourceHighLevel || source == kSourceLowLevel || source == kSourceOptical) {
        group(source);
    }
}

void CTarvelDlg::SetBtLabels(BYTE row, BYTE source)
{
    if ((source != kSourceBluetooth && source != kSourceUsb) || row >= kChannels) return;
    for (int bit : kBtBits) {
        const int id = g_routeLabelId[row][bit];
        SetDlgItemText(id, LoadResString(InputCaptionString(g_deviceModel.load(), source, bit)));
        InvalidateControlArea(id);
    }
}

// ---------------------------------------------------------------------------
// Painting

void CTarvelDlg::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (m_bmpBackground.IsValid()) {
        CDC memory;
        memory.CreateCompatibleDC(&dc);
        CBitmap* old = memory.SelectObject(&m_bmpBackground);
        dc.SetStretchBltMode(COLORONCOLOR);
        dc.StretchBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, m_bmBackground.bmWidth,
                      m_bmBackground.bmHeight, SRCCOPY);
        memory.SelectObject(old);
    }
    const int b = Bucket();
    PaintStatusPicture(&dc, IDC_WIFI_PIC, TcpStatusBitmap(m_shownTcpState, b));
    PaintStatusPicture(&dc, IDC_USB_PIC, UsbStatusBitmap(m_shownUsb != 0, b));
    DrawTitlePic(&dc);
    PaintVolumeScale(&dc);
}

void CTarvelDlg::PaintStatusPicture(CDC* dc, int controlId, int bitmapId)
{
    CWnd* item = GetDlgItem(controlId);
    if (!item) return;
    CRect rc;
    item->GetWindowRect(&rc);
    ScreenToClient(&rc);
    DrawBitmapStretched(dc, bitmapId, rc);
}

// The pictures show the states taken here, and every paint draws those: a
// paint of another part of the window neither draws a picture nor counts
// as one drawn. A state that changed is taken and its picture's area
// repainted.
void CTarvelDlg::DrawWifiPic()
{
    const int state = m_link.TcpLinkState();
    if (state == m_shownTcpState) return;
    m_shownTcpState = state;
    InvalidateItemArea(IDC_WIFI_PIC);
}

void CTarvelDlg::DrawUsbPic()
{
    const int usb = g_usbConnected.load() != 0 ? 1 : 0;
    if (usb == m_shownUsb) return;
    m_shownUsb = usb;
    InvalidateItemArea(IDC_USB_PIC);
}

void CTarvelDlg::InvalidateItemArea(int controlId)
{
    CWnd* item = GetDlgItem(controlId);
    if (!item) return;
    CRect rc;
    item->GetWindowRect(&rc);
    ScreenToClient(&rc);
    InvalidateRect(&rc, TRUE);
}

// The title, centred at the top of the window.
void CTarvelDlg::DrawTitlePic(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    const int bitmap = TitleBitmap(Bucket());
    const CSize title = BitmapSize(bitmap);
    const RECT at{(client.Width() - title.cx) / 2, 0, (client.Width() + title.cx) / 2, title.cy};
    DrawBitmapStretched(dc, bitmap, at);
}

void CTarvelDlg::DrawSystemVolScale()
{
    const VolumeScale s = VolumeScaleOf(Bucket());
    CRect rc(s.xLeftEnd - s.longLen, s.y0, s.xRight + s.longLen, s.y0 + 15 * s.step + s.thickness);
    InvalidateRect(&rc, TRUE);
}

void CTarvelDlg::PaintVolumeScale(CDC* dc)
{
    const VolumeScale s = VolumeScaleOf(Bucket());
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* old = dc->SelectObject(&pen);
    for (int j = 0; j < 16; ++j) {
        const int length = j % 5 == 0 ? s.longLen : s.shortLen;
        for (int t = 0; t < s.thickness; ++t) {
            const int y = s.y0 + j * s.step + t;
            dc->MoveTo(s.xLeftEnd - length, y);
            dc->LineTo(s.xLeftEnd, y);
            dc->MoveTo(s.xRight, y);
            dc->LineTo(s.xRight + length, y);
        }
    }
    dc->SelectObject(old);
}

HBRUSH CTarvelDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    CDialogEx::OnCtlColor(dc, wnd, ctlColor);
    if (wnd == this) return m_brushBk;
    switch (ctlColor) {
    case CTLCOLOR_STATIC:
    case CTLCOLOR_BTN: {
        const int id = wnd ? wnd->GetDlgCtrlID() : 0;
        dc->SetTextColor(StaticTextColour(id, GetControlSourceGroup(id), g_inputSource.load()));
        if (KeepsWindowBrush(id)) return m_brushBk;
        dc->SetBkMode(TRANSPARENT);
        return static_cast<CBrush*>(GetStockObject(NULL_BRUSH));
    }
    case CTLCOLOR_EDIT:
    case CTLCOLOR_LISTBOX:
        dc->SetTextColor(RGB(255, 255, 255));
        dc->SetBkColor(kWindowColour);
        return m_brushEdit;
    default: return m_brushBk;
    }
}

void CTarvelDlg::OnDrawItem(int ctlId, LPDRAWITEMSTRUCT dis)
{
    if (dis && dis->CtlType == ODT_BUTTON && dis->pDC) {
        const ButtonFace face = FaceOfButton(ctlId, (dis->itemState & ODS_SELECTED) != 0);
        if (face.linkChannelBit) {
            CBitmap picture;
            if (LoadLinkButtonBitmap(face.linkChannelBit, &picture))
                DrawBitmapStretched(dis->pDC, picture, dis->rcItem);
        } else if (face.bitmap) {
            CDC* dc = dis->pDC;
            CRect rc(dis->rcItem);
            DrawBitmapStretched(dc, face.bitmap, rc);
            const std::wstring text = face.channel >= 0 ? ChannelStrips::ChannelCaption(face.channel)
                                      : face.stringId   ? LoadResString(face.stringId)
                                                        : std::wstring();
            if (!text.empty()) {
                CFont* old = dc->SelectObject(face.font == FaceFont::Channel ? &m_fontChannel : &m_fontButton);
                dc->SetTextColor(kButtonTextColour);
                UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
                if (face.channel >= 0 && dc->GetTextExtent(text).cx >= rc.Width()) format = DT_VCENTER | DT_SINGLELINE;
                dc->DrawText(text, &rc, format);
                if (old) dc->SelectObject(old);
            }
        }
    }
    CDialogEx::OnDrawItem(ctlId, dis);
}

ButtonFace CTarvelDlg::FaceOfButton(int controlId, bool pressed) const
{
    return FaceOf(controlId, pressed, {g_deviceModel.load(), Bucket(), m_families.links, m_families.bands});
}

BOOL CTarvelDlg::LoadLinkButtonBitmap(int channelBit, CBitmap* bitmap)
{
    if (!bitmap) return FALSE;
    return bitmap->LoadBitmap(static_cast<UINT>(LinkButtonBitmap(channelBit, Bucket())));
}
