// Reads a whole file into memory in one call: the one reader of the asset
// loaders (scenes, archetypes, effects, images). Stateless; any thread.
#pragma once
#include <cstddef>
#include <string>

enum class FileRead { Ok, CannotOpen, CannotRead, TooLarge };

// *bytes := the file's contents. limit: the most bytes accepted, 0 for no
// limit. A folder opens but cannot be read. *errorNumber (optional) gets the
// errno-style code of a failure (EFBIG for TooLarge), 0 on success.
FileRead ReadWholeFile(const std::string& path, std::size_t limit, std::string* bytes, int* errorNumber = nullptr);
