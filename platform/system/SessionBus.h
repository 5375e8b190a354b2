#pragma once

#include <QString>

namespace velmora {

// Where a process finds its desktop session's message bus: DBUS_SESSION_BUS_ADDRESS, else
// the bus socket in XDG_RUNTIME_DIR. Empty when it has none.
QString SessionBusAddress();

// Without a session bus, the first library that asks for one (the accessibility bridge, the
// file dialog) would start a bus of its own through the X display (autolaunch), and that bus
// and its launcher would stay after the program ends. With no session there is no screen
// reader or portal to talk to either, so the address is set to a socket that does not exist:
// asking fails at once and nothing is started. True when it did so.
bool PreventSessionBusAutolaunch();

} // namespace velmora
