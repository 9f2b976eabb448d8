#include "renderer/renderer_program.h"

int main(int argc, char** argv) {
    return velmora::RunRenderer(argc, argv);
}
