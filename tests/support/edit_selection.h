// Whether an edit control's whole text is selected, as a click or a step
// leaves it in an entry field.
#pragma once

#include "platform/controls.h"

inline bool WholeTextSelected(CEdit& edit)
{
    int start = -1;
    int end = -1;
    edit.GetSel(start, end);
    return start == 0 && end == edit.GetWindowTextLength();
}
