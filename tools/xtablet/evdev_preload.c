/* Preloaded into the X server alone (LD_PRELOAD): makes the FIFOs named by
 * $XTABLET_FIFO and $XTABLET_FIFO2 look like pen tablets' evdev nodes to the
 * X tablet driver.
 * The driver reads plain `struct input_event` records from the FIFO; only its
 * EVIOC* queries need answers, which come from DeviceRanges.h. Every other
 * descriptor and request goes to the real ioctl. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <linux/input.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include "DeviceRanges.h"

typedef int (*ioctl_fn)(int, unsigned long, ...);

static int is_fifo(int fd, const char* variable) {
  const char* path = getenv(variable);
  struct stat want, have;
  if (!path || stat(path, &want) != 0 || fstat(fd, &have) != 0) return 0;
  return S_ISFIFO(have.st_mode) && have.st_dev == want.st_dev && have.st_ino == want.st_ino;
}

/* The first tablet's FIFO, or the second's ($XTABLET_FIFO2). */
static int is_tablet_fifo(int fd) { return is_fifo(fd, "XTABLET_FIFO") || is_fifo(fd, "XTABLET_FIFO2"); }

static void set_bit(unsigned char* bits, size_t size, int bit) {
  if ((size_t)bit / 8 < size) bits[bit / 8] |= (unsigned char)(1u << (bit % 8));
}

/* Copies a bit set of `count` listed bits into the caller's buffer. */
static int answer_bits(void* out, size_t size, const int* list, int count) {
  memset(out, 0, size);
  for (int i = 0; i < count; ++i) set_bit(out, size, list[i]);
  return (int)size;
}

static int answer_string(void* out, size_t size, const char* text) {
  if (size == 0) return 0;
  strncpy(out, text, size - 1);
  ((char*)out)[size - 1] = 0;
  return (int)strlen(out) + 1;
}

static int answer_abs(int axis, struct input_absinfo* info) {
  memset(info, 0, sizeof *info);
  switch (axis) {
    case ABS_X: info->maximum = XTABLET_MAX_X; info->resolution = XTABLET_RESOLUTION; return 0;
    case ABS_Y: info->maximum = XTABLET_MAX_Y; info->resolution = XTABLET_RESOLUTION; return 0;
    case ABS_PRESSURE: info->maximum = XTABLET_MAX_PRESSURE; return 0;
    default: errno = EINVAL; return -1;
  }
}

/* The tablet's answer to one EVIOC* request. */
static int answer(unsigned long request, void* arg) {
  static const int types[] = {EV_SYN, EV_KEY, EV_ABS};
  static const int keys[] = {BTN_TOOL_PEN, BTN_TOOL_RUBBER, BTN_TOUCH, BTN_STYLUS, BTN_STYLUS2};
  static const int axes[] = {ABS_X, ABS_Y, ABS_PRESSURE};
  static const int props[] = {INPUT_PROP_POINTER};
  const size_t size = _IOC_SIZE(request);
  const unsigned nr = _IOC_NR(request);

  if (request == EVIOCGVERSION) return *(int*)arg = EV_VERSION, 0;
  if (request == EVIOCGID) {
    struct input_id* id = arg;
    memset(id, 0, sizeof *id);
    id->bustype = BUS_USB;
    id->vendor = XTABLET_VENDOR;
    id->product = XTABLET_PRODUCT;
    id->version = 1;
    return 0;
  }
  if (request == EVIOCGRAB) return 0;
  if (_IOC_DIR(request) != _IOC_READ) return 0;  /* other settings: accepted */
  if (nr == _IOC_NR(EVIOCGNAME(0))) return answer_string(arg, size, XTABLET_NAME);
  if (nr == _IOC_NR(EVIOCGPHYS(0)) || nr == _IOC_NR(EVIOCGUNIQ(0))) return answer_string(arg, size, "");
  if (nr == _IOC_NR(EVIOCGPROP(0))) return answer_bits(arg, size, props, 1);
  if (nr >= _IOC_NR(EVIOCGABS(0)) && nr < _IOC_NR(EVIOCGABS(0)) + ABS_CNT)
    return answer_abs((int)(nr - _IOC_NR(EVIOCGABS(0))), arg);
  if (nr >= _IOC_NR(EVIOCGBIT(0, 0)) && nr < _IOC_NR(EVIOCGBIT(0, 0)) + EV_CNT) {
    switch (nr - _IOC_NR(EVIOCGBIT(0, 0))) {
      case 0: return answer_bits(arg, size, types, 3);
      case EV_KEY: return answer_bits(arg, size, keys, 5);
      case EV_ABS: return answer_bits(arg, size, axes, 3);
      default: return answer_bits(arg, size, NULL, 0); /* switches and the rest: none */
    }
  }
  /* Key, LED, sound and switch states: all released. */
  memset(arg, 0, size);
  return (int)size;
}

int ioctl(int fd, unsigned long request, ...) {
  static ioctl_fn real;
  va_list list;
  va_start(list, request);
  void* arg = va_arg(list, void*);
  va_end(list);
  if (_IOC_TYPE(request) == 'E' && is_tablet_fifo(fd)) return answer(request, arg);
  if (!real) real = (ioctl_fn)dlsym(RTLD_NEXT, "ioctl");
  return real(fd, request, arg);
}
