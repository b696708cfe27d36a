#include "app/standard_streams.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

void holdClosedStandardStreams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open() takes the lowest free number: this one. Read-only, so a
        // write to it fails as it would on the closed stream.
        const int held = ::open("/dev/null", O_RDONLY);
        if (held >= 0 && held != fd)
            ::close(held);
    }
}
