// The main window's answers to the private messages of its entry fields and
// popups, the launchers of the popups, the preset file commands and the
// refreshers that other parts call.
#include <vector>

#include "app/aboutdlg.h"
#include "app/tarveldlg.h"
#include "dialogs/dialogfile.h"
#include "dialogs/dialogsetup.h"
#include "fields/field_messages.h"
#include "link/commands.h"
#include "link/frames.h"
#include "model/device_state.h"
#include "model/preset_file.h"
#include "platform/codepage.h"
#include "platform/files.h"

namespace {

bool IsChannelParam(WPARAM w) { return w < static_cast<WPARAM>(kChannels); }

// The channel whose field in the table has the focus, -1 for none.
int FocusedChannelIn(const CWnd& dlg, const int* ids)
{
    CWnd* focus = CWnd::GetFocus();
    CWnd* parent = focus ? focus->GetParent() : nullptr;
    if (!parent || parent->m_hWnd != dlg.m_hWnd) return -1;
    return IndexOfId(ids, kChannels, focus->GetDlgCtrlID());
}

}  // namespace

// ---------------------------------------------------------------------------
// Entry fields

// Left and Right in a delay or gain field move along the ring of that kind
// of field, skipping the strips the layout hides.
LRESULT CTarvelDlg::OnEditNavigate(WPARAM key, LPARAM)
{
    const int direction = key == VK_RIGHT ? 1 : key == VK_LEFT ? -1 : 0;
    if (direction == 0) return 0;
    for (const int* ring : {g_delayEditId, g_gainEditId}) {
        const int from = FocusedChannelIn(*this, ring);
        if (from < 0) continue;
        const int to = ChannelStrips::NextInRing(from, direction, [this, ring](int c) {
            CWnd* field = GetDlgItem(ring[c]);
            return field && field->IsWindowVisible() && field->IsWindowEnabled();
        });
        CWnd* target = to >= 0 ? GetDlgItem(ring[to]) : nullptr;
        if (!target) return 0;
        target->SendMessage(WM_EDIT_NAVIGATE, 0, 0);
        if (CWnd::GetFocus() != target) {
            target->SetFocus();
            static_cast<CEdit*>(target)->SetSel(0, -1);
        }
        return 0;
    }
    return 0;
}

LRESULT CTarvelDlg::OnEditStep(WPARAM channel, LPARAM)
{
    if (IsChannelParam(channel)) m_families.strips.ShowGainChange(static_cast<int>(channel));
    return 0;
}

LRESULT CTarvelDlg::OnEditCommit(WPARAM channel, LPARAM)
{
    if (IsChannelParam(channel) && m_families.strips.CommitGainField(static_cast<int>(channel)))
        SendMessage(WM_EDIT_STEP, channel, 0);
    return 0;
}

LRESULT CTarvelDlg::OnDelayChanged(WPARAM, LPARAM)
{
    m_families.strips.DelayChanged();
    return 0;
}

// ---------------------------------------------------------------------------
// Popups

LRESULT CTarvelDlg::OnSceneCommand(WPARAM command, LPARAM)
{
    switch (command) {
    case SCENE_LOAD_FROM_DEVICE: OnLoadFromDsp(); break;
    case SCENE_SAVE_TO_DEVICE: OnSaveToDsp(); break;
    case SCENE_LOAD_FROM_PC: OnLoadFromPc(); break;
    case SCENE_SAVE_TO_PC: OnSaveToPc(); break;
    default: break;
    }
    return 0;
}

LRESULT CTarvelDlg::OnSetupCommand(WPARAM command, LPARAM)
{
    switch (command) {
    case SETUP_FIRMWARE_UPGRADE: OnFirmwareUpgrade(); break;
    case SETUP_FACTORY_RESET: SendShortCommand(CMD_FACTORY_RESET); break;
    case SETUP_ABOUT: OnMenuAbout(); break;
    case SETUP_NO_SIGNAL_MUTE: SendNoSignalMuteToggle(); break;
    default: break;
    }
    return 0;
}

// The delay calculator's result: the channel's delay and the distance it
// remembers for the next run; the tied channels are left alone.
LRESULT CTarvelDlg::OnDelayCalculated(WPARAM channel, LPARAM distanceAndDelay)
{
    if (!IsChannelParam(channel)) return 0;
    const auto bits = static_cast<uint32_t>(distanceAndDelay);
    m_families.strips.SetCalculatedDelay(static_cast<int>(channel), static_cast<int>(bits & 0xFFFF));
    m_nSpeakerDistance[channel] = static_cast<int>(bits >> 16);
    return 0;
}

LRESULT CTarvelDlg::OnMixVolumeChanged(WPARAM volume, LPARAM)
{
    g_hiLevelMixVolume = static_cast<int>(volume);
    return 0;
}

void CTarvelDlg::OnClickedFile()
{
    CDialogFile scenes;
    scenes.DoModal();
}

// ---------------------------------------------------------------------------
// The preset file

void CTarvelDlg::OnSaveToPc()
{
    const std::wstring name = LoadResString(IDS_PRESET_FILE_NAME);
    const std::wstring filter = LoadResString(IDS_PRESET_FILE_FILTER);
    const std::wstring title = LoadResString(IDS_PRESET_SAVE_TITLE);
    CFileDialog dialog(FALSE, L"txt", name.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter.c_str(), this);
    dialog.m_ofn.lpstrTitle = title.c_str();
    if (dialog.DoModal() != IDOK) return;
    const std::vector<uint8_t> bytes = SavePresetFile(m_view);
    const FileWriteResult written = ReplaceFileBytes(WideToUtf8(dialog.GetPathName()), bytes.data(), bytes.size());
    if (written.status == FileWriteStatus::kReadOnly) {
        AfxMessageBox((dialog.GetPathName() + L"\n" + LoadResString(IDS_FILE_READ_ONLY)).c_str());
        return;
    }
    if (!written.Ok()) {
        std::wstring text = dialog.GetPathName() + L"\nThe file could not be written.";
        if (written.error != 0) text += L"\n" + Utf8ToWide(SystemErrorText(written.error));
        AfxMessageBox(text.c_str());
        return;
    }
    ShowStringBox(IDS_SAVE_SUCCESS);
}

void CTarvelDlg::OnLoadFromPc()
{
    CFileDialog dialog(TRUE, L"txt", nullptr, 0, L"(*.txt)|*.txt|(*.*)|*.*||", this);
    if (dialog.DoModal() != IDOK) return;
    std::vector<uint8_t> bytes;
    if (ReadRegularFile(WideToUtf8(dialog.GetPathName()), &bytes, kPresetFileMaxBytes) != FileReadResult::kOk) {
        AfxMessageBox((dialog.GetPathName() + L"\nThe file could not be read.").c_str());
        return;
    }
    const PresetLoadResult result = LoadPresetFile(bytes, m_view);
    if (result.messageId != 0) ShowStringBox(result.messageId);
}

// ---------------------------------------------------------------------------
// Refreshers

int CTarvelDlg::GetControlSourceGroup(int controlId) const
{
    const int cell = IndexOfId(&g_routeLabelId[0][0], kChannels * kInputs, controlId);
    return cell < 0 ? 0 : RoutingMatrix::SourceGroupOf(cell % kInputs, g_deviceModel);
}
