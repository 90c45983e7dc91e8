// Stage times of one start, for the start-up benchmark (bench/startup) and
// nothing else: with the environment variable PT_STARTUP_STAGES naming a
// file, each mark appends "name milliseconds megabytes" to it, the time
// counted from the creation of the process, the size the process's working
// set has then. Without it a mark costs one check.
// Windows-only.
#pragma once

namespace pt {

void MarkStartupStage(const char* name);

}  // namespace pt
