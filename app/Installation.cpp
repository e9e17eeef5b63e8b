#include "Installation.h"

#include "UserFolders.h"

#include <fstream>
#include <stdexcept>

namespace {
const char* const PROGRAM = "barrels";

bool fileExists(const std::string& path)
{
    return std::ifstream(path).good();
}
} // namespace

bool findInstallation(Installation& installation)
{
    const std::string bin = executableFolder();
    if (bin.empty() || !fileExists(bin + BARRELS_SHARE_FROM_BIN "resources_d.cfg"))
        return false;
    installation.share = bin + BARRELS_SHARE_FROM_BIN;
    installation.config = userFolder(UserFolder::Config, PROGRAM);
    installation.state = userFolder(UserFolder::State, PROGRAM);
    installation.data = userFolder(UserFolder::Data, PROGRAM);

    // The engine's dialog starts from the preset settings until the player accepts it once.
    const std::string settings = installation.config + "ogre.cfg";
    if (!fileExists(settings)) {
        std::ifstream preset(installation.share + "ogre.cfg", std::ios::binary);
        std::ofstream copy(settings, std::ios::binary);
        if (!(copy << preset.rdbuf()))
            throw std::runtime_error("cannot write " + settings);
    }
    return true;
}
