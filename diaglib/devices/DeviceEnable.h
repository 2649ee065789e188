#pragma once
// Switches on the devices of one kind through the setup API and their class installers (the
// device repairs use it). Traces call it "DumpDeviceClassEnable".

// `kind` is a DeviceKind (display, sound, network); any other kind returns false at once.
// `restartRequest` receives 6 when Windows asks for a restart, 0 when it does not, 1 when the
// last device could not be switched on. True when the devices of a class were switched on.
bool EnableDeviceClass(int kind, int* restartRequest);
