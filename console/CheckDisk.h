#pragma once
// What the Check Disk button does once the user chose [Run]: the disk check is scheduled for
// the next start of Windows, and Windows restarts at once.

// Replaces the Session Manager's "BootExecute" list with the one entry that has the system drive
// checked and repaired at boot, then restarts Windows (through fw::RestartPort). A list that
// cannot be written is traced ("Open Reg Error") and the restart still happens: it is what the
// user asked for, and Windows checks a dirty drive at boot anyway.
void ScheduleCheckDiskAndRestart();
