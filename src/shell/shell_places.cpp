#include "shell_places.h"

#include "app_paths.h"
#include "instance_registry.h"

namespace captivo {

ShellPlaces ShellPlaces::ForThisProcess() {
  return {ExecutableFolder(), UserFolder("XDG_CONFIG_HOME", ".config"),
          UserFolder("XDG_CACHE_HOME", ".cache"), InstanceRegistry::DefaultFolder()};
}

}  // namespace captivo
