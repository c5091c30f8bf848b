// One asset folder (or a file name taken apart): the folder relative to its
// base folder, the extension its files carry, and the last directory listing.
// A plain reflected structure ("FilePath": "path" and "extension"). Paths are
// read with '\' or '/' and composed with '/'. Main thread only.
#pragma once
#include <string>
#include <vector>

#include "reflection/MemberList.h"

class FilePath {
public:
    // Empty; the first construction registers the reflected members.
    FilePath();

    static void Reflect(MemberList<FilePath>& members);

    // base folder + path + name + extension, with '/' between base folder,
    // folder and name where none stands; every '\' becomes '/'. Nothing is
    // checked against the file system.
    std::string GetFullPath(const std::string& name) const;
    // GetFullPath, then the existing file whose name differs only in letter
    // case when none is found as written ("Beep.WAV" for "Beep.wav").
    std::string FindFullPath(const std::string& name) const;
    // The file a full path names, as the asset caches key it: the path as
    // found on disk (letter case folded as FindFullPath does) with ".", ".."
    // and repeated separators folded and symbolic links followed, so every
    // spelling of one file ("Sky.dds", "./Sky.dds", ".//SKY.dds") gives one
    // text. "" when no such file exists.
    static std::string FileIdentity(const std::string& fullPath);
    // Takes a file name apart: path := everything up to and including the
    // last separator, extension := the last component's text from its last
    // '.', returns the bare name between them. GetFullPath(Split(f)) == f
    // (with '/' separators) while the base folder is empty. An empty name
    // changes nothing and returns "".
    std::string Split(const std::string& fileName);
    // fileNames := the names (without extension) of the folder's regular
    // files (or symlinks to one) whose names end in the extension (letter
    // case ignored, as the original platform does), sorted. FIFOs, devices,
    // sockets and folders with such names are left out with a log row. The
    // folder's name is folded in letter case when it is not found as written.
    // A folder that cannot be read logs a row naming it and leaves the list
    // empty (one that fails half-way keeps what was read); returns false then.
    bool ListDirectory();

    std::string extension;               // with its dot; may be empty
    std::string path;                    // folder, ending with its separator
    std::string baseFolder;              // working directory + '/' for asset folders
    std::vector<std::string> fileNames;  // last ListDirectory
};
