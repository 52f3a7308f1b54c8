#pragma once
// The ".psf" file: exactly twelve bytes, the selection mask and a 0x00.
#include <QString>
#include <optional>

#include "core/PsFieldMask.h"

class QIODevice;

// Writes the twelve bytes; true only when every byte went out.
bool WritePsFieldBytes(QIODevice& device, const TPsFieldBytes& bytes);
// Creates (or empties) the file and writes it whole; false on any failure.
bool WritePsFieldFile(const QString& name, const TPsFieldBytes& bytes);
// The first twelve bytes of the file; nothing when it cannot be opened or read,
// is a folder, or holds fewer.
std::optional<TPsFieldBytes> ReadPsFieldFile(const QString& name);
