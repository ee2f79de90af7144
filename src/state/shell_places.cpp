#include "shell_places.h"

#include "app_paths.h"
#include "instance_registry.h"

namespace captivo {

ShellPlaces ShellPlaces::ForThisProcess() {
  return {ExecutableFolder(), UserFolder("XDG_CONFIG_HOME", ".config"),
          InstanceRegistry::DefaultFolder(), UserFolder("XDG_STATE_HOME", ".local/state")};
}

}  // namespace captivo
