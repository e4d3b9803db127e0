// The master volume field of the main window and the settings dialog's
// high-level mix volume field.
#pragma once

#include "fields/editfield.h"

// Edits g_masterVolume (whole dB of attenuation, 60 "OFF") itself, keeps
// the master slider at it and the master mute state with it: the mute
// follows the volume when a step key is released, after a wheel notch and
// after Enter. No focus navigation: Left and Right move the caret.
class CEditSystemVol : public EditField {
public:
    // The master slider and mute button the field keeps in step.
    void SetControls(CSliderCtrl* slider, CButton* muteButton)
    {
        m_pSlider = slider;
        m_pMuteButton = muteButton;
    }
    CSliderCtrl* GetSlider() const { return m_pSlider; }
    CButton* GetMuteButton() const { return m_pMuteButton; }

    // At 60 the master mute bit is set and the button reads muted; below
    // 60 a set bit is cleared and the button reads unmuted.
    void UpdateMuteButton();
    void UpdateText();

protected:
    bool StepValue(StepDirection direction) override;
    void ShowStep(bool byWheel) override;
    void CommitEnter() override;
    void OnEnterReleased() override;
    void OnStepKeyReleased() override { UpdateMuteButton(); }

private:
    void MoveSlider();

    CSliderCtrl* m_pSlider = nullptr;
    CButton* m_pMuteButton = nullptr;
};

// Holds nothing: steps (WM_EDIT_STEP with VK_UP or VK_DOWN), Enter and focus
// loss (WM_EDIT_COMMIT (0, 0)) go to the parent dialog, which owns the value
// and rewrites the text.
class CEditVol : public EditField {
protected:
    bool StepValue(StepDirection direction) override;
    void ShowStep(bool) override {}
    void CommitEnter() override;
    void OnEnterReleased() override {}
    void OnFocusLost() override;
};
