#include "controls/item_ports.h"

std::wstring DlgItemText::GetText() const
{
    std::wstring text;
    dlg->GetDlgItemText(id, text);
    return text;
}

void DlgItemText::SetText(const std::wstring& text) { dlg->SetDlgItemText(id, text); }

void DlgItemText::SelectAll()
{
    if (auto* edit = static_cast<CEdit*>(dlg->GetDlgItem(id))) edit->SetSel(0, -1);
}

void DlgItemText::SetFocus()
{
    if (CWnd* w = dlg->GetDlgItem(id)) w->SetFocus();
}

DlgItemText& DlgItems::Text(int id)
{
    DlgItemText& t = m_texts[id];
    t.dlg = &m_dlg;
    t.id = id;
    return t;
}

void DlgItems::Invalidate(int id)
{
    if (CWnd* w = m_dlg.GetDlgItem(id)) w->Invalidate(TRUE);
}
