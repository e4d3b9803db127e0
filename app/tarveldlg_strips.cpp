// The main window's handlers of the channel strips, the master volume and
// the Link and curve buttons: each forwards to its control family.
#include "app/tarveldlg.h"
#include "fields/field_messages.h"
#include "model/propagation.h"

void CTarvelDlg::OnKillFocusGainCh(int channel) { SendMessage(WM_EDIT_COMMIT, static_cast<WPARAM>(channel), 0); }

void CTarvelDlg::OnClickedPhaseCh(int channel) { m_families.strips.ClickPhase(channel); }

void CTarvelDlg::OnClickedMuteCh(int channel) { m_families.strips.ClickMute(m_view, channel); }

void CTarvelDlg::OnClickedSelectCh(int channel) { m_families.strips.Select(m_view, channel); }

void CTarvelDlg::OnDoubleClickedSelectCh(int channel) { RenameChannel(channel); }

void CTarvelDlg::OnKillFocusDelayCh(int channel) { m_families.strips.CommitDelayField(channel); }

void CTarvelDlg::OnClickedDelayUnitCh(int /*channel*/) { m_families.strips.ToggleDelayUnit(); }

// Every notification of a slider re-reads its position and repeats the
// whole reaction; the scroll code and position are not used.
void CTarvelDlg::OnVScroll(UINT code, UINT pos, CWnd* scrollBar)
{
    const HWND sender = scrollBar ? scrollBar->m_hWnd : nullptr;
    if (sender) {
        for (int c = 0; c < kChannels; ++c) {
            if (m_sliderChGain[c].m_hWnd != sender) continue;
            m_families.strips.MoveGainSlider(c);
            CDialogEx::OnVScroll(code, pos, scrollBar);
            return;
        }
        if (m_sliderSystemVol.m_hWnd == sender) {
            m_families.strips.MoveMasterSlider();
        } else {
            for (int b = 0; b < kBands; ++b) {
                if (m_sliderFreqGain[b].m_hWnd != sender) continue;
                SliderPort slider;
                slider.slider = &m_sliderFreqGain[b];
                ApplyBandGainSlider(m_view, b, slider, g_bandGainEditId[b]);
                break;
            }
        }
    }
    CDialogEx::OnVScroll(code, pos, scrollBar);
}

void CTarvelDlg::OnClickedSysMute() { m_families.strips.ClickMasterMute(); }

void CTarvelDlg::OnKillFocusSystemVol() { m_families.strips.CommitMasterField(); }

void CTarvelDlg::OnClickedLinkCh(int channel) { m_families.links.ClickLink(m_view, channel); }

void CTarvelDlg::OnClickedCurveCh(int channel) { m_families.links.ClickCurve(channel); }
