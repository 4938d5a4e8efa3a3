#pragma once

// What kept a display system from reaching any monitor, as far as it can
// tell; the window explains it to the user.
enum class NoMonitorReason {
    Unexplained,
    ModuleMissing, // Linux: i2c-dev is not loaded
    NoPermission, // Linux: the user may not open the DDC buses
    NoAnswer, // Windows: it lists every monitor, so none was there to answer
    NoExternalOutput, // only built-in panels, which DDC/CI does not reach
    RemoteSession, // Windows: only the console session reaches monitors
};
