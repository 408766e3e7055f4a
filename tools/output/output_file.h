// Where our tools write what they make. A regular file (or a path not there
// yet) is written under a temporary name beside it and renamed into place, so
// it only ever appears whole; through a symbolic link the link stays and its
// target gets the output. Anything else (a device, a FIFO, "-" for standard
// output) is written in place: renaming over it would destroy it.
#ifndef TARVELIMUNDE_OUTPUT_FILE_H
#define TARVELIMUNDE_OUTPUT_FILE_H

#include <string>

struct OutputFile {
    std::string path;       // as the user gave it, for messages
    std::string writePath;  // what to open for writing
    std::string finalPath;  // where the temporary goes; empty when written in place
};

// Checks the path and, for a regular file, makes the temporary. False for a
// folder, a missing folder or an unwritable place; the reason, when there is
// more to say than "cannot write", goes to *reason (": it is a folder").
bool PrepareOutput(const std::string& path, OutputFile* output, std::string* reason);
// Puts a finished output in place; on failure the temporary goes.
bool CommitOutput(const OutputFile& output);
// Removes the temporary of an output that failed; leaves in-place targets alone.
void AbandonOutput(const OutputFile& output);

#endif
