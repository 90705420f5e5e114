#include "platform/registry.h"

namespace platform {

Registry& SystemRegistry() {
  static MemoryRegistry registry;
  return registry;
}

}  // namespace platform
