// The decoders of an image the link has received, for the UI thread. A
// decode refreshes controls whose change notifications may run the
// synchronisation tick, which takes g_imageMutex: each decoder copies the
// image under the lock and decodes the copy outside it. The repairs of
// EqUser (gains above 600, a master volume above 60) go back into g_eqUser.
#pragma once

#include <cstdint>

#include "model/model_view.h"

void DecodeReceivedEqUser(IModelView& view);
// An EqUser received earlier (a recall's, kept until its EqUser2 is in):
// decoded, and g_eqUser becomes it with its repairs.
void DecodeEqUserBytes(IModelView& view, const uint8_t* eqUser);
void DecodeReceivedEqUser2(IModelView& view);
