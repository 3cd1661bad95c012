/* The simulated device's SFTP subsystem: narrows the pipe sshd feeds the SFTP
 * server to one page, then runs the server (/usr/libexec/sftp-server).
 *
 * pscp sends its 4 kB write requests without waiting for answers; the server
 * reads up to 16 kB per turn but answers one request per turn and keeps the
 * rest, growing (and copying) its buffer on every read. Over a real device's
 * Wi-Fi the server always keeps up; over the simulated device's loopback, once
 * it falls behind for a moment the copies slow it further and a large upload
 * drops to a fraction of a megabyte per second. With one page in the pipe each
 * read holds less than one request, so the server never falls behind its reads
 * and pscp waits for it instead, as it waits for a real device's link. */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    (void)argc;
    /* The pipe refuses to shrink below what it holds; the client sends only
     * its first request before the server answers, so this passes at once. */
    for (int tries = 0; tries < 1000; ++tries) {
        if (fcntl(STDIN_FILENO, F_SETPIPE_SZ, 4096) >= 0 || errno != EBUSY)
            break;
        const struct timespec ms = {0, 1000000};
        nanosleep(&ms, NULL);
    }
    argv[0] = "/usr/libexec/sftp-server";
    execv(argv[0], argv);
    perror("sftp-link: /usr/libexec/sftp-server");
    return 127;
}
