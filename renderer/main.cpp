#include "renderer/sdl_render_window.h"

int main() {
    return velmora::RunRenderer();
}
