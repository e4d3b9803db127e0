// The emulated amplifier's fault settings as command-line text, for the
// tool: NAME or NAME=VALUE.
//   spoil-page=K           EqUser page K is sent once with a wrong sum
//   pages=K,K,...          an EqUser read sends these pages, in this order
//   page-gap=MS            reply frames (pages among them) MS apart: a slow device
//   lose-page=K@N          EqUser page K is not sent in the device's Nth EqUser read
//   repeat-page=K:N        an EqUser read ends with page K N more times
//   save-done-copies=N     RSP_SAVE_DONE replies per save
//   save-done-at-connect=N RSP_SAVE_DONE replies before a session's first answer
//   silent-after-import    a session answers nothing after its EqUser2 read
#pragma once

#include <string>
#include <string_view>

#include "sim/device.h"

// Applies one setting to faults; false (faults unchanged) with the reason
// in error for an unknown name or a bad value.
bool ApplyFaultOption(std::string_view text, SimFaults& faults, std::string& error);
