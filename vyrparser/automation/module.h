// The state of the server module: its lock count decides when the module may be unloaded.
#pragma once

namespace vyr::automation {

// Live objects and LockServer locks; changed atomically.
void LockModule();
void UnlockModule();
long ModuleLockCount();

}  // namespace vyr::automation
