// Reads a whole file into memory in one call: the one reader of the asset
// loaders (scenes, archetypes, the start-up file, effects, images, models),
// and the opening check of the readers that open files themselves (sounds,
// fonts). Only regular files are read: FIFOs, devices, sockets and folders
// (also behind symlinks) are refused at once, without blocking and without
// reading a byte. Stateless; any thread.
#pragma once
#include <cstddef>
#include <string>

enum class FileRead { Ok, CannotOpen, CannotRead, TooLarge, NotRegular };

// *bytes := the file's contents. limit: the most bytes accepted, 0 for no
// limit; a file whose size is over it is refused before anything is read.
// *errorNumber (optional) gets the errno-style code of a failure (EFBIG for
// TooLarge, ENODEV for NotRegular), 0 on success.
FileRead ReadWholeFile(const std::string& path, std::size_t limit, std::string* bytes, int* errorNumber = nullptr);

// Opens a regular file of at most `limit` bytes (0: any size) for reading;
// returns the descriptor (close-on-exec, blocking reads), which the caller
// closes, or -1 with *result and *errorNumber (optional) saying why.
int OpenRegularFile(const std::string& path, std::size_t limit, FileRead* result, int* errorNumber = nullptr);

// One line for the user about a failed read, naming the file: why it could
// not be read, or for TooLarge the limit it went over ("... is larger than
// 4 MiB, the most read for this kind of file").
std::string FileReadErrorText(FileRead result, const std::string& path, std::size_t limit, int errorNumber);

// "4 MiB", "512 KiB", "100 bytes": a byte count in the largest unit that
// divides it.
std::string ByteCountText(std::size_t bytes);
