/* The emulated pen tablet's axes, as the preload library reports them to the
 * X tablet driver and as the players turn client pixels into device units.
 * Plain C: the preload library is C, the players C++. */
#ifndef XTABLET_DEVICE_RANGES_H
#define XTABLET_DEVICE_RANGES_H

/* The X screen the stack runs (the dummy video driver's mode). */
#define XTABLET_SCREEN_WIDTH 1024
#define XTABLET_SCREEN_HEIGHT 768

/* Eight device units to a screen pixel, less one: the X server turns each
 * position into screen coordinates, v * 1024 / (max + 1), and back, and keeps
 * the truncated result. With max + 1 = 8 x the screen both steps are exact, so
 * programs get the units written (with 10240, some 6 % of positions came back
 * one unit short). Positions run 0..max; the X driver, and so Wine, reports
 * max as the axis extent. */
#define XTABLET_MAX_X (8 * XTABLET_SCREEN_WIDTH - 1)
#define XTABLET_MAX_Y (8 * XTABLET_SCREEN_HEIGHT - 1)
/* The X driver scales pressure to 0..65536 by raw * 65536 / max: with this
 * maximum a raw pressure reaches programs unchanged. */
#define XTABLET_MAX_PRESSURE 65536
/* Units per millimetre: a tablet about 205 x 154 mm. */
#define XTABLET_RESOLUTION 40

/* Generic ids: no maker's model tables apply. */
#define XTABLET_VENDOR 0x1209
#define XTABLET_PRODUCT 0x0001
#define XTABLET_NAME "Emulated Pen Tablet"

#endif
