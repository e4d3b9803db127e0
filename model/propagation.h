// The shared propagation rule: a changed value of g_selectedChannel goes to
// every member of the first link group holding it, else to its bridged
// partner while the pair's flag is set. Link groups beat bridges.
#pragma once

#include <cstdint>

#include "model/model_view.h"
#include "model/ports.h"

// Copy band `band` (or the crossover frequency) of g_selectedChannel to the
// channels tied to it. They write only that array: step cursors and the
// graph copies of the receivers stay as they were.
void PropagateEqFreq(int band);
void PropagateEqGain(int band);
void PropagateEqQ(int band);
void PropagateHpFreq();
void PropagateLpFreq();
// PropagateEqGain after the user set the band's gain of g_selectedChannel
// (typed, stepped, slider, graph): on every channel that took it, a gain
// other than 0 dB ends the band's flattened state, so that BypassEQ keeps
// the new gain and not an older kept one.
void PropagateEqGainByHand(int band);

// First link group (index order) whose mask holds the channel, or -1.
int LinkGroupOf(int channel);
// The other channel of the channel's output pair (CH1/CH2 .. CH11/CH12).
int BridgePartnerOf(int channel);
// Mask of the channels that receive a value of `channel` by the rule: the
// first group holding it, else its bridged pair, else the channel alone.
int TiedChannels(int channel);

// The Link button of channel k, called with 1 << k: dissolves the group k
// leads, takes k out of the group it is a member of, or, after the copy
// question, adds k to the selected channel's group or makes a new group led
// by the selected channel.
void EditLinkGroup(IModelView& view, int channelBit);
// Copies the leader's crossovers, gain and equaliser to every other member
// of group g and refreshes their strips.
void CopyToLinkGroup(IModelView& view, int group);
// Mutes (mute == 1) or restores the other members of the channel's link
// group. 1 when a group holds the channel, 0 (nothing changed) otherwise.
uint8_t MuteLinkGroup(IModelView& view, int channel, uint8_t mute);
// Switches the band of g_selectedChannel and its tied channels between 0 dB
// and the kept gain. The caller rewrites the band's text and slider.
void ToggleBandBypass(int band);
// BypassEQ: every band of every channel to 0 dB with its gain kept, or,
// when all are at 0 dB already, every kept gain back. A band still
// flattened by a bypass or an earlier BypassEQ keeps the gain kept for it.
void ToggleBypassAllBands();
// The band gain slider moved: store, propagate, and write, select and focus
// the band's gain field (control id gainFieldId).
void ApplyBandGainSlider(IModelView& view, int band, const ISlider& slider, int gainFieldId);
