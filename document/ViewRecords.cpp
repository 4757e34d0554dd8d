#include "ViewRecords.h"

#include "Interaction.h"

namespace vantor {

inline constexpr const char* kUnknownVersion = "Dateiversion unbekannt!";

void MainFormState::Write(CArchive& ar) const {
    ar.WriteInt32(1);
    ar.WriteByte(e6 ? 1 : 0);
    ar.WriteInt32(graphChoiceB);
    ar.WriteInt32(graphChoiceC);
    ar.WriteInt32(graphChoiceA);
    ar.WriteInt32(transferState);
    ar.WriteText(currentGroupName);
}

bool MainFormState::Read(CArchive& ar, Interaction&) {
    const std::int32_t version = ar.ReadInt32();
    if (version != 1)
        throw ArchiveError("Unbekannte Version " + std::to_string(version) + " des Datensatzes des Hauptformulars");
    MainFormState read;
    read.e6 = ar.ReadByte() != 0;
    read.graphChoiceB = ar.ReadInt32();
    read.graphChoiceC = ar.ReadInt32();
    read.graphChoiceA = ar.ReadInt32();
    read.transferState = ar.ReadInt32();
    read.currentGroupName = ar.ReadText();
    *this = read;
    return true;
}

void GraphViewRecord::Write(CArchive& ar) const {
    ar.WriteInt32(1);
    ar.WriteDouble(firstFrequency);
    ar.WriteDouble(lastFrequency);
    ar.WriteDouble(frequencyStep);
    ar.WriteInt32(stepCount);
    for (std::uint32_t c : colours) ar.WriteDword(c);
}

bool GraphViewRecord::Read(CArchive& ar, Interaction& ui) {
    if (ar.ReadInt32() != 1) {
        ui.message(kUnknownVersion, MessageKind::Warning);
        return false;
    }
    GraphViewRecord read;
    read.firstFrequency = ar.ReadDouble();
    read.lastFrequency = ar.ReadDouble();
    read.frequencyStep = ar.ReadDouble();
    read.stepCount = ar.ReadInt32();
    for (std::uint32_t& c : read.colours) c = ar.ReadDword();
    *this = read;
    return true;
}

void LayerEditorRecord::Write(CArchive& ar) const {
    ar.WriteInt32(1);
    ar.WriteText(nameText);
}

bool LayerEditorRecord::Read(CArchive& ar, Interaction&) {
    const std::int32_t version = ar.ReadInt32();
    if (version != 1)
        throw ArchiveError("Unbekannte Version " + std::to_string(version) + " des Datensatzes des Layer-Editors");
    nameText = ar.ReadText();
    return true;
}

}  // namespace vantor
