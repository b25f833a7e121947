#pragma once

#include "connect/connect_model.h"

#include <optional>

namespace lumodm {

// The connection chooser, "LumoDM: Connect": a view of the model that
// writes the user's choice back into it. nullopt when the user cancels.
std::optional<Connection> runConnectDialog(ConnectModel& model);

} // namespace lumodm
