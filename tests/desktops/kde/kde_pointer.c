/* Moves KWin's pointer to a place on the screen and clicks there, through KWin's fake-input
 * protocol: what a presenter's mouse would do, for a test without a person.
 *
 *   kde-pointer click X Y     moves to (X, Y) in screen pixels, presses and lets go the left button
 *   kde-pointer move X Y      only moves
 *
 * Exit status 0 once KWin has the requests, 1 when the compositor offers no fake input
 * (KWin hands it only to programs it trusts), 2 on a bad command line. */
#include "fake-input-client-protocol.h"

#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

static struct org_kde_kwin_fake_input *fake;

static void global_added(void *data, struct wl_registry *registry, uint32_t name,
                         const char *interface, uint32_t version)
{
    (void)data;
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 3)
        fake = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 3);
}

static void global_removed(void *data, struct wl_registry *registry, uint32_t name)
{
    (void)data, (void)registry, (void)name;
}

static const struct wl_registry_listener registry_listener = {global_added, global_removed};

static void pause_ms(long ms)
{
    struct timespec t = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&t, NULL);
}

int main(int argc, char **argv)
{
    if (argc != 4 || (strcmp(argv[1], "click") != 0 && strcmp(argv[1], "move") != 0)) {
        fprintf(stderr, "usage: kde-pointer click|move X Y\n");
        return 2;
    }
    const double x = atof(argv[2]), y = atof(argv[3]);
    struct wl_display *display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "kde-pointer: no Wayland display\n");
        return 1;
    }
    struct wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!fake) {
        fprintf(stderr, "kde-pointer: the compositor offers no org_kde_kwin_fake_input\n");
        wl_display_disconnect(display);
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fake, "Quorix tests", "choose in a dialog");
    org_kde_kwin_fake_input_pointer_motion_absolute(fake, wl_fixed_from_double(x),
                                                    wl_fixed_from_double(y));
    wl_display_roundtrip(display);
    if (strcmp(argv[1], "click") == 0) {
        /* A pause between the steps, as a hand gives: Qt Quick reads a press and a release
         * in the same instant as no click at all on some controls. */
        pause_ms(50);
        org_kde_kwin_fake_input_button(fake, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
        wl_display_roundtrip(display);
        pause_ms(50);
        org_kde_kwin_fake_input_button(fake, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
        wl_display_roundtrip(display);
    }
    org_kde_kwin_fake_input_destroy(fake);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
