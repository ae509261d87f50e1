// The outcome of an editor-core operation that can fail: no exceptions leave the core. The same type
// as the platform layer's, so its results (file writes, the registry) pass through unchanged.
#pragma once

#include "platform/status.h"

namespace vyr::editor {

using Status = platform::Status;

}  // namespace vyr::editor
