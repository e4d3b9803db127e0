// The shared propagation rule: a changed value of g_selectedChannel goes to
// every member of the first link group holding it, else to its bridged
// partner while the pair's flag is 1.
#pragma once

void PropagateEqFreq(int band);
void PropagateEqGain(int band);
void PropagateEqQ(int band);
void PropagateHpFreq();
void PropagateLpFreq();

// First link group (index order) whose mask holds the channel, or -1.
int LinkGroupOf(int channel);
