#include "output_file.h"

#include <stdio.h>

#ifdef _WIN32

// The Windows build of the replay tool writes traces for the tests only: in place.
bool
PrepareOutput(const std::string& path, OutputFile* output, std::string* reason)
{
    reason->clear();
    output->path = output->writePath = path;
    output->finalPath.clear();
    return !path.empty();
}

#else

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string
Folder(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Follows symbolic links to the path that really gets written, which need not
// exist yet. False for a loop.
bool
ResolveLinks(std::string path, std::string* resolved)
{
    for (int hops = 0; hops < 40; hops++) {
        char target[PATH_MAX];
        ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length < 0) {
            *resolved = path;
            return errno == EINVAL || errno == ENOENT;
        }
        target[length] = '\0';
        path = target[0] == '/' ? std::string(target) : Folder(path) + "/" + target;
    }
    return false;
}

}

bool
PrepareOutput(const std::string& path, OutputFile* output, std::string* reason)
{
    output->path = path;
    output->writePath = path == "-" ? "/dev/stdout" : path;
    output->finalPath.clear();
    reason->clear();
    if (path == "-")
        return true;
    std::string target;
    if (path.empty() || !ResolveLinks(path, &target))
        return false;
    struct stat status;
    mode_t mode;
    if (stat(target.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            *reason = ": it is a folder";
            return false;
        }
        if (!S_ISREG(status.st_mode))
            return true;
        mode = status.st_mode & 07777;
    } else {
        if (errno != ENOENT)
            return false;
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    // The temporary shares the target's folder, so the rename never crosses
    // file systems.
    std::string temporary = target + ".partial-XXXXXX";
    int descriptor = mkstemp(&temporary[0]);
    if (descriptor < 0)
        return false;
    bool ready = fchmod(descriptor, mode) == 0;
    ready = close(descriptor) == 0 && ready;
    if (!ready) {
        unlink(temporary.c_str());
        return false;
    }
    output->writePath = temporary;
    output->finalPath = target;
    return true;
}

#endif

bool
CommitOutput(const OutputFile& output)
{
    if (output.finalPath.empty() || rename(output.writePath.c_str(), output.finalPath.c_str()) == 0)
        return true;
    AbandonOutput(output);
    return false;
}

void
AbandonOutput(const OutputFile& output)
{
    if (!output.finalPath.empty())
        remove(output.writePath.c_str());
}
