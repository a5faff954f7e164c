// The resampler's implementation, from Debian's libstb-dev, compiled once
// here; its header is a system header, so its own code's warnings are left
// to its authors.
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>
