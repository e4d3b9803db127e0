#include "dialogs/presetslots.h"

#include <cstring>

#include "platform/codepage.h"
#include "platform/resources.h"
#include "res/resource.h"

PresetNames DecodePresetNames(const PresetNameRecords& records)
{
    PresetNames names;
    for (size_t i = 0; i < names.size(); ++i) names[i] = DecodeAnsi(records[i], kNameRecordBytes);
    return names;
}

void FillSlotCombo(CComboBox& combo)
{
    combo.AddString(LoadResString(IDS_SLOT_DEFAULT).c_str());
    for (int slot = 1; slot < kPresetSlotChoices; ++slot) combo.AddString(std::to_wstring(slot).c_str());
}

void CopyPresetNameRecords(PresetNameRecords& out)
{
    for (size_t i = 0; i < kPresetSlots; ++i) {
        const auto bytes = g_presetNames[i].Get();
        std::memcpy(out[i], bytes.data(), kNameRecordBytes);
    }
}
