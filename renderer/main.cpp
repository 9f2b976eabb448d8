#include "common/standard_streams.h"
#include "renderer/renderer_program.h"

int main(int argc, char** argv) {
    velmora::KeepStandardStreamsOpen();
    return velmora::RunRenderer(argc, argv);
}
