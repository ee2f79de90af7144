#pragma once

// The functions of a library the program loads at run time, listed once, each as
//   X(name, result, (parameters), (arguments), result when the library is missing)
// and expanded three times: into a table of pointers (CAPTIVO_FUNCTION_FIELD), into the
// lookup that fills it (CAPTIVO_FUNCTION_FIND, after `true`, with `library` the handle and
// `table` the table), and into C functions of the same names that call through the table
// that `Library()` gives (CAPTIVO_FUNCTION_CALL).
#include <dlfcn.h>

namespace captivo {

template <typename Function>
bool FindFunction(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

}  // namespace captivo

#define CAPTIVO_FUNCTION_FIELD(name, result, parameters, arguments, missing) \
  decltype(&::name) name = nullptr;
#define CAPTIVO_FUNCTION_FIND(name, result, parameters, arguments, missing) \
  &&captivo::FindFunction(library, #name, table.name)
#define CAPTIVO_FUNCTION_CALL(name, result, parameters, arguments, missing) \
  result name parameters {                                                  \
    return Library().name ? Library().name arguments : missing;             \
  }
