// Reading and writing ship files by path.
#pragma once

#include <string>

class CShipModel;

// Replaces the model with the file's contents. On failure (CFileException)
// the model is left empty.
void LoadShipFile(CShipModel& model, const std::string& path);

// Writes the model to a temporary file beside path and renames it over path
// only when every byte is on disk, so a failed save leaves the previous file
// as it was.
void StoreShipFile(const CShipModel& model, const std::string& path);
