// Built only by its test, which expects the compiler to refuse it: the engine cannot see the
// controls' headers.
#include "isp/chip_image.h"
#include "widgets/gui_button.h"
