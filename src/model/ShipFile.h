// Reading and writing ship files by path.
#pragma once

#include <string>

class CShipModel;

// Both take the ship's lock (platform/ShipLock.h): a read waits for a save
// through any name of the file, and a save for the reads.

// Replaces the model with the file's contents. On failure (CFileException)
// the model is left empty; a path that is not a regular file is refused
// before anything is read.
void LoadShipFile(CShipModel& model, const std::string& path);

// Writes the model to a temporary file beside path and renames it over path
// only when every byte is on disk, so a failed save leaves the previous file
// as it was (WriteFileAtomically: links followed, hard links kept, mode and
// owner kept). A path that is not a regular file, or a ship file without
// write permission ("ship file is read-only"), is refused with nothing written.
void StoreShipFile(const CShipModel& model, const std::string& path);
