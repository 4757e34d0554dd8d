#pragma once
// On Linux Qt names a combo box by its current text, so a screen reader
// hears "------" ten times on the main form instead of "C1" … "C10". This
// interface names a combo box by its accessible name, where it has one,
// and keeps the text as its value.

namespace vantor::ui {

/// Makes every combo box created from now on speak its accessible name;
/// safe to call more than once.
void InstallNamedComboAccessible();

}  // namespace vantor::ui
