#include "UserFolders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string homeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    const passwd* user = getpwuid(getuid());
    if (user && user->pw_dir)
        return user->pw_dir;
    throw std::runtime_error("cannot find the home folder: HOME is not set");
}

// The base folder of a kind: the variable when it holds an absolute path (relative ones are to be
// ignored), otherwise the default below the home folder.
std::string baseFolder(UserFolder kind)
{
    const char* variable = kind == UserFolder::Config  ? "XDG_CONFIG_HOME"
                           : kind == UserFolder::State ? "XDG_STATE_HOME"
                                                       : "XDG_DATA_HOME";
    const char* fallback = kind == UserFolder::Config  ? "/.config"
                           : kind == UserFolder::State ? "/.local/state"
                                                       : "/.local/share";
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return value;
    return homeFolder() + fallback;
}

// mkdir -p; new folders are private to the user, as the base-directory convention asks.
void makeFolders(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            throw std::runtime_error("cannot create the folder " + part + ": " + std::strerror(errno));
        if (slash == std::string::npos)
            break;
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw std::runtime_error("cannot use the folder " + path + ": it is not a folder");
    if (access(path.c_str(), W_OK) != 0)
        throw std::runtime_error("cannot write into the folder " + path + ": " + std::strerror(errno));
}

} // namespace

std::string userFolder(UserFolder kind, const std::string& program)
{
    const std::string folder = baseFolder(kind) + "/" + program;
    makeFolders(folder);
    return folder + "/";
}

std::string executableFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "";
    const std::string executable(path, static_cast<std::size_t>(length));
    return executable.substr(0, executable.rfind('/') + 1);
}
