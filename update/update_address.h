// Where the update check fetches its data from.
#pragma once

#include <string>

namespace ravelin {

// The update data address; the RAVELIN_UPDATE_URL environment variable replaces it (tests).
std::string UpdateDataAddress();

}  // namespace ravelin
