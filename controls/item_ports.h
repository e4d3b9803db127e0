// Controls of a dialog as the model's and the families' ports: a control by
// id as a text or edit field, a trackbar as a slider.
#pragma once

#include <map>
#include <string>

#include "model/model_view.h"
#include "model/ports.h"
#include "platform/platform.h"

// A control of a dialog by id, seen as a text or an edit field. Calls on a
// control the dialog does not have do nothing (GetText gives "").
class DlgItemText final : public IEditControl {
public:
    CWnd* dlg = nullptr;
    int id = 0;
    std::wstring GetText() const override;
    void SetText(const std::wstring& text) override;
    void SelectAll() override;
    void SetFocus() override;
};

// A trackbar seen as the model's slider.
class SliderPort final : public ISlider {
public:
    CSliderCtrl* slider = nullptr;
    int GetPos() const override { return slider->GetPos(); }
    void SetPos(int pos) override { slider->SetPos(pos); }
    void Invalidate() override { slider->Invalidate(TRUE); }
};

// The text ports of one dialog's controls, one per id, made on first use so
// that the references handed out stay valid and distinct.
class DlgItems {
public:
    explicit DlgItems(CWnd& dlg) : m_dlg(dlg) {}
    DlgItems(const DlgItems&) = delete;
    DlgItems& operator=(const DlgItems&) = delete;

    DlgItemText& Text(int id);
    // Repaints the control (with erase); nothing when the dialog lacks it.
    void Invalidate(int id);
    CWnd& Dialog() { return m_dlg; }

private:
    CWnd& m_dlg;
    std::map<int, DlgItemText> m_texts;
};
