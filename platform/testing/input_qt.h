// Qt side of the test input, for this library's own sources.
#pragma once

#include <QPointF>
#include <QWidget>

// What the windowing system does before a left press reaches w at local (a
// sent event is not spontaneous, so Qt does not do it for a test's press):
// the first enabled widget from w up to its window that takes the focus by
// a click gets it.
void GiveClickFocus(QWidget* w, const QPointF& local);
