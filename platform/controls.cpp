// What the standard controls share: the wiring of each kind's notifications
// and the window text of every kind. Each kind's API, Qt host and signals are
// in a unit of its own (controls_*.cpp).
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "platform/controls_qt.h"

void ConnectControlSignals(WndCore* c)
{
    switch (c->kind) {
    case WndKind::Edit: ConnectEditSignals(c); break;
    case WndKind::Button:
    case WndKind::CheckBox:
    case WndKind::Radio: ConnectButtonSignals(c); break;
    case WndKind::ComboBox: ConnectComboSignals(c); break;
    case WndKind::Slider: ConnectSliderSignals(c); break;
    default: break;
    }
}

void SetCoreText(WndCore* c, const std::wstring& text)
{
    c->text = text;
    QWidget* w = c->widget;
    if (!w) return;
    const QString q = ToQ(text);
    switch (c->kind) {
    case WndKind::Dialog: w->setWindowTitle(q); break;
    case WndKind::Edit: static_cast<QLineEdit*>(w)->setText(q); break;
    case WndKind::Button:
    case WndKind::CheckBox:
    case WndKind::Radio: static_cast<QAbstractButton*>(w)->setText(q); break;
    case WndKind::GroupBox: static_cast<QGroupBox*>(w)->setTitle(q); break;
    case WndKind::Static: {
        auto* l = static_cast<QLabel*>(w);
        if (l->pixmap().isNull()) l->setText(StaticDisplayText(c, text));
        break;
    }
    case WndKind::ComboBox: {
        auto* box = static_cast<QComboBox*>(w);
        if (box->isEditable()) box->setEditText(q);
        break;
    }
    default: break;
    }
    w->update();
}

std::wstring GetCoreText(const WndCore* c)
{
    QWidget* w = c->widget;
    if (!w) return c->text;
    switch (c->kind) {
    case WndKind::Edit: return FromQ(static_cast<QLineEdit*>(w)->text());
    case WndKind::ComboBox: return FromQ(static_cast<QComboBox*>(w)->currentText());
    default: return c->text;
    }
}
