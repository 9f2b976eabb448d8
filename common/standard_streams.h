#pragma once

namespace velmora {

// Opens /dev/null on whichever of standard input, output and error is closed. Some starters (an
// idle watcher, for one) start their command with them closed; the next file or connection
// opened would then take such a number, and a warning written to "stderr" would go into the X
// connection and break it.
void KeepStandardStreamsOpen();

}  // namespace velmora
