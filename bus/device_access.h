#pragma once

#include <QString>

namespace lumodm {

// What to tell a user whom the system refused a device (`error` is the
// errno of the refusal): the group that may open it and the command that
// adds the user to that group. Empty for any other error. The group is the
// device file's own where it has one, else `usualGroup` ("dialout" for
// serial ports, "gpib" for GPIB boards).
QString deviceAccessHint(const QString& device, const QString& usualGroup, int error);

// The errno with which the system refuses this user reading and writing
// `device`; 0 when it may, or when the device is not there.
int deviceAccessError(const QString& device);

} // namespace lumodm
