// Times a program from its start to its first visible window, as a person meets it: the
// moment the X server has shown a window of the program with something drawn in it.
//
//   first-window [--timeout SECONDS] -- PROGRAM [ARGUMENT...]
//
// Watches the display ($DISPLAY) for new top-level windows, starts PROGRAM in a process group
// of its own and prints, in milliseconds since the start,
//   map=<when the first top-level window was mapped> paint=<when it first held a picture>
// then ends the whole process group (SIGTERM, SIGKILL after 5 s) and waits for its leader.
// Exit 0 with the line; 1 when no window was shown in time or the program ended first. The
// program's own output goes to standard error.
//
// Polling for a window by name (xdotool search --sync sleeps half a second between tries)
// is too coarse for times of a tenth of a second, and a mapped window is not yet drawn. So
// this asks the server itself: every window created on the root gets a DAMAGE object before
// it can be mapped; each damage report on a mapped window is followed by a look at its
// pixels, and the first look that finds more than one colour is the first visible frame.
// A window the server merely cleared to its background is one colour and does not count.
#define _GNU_SOURCE
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

enum { KMaxWindows = 256 };

struct TWatched {
    xcb_window_t Window;
    xcb_damage_damage_t Damage;
    int Mapped;
};

static struct TWatched GWatched[KMaxWindows];
static int GWatchedCount = 0;

static double Now(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec * 1e3 + (double)now.tv_nsec / 1e6;
}

static struct TWatched* Find(xcb_window_t window) {
    for (int i = 0; i < GWatchedCount; ++i)
        if (GWatched[i].Window == window)
            return &GWatched[i];
    return NULL;
}

static void Watch(xcb_connection_t* connection, xcb_window_t window) {
    if (Find(window) != NULL || GWatchedCount == KMaxWindows)
        return;
    struct TWatched* watched = &GWatched[GWatchedCount++];
    watched->Window = window;
    watched->Damage = xcb_generate_id(connection);
    watched->Mapped = 0;
    xcb_damage_create(connection, watched->Damage, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    xcb_flush(connection);
}

// Whether the window's pixels hold more than one colour. Fails quietly for a window that is
// gone or not viewable (its picture is then not on the screen either).
static int HoldsAPicture(xcb_connection_t* connection, xcb_window_t window) {
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), NULL);
    if (geometry == NULL)
        return 0;
    const uint16_t width = geometry->width, height = geometry->height;
    free(geometry);
    if (width < 2 || height < 2)
        return 0;
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, width, height, ~0u),
        NULL);
    if (image == NULL)
        return 0;
    const int length = xcb_get_image_data_length(image);
    const uint32_t* pixels = (const uint32_t*)xcb_get_image_data(image);
    int varied = 0;
    for (int i = 1; i < length / 4 && !varied; ++i)
        varied = (pixels[i] & 0xFFFFFFu) != (pixels[0] & 0xFFFFFFu);
    free(image);
    return varied;
}

static void EndGroup(pid_t child) {
    kill(-child, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(child, NULL, WNOHANG) == child)
            return;
        usleep(10000);
    }
    kill(-child, SIGKILL);
    waitpid(child, NULL, 0);
}

int main(int argc, char** argv) {
    double timeoutMs = 60000;
    int first = 1;
    while (first < argc && strcmp(argv[first], "--") != 0) {
        if (strcmp(argv[first], "--timeout") == 0 && first + 1 < argc) {
            timeoutMs = atof(argv[first + 1]) * 1000;
            first += 2;
        } else {
            fprintf(stderr, "usage: first-window [--timeout SECONDS] -- PROGRAM [ARGUMENT...]\n");
            return 2;
        }
    }
    if (first + 1 >= argc) {
        fprintf(stderr, "usage: first-window [--timeout SECONDS] -- PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    char** program = argv + first + 1;

    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(NULL, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        fprintf(stderr, "first-window: cannot open the display\n");
        return 1;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection, &xcb_damage_id);
    if (damage == NULL || !damage->present) {
        fprintf(stderr, "first-window: the display has no DAMAGE extension\n");
        return 1;
    }
    xcb_damage_query_version_reply_t* version = xcb_damage_query_version_reply(
        connection, xcb_damage_query_version(connection, 1, 1), NULL);
    free(version);
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_void_cookie_t selected =
        xcb_change_window_attributes_checked(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_generic_error_t* error = xcb_request_check(connection, selected);
    if (error != NULL) {
        fprintf(stderr, "first-window: cannot watch the root window\n");
        return 1;
    }

    const double start = Now();
    const pid_t child = fork();
    if (child < 0) {
        perror("first-window: fork");
        return 1;
    }
    if (child == 0) {
        setpgid(0, 0);
        close(xcb_get_file_descriptor(connection));
        // Standard output carries only the result line; what the program says goes beside
        // its errors.
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execvp(program[0], program);
        fprintf(stderr, "first-window: cannot start %s: %s\n", program[0], strerror(errno));
        _exit(127);
    }
    setpgid(child, child);

    double mapped = -1, painted = -1;
    struct pollfd wait = {xcb_get_file_descriptor(connection), POLLIN, 0};
    while (painted < 0) {
        xcb_generic_event_t* event;
        while (painted < 0 && (event = xcb_poll_for_event(connection)) != NULL) {
            const uint8_t type = event->response_type & 0x7F;
            if (type == XCB_CREATE_NOTIFY) {
                const xcb_create_notify_event_t* created = (const xcb_create_notify_event_t*)event;
                if (created->parent == screen->root)
                    Watch(connection, created->window);
            } else if (type == XCB_MAP_NOTIFY) {
                const xcb_map_notify_event_t* map = (const xcb_map_notify_event_t*)event;
                Watch(connection, map->window);
                struct TWatched* watched = Find(map->window);
                if (watched != NULL) {
                    watched->Mapped = 1;
                    if (mapped < 0)
                        mapped = Now() - start;
                    // Drawing may have happened between the map and now.
                    if (HoldsAPicture(connection, watched->Window))
                        painted = Now() - start;
                }
            } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
                const xcb_damage_notify_event_t* notify = (const xcb_damage_notify_event_t*)event;
                struct TWatched* watched = Find(notify->drawable);
                if (watched != NULL) {
                    xcb_damage_subtract(connection, watched->Damage, XCB_NONE, XCB_NONE);
                    if (watched->Mapped && HoldsAPicture(connection, watched->Window))
                        painted = Now() - start;
                }
            }
            free(event);
        }
        if (painted >= 0)
            break;
        if (xcb_connection_has_error(connection)) {
            fprintf(stderr, "first-window: the display went away\n");
            EndGroup(child);
            return 1;
        }
        int status;
        if (waitpid(child, &status, WNOHANG) == child) {
            fprintf(stderr, "first-window: %s ended (status %d) before showing a window\n",
                    program[0], WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
            kill(-child, SIGKILL);
            return 1;
        }
        const double left = timeoutMs - (Now() - start);
        if (left <= 0) {
            fprintf(stderr, "first-window: no window within %.0f s\n", timeoutMs / 1000);
            EndGroup(child);
            return 1;
        }
        poll(&wait, 1, left < 50 ? (int)left + 1 : 50);
    }
    printf("map=%.1f paint=%.1f\n", mapped, painted);
    fflush(stdout);
    EndGroup(child);
    xcb_disconnect(connection);
    return 0;
}
