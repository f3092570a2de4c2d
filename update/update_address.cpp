#include "update/update_address.h"

#include <cstdlib>

#include "platform/product.h"

namespace ravelin {

std::string UpdateDataAddress() {
  const char* replaced = std::getenv(kUpdateAddressVariable);
  return replaced != nullptr && *replaced != '\0' ? std::string(replaced) : kUpdateDataAddress;
}

}  // namespace ravelin
