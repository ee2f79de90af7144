#include "shell_places.h"

#include "app_paths.h"
#include "instance_registry.h"
#include "utf16_conversion.h"

namespace captivo {

ShellPlaces ShellPlaces::ForThisProcess() {
  return {ExecutableFolder(), UserFolder("XDG_CONFIG_HOME", ".config"),
          UserFolder("XDG_CACHE_HOME", ".cache"), InstanceRegistry::DefaultFolder(),
          UserFolder("XDG_STATE_HOME", ".local/state")};
}

std::vector<std::filesystem::path> ShellPlaces::TempSubtitleFolders() const {
  return captivo::TempSubtitleFolders(executableFolder, cacheFolder);
}

}  // namespace captivo
