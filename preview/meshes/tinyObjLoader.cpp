// The OBJ library's code, compiled here rather than taken from its shared
// library, so that the sanitizer and fuzzing builds see into it as they see
// into ours. Only objLoader.cpp calls it, with text the checker has made.
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>
