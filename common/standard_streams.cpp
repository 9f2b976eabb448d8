#include "common/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

namespace velmora {

void KeepStandardStreamsOpen() {
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (fcntl(stream, F_GETFD) == -1) {
            // open() takes the lowest free number, which is this one.
            open("/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        }
    }
}

}  // namespace velmora
