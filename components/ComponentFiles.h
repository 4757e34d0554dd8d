#pragma once
// Readers of the two component file kinds: "S2P" (one component, a
// Touchstone two-port with a header of component keys) and "FLP" (any
// number of components, each with its own header).

#include <cstdint>
#include <filesystem>
#include <string>

#include "LineReader.h"
#include "Interaction.h"

namespace vantor {

class CSParameterDB;

/// Reads one "S2P" file and offers its set to the database. Returns the
/// number of sets added (0 or 1). Progress goes to the upper bar of ui:
/// range = file length, value = bytes read.
int ReadS2pFile(const std::filesystem::path& path, CSParameterDB& db, Interaction& ui);

/// Reads one "FLP" file; returns the number of sets added.
int ReadFlpFile(const std::filesystem::path& path, CSParameterDB& db, Interaction& ui);

/// The same readers on any byte source; fileName names the data in messages
/// and gives the "S2P" set its name; totalBytes is the progress range.
int ReadS2pData(ByteSource& source, const std::string& fileName, std::uint64_t totalBytes, CSParameterDB& db,
                Interaction& ui);
int ReadFlpData(ByteSource& source, const std::string& fileName, std::uint64_t totalBytes, CSParameterDB& db,
                Interaction& ui);

/// The set name an "S2P" file gives: its name without folder up to the
/// first ".".
std::string SetNameFromFileName(const std::string& fileName);

/// Messages of the readers, exactly as shown.
std::string MessageCannotOpen(const std::string& file, unsigned error);
std::string MessageFormatUnsupported(const std::string& file);
std::string MessageS2pReference(const std::string& file);
std::string MessageFlpReference(const std::string& set, const std::string& file);
std::string MessageUnexpectedEnd(const std::string& file);
std::string MessageBadDataLine(const std::string& file, int line);
std::string MessageFrequencyOrder(const std::string& file, int line);
std::string MessageBadPointCount(const std::string& file, int line);
std::string MessageLineTooLong(const std::string& file, int line);

}  // namespace vantor
