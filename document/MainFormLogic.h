#pragma once
// What the main form decides beside the document's own operations: the
// transfer state of the path to the filter, the mapping of the slots C1..C10
// onto a group's list, the value lists of the slot combos, the choke list,
// the Fmax field and the guard of the choke search. The desktop form and
// the command-line tool both call these, so they show the same thing.

#include <array>
#include <string>
#include <vector>

#include "CVtrDoc.h"
#include "FieldCheck.h"

namespace vantor {

/// The transfer state the main form stores (colour of the path to "C-Gruppe").
enum TransferState : std::int32_t {
    kNothingTransferred = 0,    // red
    kChangedSinceTransfer = 1,  // yellow
    kTransferred = 2,           // green
};

/// Shown when the choke search runs before a group reached the filter.
inline constexpr const char* kMessageTransferFirst = "Bitte zuerst Daten in die Filterberechnung transferieren!";
/// The only entry of the choke list when there is no candidate.
inline constexpr const char* kNoChokeEntry = "**  nicht verfügbar  **";
/// Text of a slot without a capacitor.
inline constexpr const char* kEmptySlot = "------";
/// Number of value slots on the form.
inline constexpr int kSlotCount = 10;

using SlotTexts = std::array<std::string, kSlotCount>;

/// List element shown in slot Ck (1..10) of a group of n capacitors: C1 is
/// the last element, Cn the first capacitor.
int SlotElement(int n, int k);
/// List position at which "Neu" of slot k inserts into a group of n
/// capacitors: |k - n|, or 1 when that is 0 (the first free slot then
/// shows the new capacitor).
int InsertPosition(int n, int k);
/// The slot texts of a group (FormatValue, or exact texts that read back
/// unchanged); slots without a capacitor, or all for no group, show "------".
SlotTexts GroupSlotTexts(const CCGroup* group, bool exact = false);

/// ">> + >>": a new group from the optimisation result, made current;
/// the transfer state becomes 1. Null when the board has no active plane.
const CCGroup* NewGroupFromForm(CVtrDoc& doc);
/// The slot texts into the current group after the form's checks (slot
/// values, then the filter fields); the transfer state becomes 1. Returns
/// the first refused field, the document unchanged.
FieldCheck WriteSlotValues(CVtrDoc& doc, const SlotTexts& slotTexts);
/// ">>>": the current group into the filter; the transfer state becomes 2.
/// False when there is no current group with capacitors.
bool TransferToFilter(CVtrDoc& doc);
/// The capacitor-properties command; a reported change resets the
/// transfer state to 0.
bool EditDefaultPackage(CVtrDoc& doc, CapacitorDialog& dialog);
/// Why the choke search may not run yet (kMessageTransferFirst), or empty.
std::string ChokeSearchRefusal(const CVtrDoc& doc);

/// One slot combo's list: the series from 22uF down to 10pF with the
/// slot's value at its place, marked " *" when it is not a series value.
struct ValueComboList {
    std::vector<std::string> entries;  // empty for an empty slot
    int selected = 0;                  // the entry of the slot's value
};
/// The list of a combo whose text is slotText, for E6 (e6) or E12.
ValueComboList BuildValueComboList(const std::string& slotText, bool e6);

/// "%s (%s)" of name and part number, or the name alone.
std::string ChokeLabel(const CSParaSet& set);
/// The choke list of the form: entries sorted by text, each with its
/// candidate index; the selected entry holds the chosen candidate (the
/// first entry when none does) and its maker, type and package.
struct ChokeList {
    struct Entry {
        std::string text;
        int candidate = -1;  // index into the filter's candidates; -1 for "nicht verfügbar"
    };
    std::vector<Entry> entries;
    int selected = 0;
    std::string maker, type, package;
};
ChokeList BuildChokeList(const CFilter& filter);
/// Index of the candidate of that name, or -1.
int FindCandidate(const CFilter& filter, const std::string& name);

/// The upper frequency the optimised group reaches, Hz: scanning upwards
/// from 1 kHz to its fo, the end of the first band in which |Z| stays at or
/// below the upper limit line; fo itself when |Z| stays there up to fo. 0
/// when |Z| never gets below the line, the group holds no capacitor or fo
/// is not positive. Shown as "Fmax:" on the main form and by the
/// frequency-range dialog.
double ReachedFmax(const CCGroup& optimised);
/// The "Fmax:" field: FormatValue(Fmax, "Hz"), at most "3GHz".
std::string FmaxFieldText(double fmax);

}  // namespace vantor
