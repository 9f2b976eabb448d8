#pragma once

#include <cstdint>
#include <vector>

#include "renderer/camera_orbit.h"
#include "renderer/scene_model.h"
#include "tests/support/child_process.h"

namespace velmora::bench {

// A desktop-like picture as a bitmap file: smooth colour ramps with some detail.
std::vector<std::uint8_t> DesktopPicture(int width, int height);

// Both pictures, the desktop at desktop_width × desktop_height, in a fresh picture folder under
// cache.
void WritePictures(const test::TemporaryFolder& cache, int desktop_width, int desktop_height);

// The scene as it was first drawn, kept here only to measure and check the renderer against:
// immediate mode with one begin/end per primitive, every flare sprite setting its own state,
// and the depth buffer cleared and tested. Leaves the GL state as the renderer keeps it.
void LiteralFrameDraw(const SceneModel& model, const EyePosition& eye, unsigned floor_texture,
                      unsigned flare_texture);

// The scene exactly as the renderer drew it before it kept the fixed parts in the GL: one
// begin/end for all plain stars, every flare sprite on its own with its own state, one
// begin/end for the whole floor, depth-tested. Mesa's results for immediate mode depend, by a
// step in a few pixels, on where its vertex buffer stands, so this reproduces the renderer's
// earlier pixels only when drawn for every frame from a fresh context, as the renderer did.
void PreviousFrameDraw(const SceneModel& model, const EyePosition& eye, unsigned floor_texture,
                       unsigned flare_texture);

// The least any frame costs: the clear alone.
void ClearFrameDraw();

// The back buffer's pixels, RGBA, rows from the bottom.
std::vector<std::uint8_t> BackBufferPixels(int width, int height);

}  // namespace velmora::bench
