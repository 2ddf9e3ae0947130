#pragma once

// What one transfer between the session and the window carries, and the small widget helpers
// the transfers and the composite rows share. Internal to the configuration model.

#include "config/catalog.h"
#include "config/conversions.h"

#include <QString>

class QWidget;

namespace config {

struct WindowState;

} // namespace config

namespace ui {
class FormView;
}

namespace config {

struct Transfer
{
    Transfer(ui::FormView& view, WindowState& state);

    ui::FormView& view;
    WindowState& state;
    Converter conv;
    // Whether the window can represent the configuration (a show clears it).
    bool decodable = true;
    // A store: a written reference row has its impulse-to-memory box checked.
    bool memoryImpulse = false;
};

// A pattern with every '#' replaced by the number.
QString resolve(const char* pattern, int number);

bool checked(const QWidget* box);
void setChecked(QWidget* box, bool on);
// The selected item of a combo box; -1 for anything else.
int indexOf(const QWidget* box);
// Selects an item of a combo box when it has one of that index.
void select(QWidget* box, int index);
QString textOf(const QWidget* box);

// An aux output whose type is LED speaks of percent, the others of volts.
bool ledOutput(const ui::FormView& view, int output);

// A simple row into its control, and back.
void showRow(Transfer& t, const Row& row, const QString& name, QWidget* control, bool fromDefaults, bool led = false);
void storeRow(Transfer& t, const Row& row, const QString& name, const QWidget* control, bool led = false);

// A composite row: each kind's own rule. prefix is the reference prefix ("ref" + N + "_") of a
// reference row and empty otherwise; index is the reference row or aux output (1-4), or 0.
void showComposite(Transfer& t, const Row& row, const QString& prefix, int index);
void storeComposite(Transfer& t, const Row& row, const QString& prefix, int index);

} // namespace config
