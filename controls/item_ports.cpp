#include "controls/item_ports.h"

std::wstring CDlgItemText::GetText() const
{
    std::wstring text;
    dlg->GetDlgItemText(id, text);
    return text;
}

void CDlgItemText::SetText(const std::wstring& text) { dlg->SetDlgItemText(id, text); }

void CDlgItemText::SelectAll()
{
    if (auto* edit = static_cast<CEdit*>(dlg->GetDlgItem(id))) edit->SetSel(0, -1);
}

void CDlgItemText::SetFocus()
{
    if (CWnd* w = dlg->GetDlgItem(id)) w->SetFocus();
}

CDlgItemText& CDlgItems::Text(int id)
{
    CDlgItemText& t = m_texts[id];
    t.dlg = &m_dlg;
    t.id = id;
    return t;
}

void CDlgItems::Invalidate(int id)
{
    if (CWnd* w = m_dlg.GetDlgItem(id)) w->Invalidate(TRUE);
}
